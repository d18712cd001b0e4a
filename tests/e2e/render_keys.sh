#!/usr/bin/env bash
# The keys move the eye in the real program. Ten End presses put the eye straight above the
# origin on the up line, where nothing can be seen: the client area is all blue whatever the
# angle of the village. Left and Right move the eye along that line and keep it blue; Up moves
# it off the line and the village shows again, Down brings it back; ten Home presses return
# the eye to where it started and the village is back.
source "$(dirname "$0")/render_lib.sh"
render_start "$1"
fenetre=$(e2e_window '^Programme test$')
e2e_focus "$fenetre"
sleep 1

# visible PREFIX: true when some capture of a 1.5 s series (half a turn) shows the village.
visible() {
  local i
  render_series "$fenetre" "$1" 5 0.3
  for i in 1 2 3 4 5; do
    render_all_blue "$1-$i.png" || return 0
  done
  return 1
}

# all_blue PREFIX: true when three captures in a row are nothing but background.
all_blue() {
  local i
  render_series "$fenetre" "$1" 3 0.15
  for i in 1 2 3; do
    render_all_blue "$1-$i.png" || { echo "capture $1-$i: $(render_describe "$1-$i.png")"; return 1; }
  done
}

visible "$E2E_TMP/depart" || e2e_fail "the village is not visible at the start"

xdotool key --delay 40 End End End End End End End End End End
render_after_frames
all_blue "$E2E_TMP/fin" || e2e_fail "after ten End presses the client area is not all blue"

xdotool key Left
render_after_frames
all_blue "$E2E_TMP/gauche" || e2e_fail "Left took the eye off the up line"
xdotool key Right Right
render_after_frames
all_blue "$E2E_TMP/droite" || e2e_fail "Right took the eye off the up line"
xdotool key Left
render_after_frames

xdotool key Up
render_after_frames
visible "$E2E_TMP/haut" || e2e_fail "Up did not change the picture: still all blue"
xdotool key Down
render_after_frames
all_blue "$E2E_TMP/bas" || e2e_fail "Down did not bring the eye back onto the up line"

xdotool key --delay 40 Home Home Home Home Home Home Home Home Home Home
render_after_frames
visible "$E2E_TMP/retour" || e2e_fail "after ten Home presses the village is not back"
vert=0
for i in 1 2 3 4 5; do vert=$((vert + $(render_count "$E2E_TMP/retour-$i.png" "$VERT"))); done
[ "$vert" -gt 0 ] || e2e_fail "after ten Home presses the ground is not back"

render_close "$fenetre"
echo "End, Home and the arrows move the eye as they should; closed with exit code 0"
