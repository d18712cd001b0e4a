#!/usr/bin/env bash
# The main window comes up titled "Programme test" and square; the shortcut labels of the
# menu do nothing; "&quitter" in the Fichier menu ends the program with exit code 0.
source "$(dirname "$0")/lib.sh"

e2e_start "$1"
fenetre=$(e2e_window '^Programme test$')
eval "$(xdotool getwindowgeometry --shell "$fenetre")"
echo "window at $X,$Y, $WIDTH x $HEIGHT"
[ "$WIDTH" -gt 100 ] || e2e_fail "window too narrow: $WIDTH"
[ "$WIDTH" = "$HEIGHT" ] || e2e_fail "window not square: $WIDTH x $HEIGHT"

# The labels Ctrl+N ... Ctrl+V are text only: no box, no new window, nothing ends.
e2e_focus "$fenetre"
for touche in ctrl+n ctrl+o ctrl+s ctrl+z ctrl+x ctrl+c ctrl+v; do
  xdotool key "$touche"
done
sleep 1
kill -0 "$E2E_PID" 2>/dev/null || e2e_fail "the program ended after a shortcut"
visibles=
for _ in 1 2 3 4 5; do
  visibles=$(xdotool search --all --onlyvisible --pid "$E2E_PID" --name '.' 2>/dev/null | sort) &&
    [ -n "$visibles" ] && break
  sleep 0.2
done
[ "$visibles" = "$fenetre" ] || e2e_fail "a shortcut opened a window: $(for w in $visibles; do xdotool getwindowname "$w"; done | tr '\n' '|')"

# As a user does: open Fichier with the mouse, then its last item, "&quitter".
xdotool mousemove $((X + 25)) $((Y + 33)) click 1
sleep 0.5
xdotool mousemove $((X + 45)) $((Y + 155)) click 1
e2e_wait_exit 10
[ "$E2E_CODE" = 0 ] || e2e_fail "exit code $E2E_CODE, expected 0"
echo "square window, shortcuts inert, quitter ends with exit code 0"
