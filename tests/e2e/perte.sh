#!/usr/bin/env bash
# The device is lost while the program runs (the proxy d3d9.dll, told so by a file) and comes
# back through a real Reset, which Direct3D refuses while a buffer of the scene is alive. The
# eye stays where the keys put it, the village turns again, Alt+F4 ends with exit code 0, the
# log keeps its 12 lines, no Direct3D object is left. Usage: perte.sh EXE PROXY_DLL SHOTS
source "$(dirname "$0")/lib.sh"
KERVALEN_D3D9_PERTE=$(winepath -w "$T/perte") KERVALEN_D3D9_BILAN=$(winepath -w "$T/bilan") \
  e2e_start "$1" "$2" 2>/dev/null
fenetre=$(e2e_window '^Programme test$')
e2e_focus "$fenetre" && sleep 1 && mkdir -p "$3" && e2e_capture "$fenetre" "$3/avant-perte.png"
xdotool key --delay 40 End End End End End End End End End End && sleep 0.4
e2e_capture "$fenetre" "$T/k.png" && all_blue "$T/k.png" || e2e_fail "not all blue after ten End presses"
touch "$T/perte"                         # the proxy deletes it once a Reset has succeeded
for _ in $(seq 100); do [ -e "$T/perte" ] && sleep 0.1; done; [ ! -e "$T/perte" ] || e2e_fail "no successful Reset within 10 s of the loss"
sleep 0.4 && e2e_capture "$fenetre" "$T/k.png" && all_blue "$T/k.png" || e2e_fail "the eye moved"
xdotool key --delay 40 Home Home Home Home Home Home Home Home Home Home && sleep 0.4
e2e_turning "$fenetre" 5 && cp "$T/tour-1.png" "$3/apres-perte.png"
e2e_focus "$fenetre" && xdotool key alt+F4 && e2e_wait_exit 10; [ "$E2E_CODE" = 0 ] || e2e_fail "exit code $E2E_CODE after Alt+F4"
[ "$(grep -c '^Normale: ' "$JOURNAL")" = 12 ] && [ "$(wc -l <"$JOURNAL")" = 12 ] || e2e_fail "log: $(cat "$JOURNAL")"
grep -qx "objets 1" "$T/bilan" && grep -qx "vivants 0" "$T/bilan" || e2e_fail "bilan: $(cat "$T/bilan")"
echo "lost and back: eye kept, turning, exit code 0, 12 log lines, $(tr '\n' ' ' <"$T/bilan")"
