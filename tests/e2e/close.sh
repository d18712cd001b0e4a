#!/usr/bin/env bash
# A user closes the window with Alt+F4: the program ends with exit code 0.
source "$(dirname "$0")/lib.sh"
e2e_start "$1"
fenetre=$(e2e_window '^Programme test$')
e2e_focus "$fenetre"
xdotool key alt+F4
e2e_wait_exit 10
[ "$E2E_CODE" = 0 ] || e2e_fail "exit code $E2E_CODE, expected 0"
echo "closed with exit code 0"
