#!/usr/bin/env bash
# One run of the real program as a user drives it: the village turning in "Programme test", ten
# End presses leaving nothing but sky and ten Home bringing it back, the About box from the menu,
# centred, closed with OK, "Fichier > quitter" (exit code 0), the normals log emptied then written.
# Usage: scenario.sh EXE SCREENSHOT_DIR
source "$(dirname "$0")/lib.sh"
e2e_start "$1"
fenetre=$(e2e_window '^Programme test$')
eval "$(xdotool getwindowgeometry --shell "$fenetre")"; FX=$X FY=$Y FW=$WIDTH FH=$HEIGHT
sleep 1 && e2e_turning "$fenetre" 10                  # about one turn (3 s)
mkdir -p "$2" && cp "$T/tour-1.png" "$2/village.png"

# From the end of the up line (y) through the origin nothing is seen; the village again one of
# five captures over half a turn.
e2e_focus "$fenetre"
xdotool key --delay 40 End End End End End End End End End End && sleep 0.4   # a few ticks
for _ in 1 2 3; do
  e2e_capture "$fenetre" "$T/k.png" && all_blue "$T/k.png" || e2e_fail "ten End: not all sky"
done
xdotool key --delay 40 Home Home Home Home Home Home Home Home Home Home && sleep 0.4
vu=; for _ in 1 2 3 4 5; do e2e_capture "$fenetre" "$T/k.png"; all_blue "$T/k.png" || vu=1; done
[ -n "$vu" ] || e2e_fail "ten Home: the village did not come back"

boite=$(e2e_apropos "$fenetre")
eval "$(xdotool getwindowgeometry --shell "$boite")"
dx=$(( 2 * X + WIDTH - 2 * FX - FW )) dy=$(( 2 * Y + HEIGHT - 2 * FY - FH ))   # twice the offset
[ "${dx#-}" -le 2 ] && [ "${dy#-}" -le 2 ] || e2e_fail "the About box is off centre by ($dx, $dy)/2"
sleep 0.5 && import -window root "$2/about.png"
e2e_click "$boite" "the About box's OK" "e2e_none '^À propos' && kill -0 \$E2E_PID" \
  'WIDTH*359/417,HEIGHT*46/114'

# Fichier > quitter, its last item; then the log holds exactly the three roofs' normals
# (each roof has height 2: its face normals do not depend on where it stands).
e2e_click "$fenetre" "Fichier > quitter" "e2e_none '^Programme test$'" 25,33 45,155
e2e_wait_exit 10
[ "$E2E_CODE" = 0 ] || e2e_fail "exit code $E2E_CODE after quitter"
toit=$'Normale: 0,-16.9706,12\r\nNormale: -16.9706,0,-12\r\n'
toit+=$'Normale: 0,16.9706,12\r\nNormale: 16.9706,0,-12\r\n'
cmp -s "$JOURNAL" <(printf '%s' "$toit$toit$toit") || e2e_fail "log: $(cat -A "$JOURNAL")"
echo "scenario passed; screenshots: $2/village.png $2/about.png"
