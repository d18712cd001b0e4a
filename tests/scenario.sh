#!/usr/bin/env bash
# The shipped program as a user runs it, in the display and prefix of tools/test.sh: the village
# turning in "Programme test", the About box from the menu, centred, closed with OK, "Fichier >
# quitter" (exit code 0), the normals log emptied then written; then a launch without the log's
# folder, which it must not create. Usage: scenario.sh EXE SCREENSHOT_DIR
set -euo pipefail
: "${DISPLAY:?run through tools/test.sh}" "${WINEPREFIX:?run through tools/test.sh}"
exe=$1 images=$2 journal="$WINEPREFIX/drive_c/Dalmore/Normales.txt" T=$(mktemp -d) pid=
# A program still running at the end (or at Ctrl+C) is stopped, killed after 5 s.
trap 'for s in TERM TERM TERM TERM TERM KILL; do
  kill -$s "${pid:-x}" 2>/dev/null && sleep 1 || break; done; rm -rf "$T"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
# window REGEX [S]: a visible window of our process, polled (a search fails outright when a window
# vanishes under it, as Wine's do at start-up); xdotool ignores case, =~ does not.
window() {
  for _ in $(seq $(( ${2:-30} * 10 ))); do
    for w in $(xdotool search --all --onlyvisible --pid "$pid" --name "$1" 2>/dev/null); do
      [[ "$(xdotool getwindowname "$w" 2>/dev/null)" =~ $1 ]] && echo "$w" && return
    done
    sleep 0.1
  done
  fail "no window named $1"
}
gone() {   # within 5 s
  for _ in $(seq 50); do
    xdotool search --all --onlyvisible --pid "$pid" --name "$1" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  false
}
focus() { timeout 10 xdotool windowfocus --sync "$1" || fail "$1 took no focus in 10 s"; }
# click WINDOW WHAT CHECK X,Y...: a menu or button clicked with the mouse (Wine's menus ignore the
# keyboard here) at each point of WINDOW (WIDTH, HEIGHT usable), 1 s apart, until CHECK holds. The
# X server loses a click now and then: a click on the middle closes any menu left open, and again.
click() {
  local w=$1 what=$2 check=$3 p
  shift 3
  for _ in 1 2 3; do
    kill -0 "$pid" 2>/dev/null || fail "$what: the program has ended"
    focus "$w"
    eval "$(xdotool getwindowgeometry --shell "$w")"
    for p; do xdotool mousemove $((X + ${p%,*})) $((Y + ${p#*,})) click 1 sleep 1; done
    eval "$check" && return
    xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1
  done
  fail "$what: no effect after three tries"
}
# ended: sets code. Never inside $(...): only this shell can wait for its child.
ended() {
  for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || { code=0; wait "$pid" || code=$?; pid=; return; }
    sleep 0.1
  done
  fail "the program did not end within 10 s"
}

mkdir -p "${journal%/*}" && echo "reste d'avant" >"$journal"
wine "$exe" </dev/null >/dev/null 2>&1 & pid=$!
f=$(window '^Programme test$')
eval "$(xdotool getwindowgeometry --shell "$f")"; FX=$X FY=$Y FW=$WIDTH FH=$HEIGHT
# About one turn: ten captures of the client area (the child X window Wine draws Direct3D into)
# 0.3 s apart, each of several colours and unlike the one before by over 1 %.
client=$(xwininfo -tree -id "$f" | grep -oE '[0-9]+x[0-9]+\+-?[0-9]+\+-?[0-9]+ ' | head -n 1)
sleep 1
for i in $(seq 10); do import -window "$f" -crop $client +repage "$T/$i.png"; sleep 0.3; done
for i in $(seq 10); do
  [ "$(convert "$T/$i.png" -format '%k' info:)" != 1 ] || fail "capture $i: one colour"
  [ "$i" = 1 ] || [ "$({ compare -metric AE "$T/$((i - 1)).png" "$T/$i.png" null: 2>&1 || true; } |
    awk '{ print int($1) }')" -gt "$(convert "$T/$i.png" -format '%[fx:int(w*h/100)]' info:)" ] ||
    fail "captures $((i - 1)) and $i alike: not turning"
done
mkdir -p "$images" && cp "$T/1.png" "$images/village.png"

b=$(click "$f" "Aide > À propos" "(window '^À propos de Kervalen$' 5 2>/dev/null)" 195,33 250,53)
eval "$(xdotool getwindowgeometry --shell "$b")"
dx=$(( 2 * X + WIDTH - 2 * FX - FW )) dy=$(( 2 * Y + HEIGHT - 2 * FY - FH ))   # twice the offset
[ "${dx#-}" -le 2 ] && [ "${dy#-}" -le 2 ] || fail "the About box is off centre by ($dx, $dy)/2"
sleep 0.5 && import -window root "$images/about.png"
click "$b" "the About box's OK" "gone '^À propos' && kill -0 \$pid" 'WIDTH*359/417,HEIGHT*46/114'

# Fichier > quitter, its last item; then the log holds exactly the three roofs' normals (each roof
# has height 2: its face normals do not depend on where it stands).
click "$f" "Fichier > quitter" "gone '^Programme test$'" 25,33 45,155
ended
[ "$code" = 0 ] || fail "exit code $code after quitter"
toit=$'Normale: 0,-16.9706,12\r\nNormale: -16.9706,0,-12\r\n'
toit+=$'Normale: 0,16.9706,12\r\nNormale: 16.9706,0,-12\r\n'
cmp -s "$journal" <(printf '%s' "$toit$toit$toit") || fail "log: $(cat -A "$journal")"

rm -rf "${journal%/*}"
wine "$exe" </dev/null >/dev/null 2>&1 & pid=$!
focus "$(window '^Programme test$')" && xdotool key alt+F4
ended
[ "$code" = 0 ] || fail "without C:\\Dalmore: exit code $code"
[ ! -e "${journal%/*}" ] || fail "C:\\Dalmore was created"
echo "scenario passed; screenshots: $images/village.png $images/about.png"
