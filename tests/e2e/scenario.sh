#!/usr/bin/env bash
# One run of the real program as a user drives it: the square window "Programme test", the
# village turning in its four colours, the keys moving the eye, inert shortcut labels, the
# About box, "Fichier > quitter" (exit code 0), the normals log emptied then written.
# Usage: scenario.sh EXE SCREENSHOT_DIR
source "$(dirname "$0")/lib.sh"
e2e_start "$1"
fenetre=$(e2e_window '^Programme test$')
eval "$(xdotool getwindowgeometry --shell "$fenetre")"; FX=$X FY=$Y FW=$WIDTH FH=$HEIGHT
[ "$FW" -gt 100 ] && [ "$FW" = "$FH" ] || e2e_fail "the window is not square: $FW x $FH"
sleep 1 && e2e_turning "$fenetre" 10                  # about one turn (3 s)
mkdir -p "$2" && cp "$T/tour-1.png" "$2/village.png"

# Ten End presses put the eye on the origin, on the up line (y): nothing is seen from there.
# vue: one of five captures over half a turn shows the village; bleu: three are all blue.
vue() { for _ in 1 2 3 4 5; do e2e_capture "$fenetre" "$T/k.png"; all_blue "$T/k.png" || return 0; done; false; }
bleu() { for _ in 1 2 3; do e2e_capture "$fenetre" "$T/k.png"; all_blue "$T/k.png" || return 1; done; }
e2e_focus "$fenetre"
while read -r attendu touches; do
  xdotool key --delay 40 $touches && sleep 0.4    # a few 51 ms ticks: the move is shown
  $attendu || e2e_fail "after $touches the picture is not $attendu"
done <<'FIN'
bleu End End End End End End End End End End
vue Up
bleu Down
vue Home Home Home Home Home Home Home Home Home Home
FIN

# The labels Ctrl+N ... Ctrl+V are text only: no box, no window, nothing ends.
xdotool key ctrl+n ctrl+o ctrl+s ctrl+z ctrl+x ctrl+c ctrl+v && sleep 1
vus=$(xdotool search --all --onlyvisible --pid "$E2E_PID" --name . 2>/dev/null | sort -u) || true
[ "$vus" = "$fenetre" ] || e2e_fail "after the shortcuts the windows are: $vus"

boite=$(e2e_apropos "$fenetre")
eval "$(xdotool getwindowgeometry --shell "$boite")"
dx=$(( 2 * X + WIDTH - 2 * FX - FW )) dy=$(( 2 * Y + HEIGHT - 2 * FY - FH ))   # twice the offset
[ "${dx#-}" -le 2 ] && [ "${dy#-}" -le 2 ] || e2e_fail "the About box is off centre by ($dx, $dy)/2"
sleep 0.5 && import -window root "$2/about.png"
e2e_click "$boite" "the About box's OK" "e2e_none '^À propos' && kill -0 \$E2E_PID" 'WIDTH*359/417,HEIGHT*46/114'

# Fichier > quitter, its last item; then the log holds exactly the three roofs' normals
# (each roof has height 2: its face normals do not depend on where it stands).
e2e_click "$fenetre" "Fichier > quitter" "e2e_none '^Programme test$'" 25,33 45,155 && e2e_wait_exit 10
[ "$E2E_CODE" = 0 ] || e2e_fail "exit code $E2E_CODE after quitter"
toit=$'Normale: 0,-16.9706,12\r\nNormale: -16.9706,0,-12\r\nNormale: 0,16.9706,12\r\nNormale: 16.9706,0,-12\r\n'
cmp -s "$JOURNAL" <(printf '%s' "$toit$toit$toit") || e2e_fail "log: $(cat -A "$JOURNAL")"
echo "scenario passed; screenshots: $2/village.png $2/about.png"
