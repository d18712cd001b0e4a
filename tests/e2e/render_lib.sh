# Picture helpers of the rendering scripts, on top of lib.sh: they capture the window's
# client area (the Direct3D surface) and count its pixels by colour with ImageMagick.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

# The scene's flat colours as Direct3D draws them with white ambient light only.
BLEU="0 0 255"
VIOLET="128 0 128"     # the bodies, ambient 0.5 (Wine rounds it to 127 or 128)
ROUGE="255 0 0"        # the roofs
VERT="64 191 64"       # the ground, ambient (0.25, 0.75, 0.25)

E2E_TMP=$(mktemp -d)

# On the way out: a program still running is ended, and waited for, so that its window is
# gone before the next script looks for one of the same name.
render_cleanup() {
  if [ -n "${E2E_PID:-}" ] && kill -0 "$E2E_PID" 2>/dev/null; then
    kill "$E2E_PID" 2>/dev/null || true
    for _ in $(seq 1 50); do kill -0 "$E2E_PID" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$E2E_PID" 2>/dev/null || true
    wait "$E2E_PID" 2>/dev/null || true
  fi
  rm -rf "$E2E_TMP"
}
trap render_cleanup EXIT

# render_start EXE: starts the program with no normals log left from before; sets E2E_PID.
# (Not through e2e_start: its trap would replace ours.)
render_start() {
  : "${DISPLAY:?run through the test command}" "${WINEPREFIX:?run through the test command}"
  # The program writes C:\Dalmore\Normales.txt but never creates the folder.
  mkdir -p "$WINEPREFIX/drive_c/Dalmore"
  rm -f "$WINEPREFIX/drive_c/Dalmore/Normales.txt"
  wine "$1" </dev/null >/dev/null 2>&1 &
  E2E_PID=$!
}

# render_client WINDOW: the client area relative to the window, as WxH+X+Y. Wine draws
# Direct3D into a child X window that covers exactly the client area; the frame around it
# (caption, menu bar, borders) is drawn by Wine in the top-level one.
render_client() {
  local geometrie
  geometrie=$(xwininfo -tree -id "$1" | awk '/^ +0x[0-9a-f]+ .*[0-9]+x[0-9]+\+-?[0-9]+\+-?[0-9]+/ {
      for (i = 1; i <= NF; i++) if ($i ~ /^[0-9]+x[0-9]+\+-?[0-9]+\+-?[0-9]+$/) { print $i; exit } }')
  [ -n "$geometrie" ] || e2e_fail "no client window inside window $1"
  echo "$geometrie"
}

# render_capture WINDOW FILE: saves the client area of WINDOW to FILE.
render_capture() {
  local client
  # Explicit exits: callers test captures inside conditions, where errexit is off.
  client=$(render_client "$1") || exit 1
  timeout 20 import -window "$1" "$E2E_TMP/fenetre.png" || e2e_fail "cannot capture window $1"
  convert "$E2E_TMP/fenetre.png" -crop "$client" +repage "$2" || e2e_fail "cannot crop $client"
}

# render_pixels FILE: the number of pixels.
render_pixels() {
  local taille
  taille=$(identify -format '%w %h' "$1") || exit 1
  echo $(( ${taille% *} * ${taille#* } ))
}

# render_count FILE "R G B": pixels within 3 of that colour on every channel.
render_count() {
  convert "$1" -format %c histogram:info:- | awk -v cible="$2" '
    BEGIN { split(cible, c, " ") }
    # "   264724: (0,0,255) #0000FF blue": the count, then the channels.
    { split($0, f, /[(),:]/)
      if ((f[3] - c[1])^2 <= 9 && (f[4] - c[2])^2 <= 9 && (f[5] - c[3])^2 <= 9) n += f[1] }
    END { print n + 0 }'
}

# render_describe FILE: "bleu=N violet=N rouge=N vert=N total=N", for the failure messages.
render_describe() {
  echo "bleu=$(render_count "$1" "$BLEU") violet=$(render_count "$1" "$VIOLET")" \
       "rouge=$(render_count "$1" "$ROUGE") vert=$(render_count "$1" "$VERT")" \
       "total=$(render_pixels "$1")"
}

# render_all_blue FILE: true when every pixel is the background.
render_all_blue() { [ "$(render_count "$1" "$BLEU")" = "$(render_pixels "$1")" ]; }

# render_difference A B: the number of pixels that differ.
# (compare exits with 1 when the images differ, which is no failure here.)
render_difference() { { compare -metric AE "$1" "$2" null: 2>&1 || true; } | awk '{ print int($1) }'; }

# render_after_frames: lets a key move reach the screen. An image is shown one acting tick
# after it is drawn and ticks are 51 ms apart; a few of them are plenty.
render_after_frames() { sleep 0.4; }

# render_series WINDOW PREFIX N STEP: N captures STEP seconds apart, PREFIX-1.png ...
render_series() {
  local i
  for i in $(seq 1 "$3"); do
    render_capture "$1" "$2-$i.png"
    [ "$i" = "$3" ] || sleep "$4"
  done
}

# render_close WINDOW: Alt+F4 as a user would, then the exit code must be 0.
render_close() {
  e2e_focus "$1"
  xdotool key alt+F4
  e2e_wait_exit 10
  trap render_cleanup EXIT      # e2e_wait_exit dropped ours
  [ "$E2E_CODE" = 0 ] || e2e_fail "exit code $E2E_CODE after closing, expected 0"
}
