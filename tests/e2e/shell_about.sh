#!/usr/bin/env bash
# The About box opens from the Aide menu, titled "À propos de Kervalen", centred over the
# frame, and closes with its OK button; the program goes on and then closes with code 0.
# Usage: shell_about.sh EXE SCREENSHOT_DIR
source "$(dirname "$0")/lib.sh"

e2e_start "$1"
fenetre=$(e2e_window '^Programme test$')
eval "$(xdotool getwindowgeometry --shell "$fenetre")"
FX=$X FY=$Y FW=$WIDTH FH=$HEIGHT

xdotool mousemove $((FX + 195)) $((FY + 33)) click 1
sleep 0.5
xdotool mousemove $((FX + 250)) $((FY + 53)) click 1
boite=$(e2e_window '^À propos de Kervalen$' 10)
eval "$(xdotool getwindowgeometry --shell "$boite")"
echo "frame $FX,$FY $FW x $FH; About box $X,$Y $WIDTH x $HEIGHT"
# Twice the centres, to stay in integers; a pixel of rounding either way is allowed.
dx=$(( (2 * X + WIDTH) - (2 * FX + FW) ))
dy=$(( (2 * Y + HEIGHT) - (2 * FY + FH) ))
[ "${dx#-}" -le 2 ] && [ "${dy#-}" -le 2 ] || e2e_fail "About box not centred over the frame ($dx, $dy)"

sleep 0.5
mkdir -p "$2"
import -window root "$2/about.png"
echo "screenshot: $2/about.png"

# The OK button sits at the top right of the box.
xdotool mousemove $((X + WIDTH * 359 / 417)) $((Y + HEIGHT * 46 / 114)) click 1
for _ in $(seq 1 50); do
  [ -z "$(xdotool search --all --onlyvisible --pid "$E2E_PID" --name '^À propos de Kervalen$' 2>/dev/null)" ] && break
  sleep 0.1
done
[ -z "$(xdotool search --all --onlyvisible --pid "$E2E_PID" --name '^À propos de Kervalen$')" ] || e2e_fail "OK did not close the About box"
kill -0 "$E2E_PID" 2>/dev/null || e2e_fail "the program ended with the About box"

e2e_focus "$fenetre"
xdotool key alt+F4
e2e_wait_exit 10
[ "$E2E_CODE" = 0 ] || e2e_fail "exit code $E2E_CODE, expected 0"
echo "About box centred, closed with OK; program closed with exit code 0"
