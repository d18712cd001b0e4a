#!/usr/bin/env bash
# Runs Kervalen under Wine. On the user's X display when DISPLAY is set; otherwise in an
# Xvfb of its own, where it saves a screenshot, closes the window after a few seconds and
# reports the exit code. Usage: tools/run.sh BUILD_DIR
set -uo pipefail
build=$(cd "$1" && pwd)
exe="$build/app/Kervalen.exe"
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-session.sh"
trap kv_stop EXIT

headless=
if [ -z "${DISPLAY:-}" ]; then
  headless=1
  kv_start_xvfb || exit 1
fi
kv_prepare_prefix "$build/wineprefix"
# The program writes its normals log into C:\Dalmore but never creates that folder.
mkdir -p "$WINEPREFIX/drive_c/Dalmore"
journal="$WINEPREFIX/drive_c/Dalmore/Normales.txt"

if [ -z "$headless" ]; then
  wine "$exe"
  code=$?
  echo "Kervalen ended with exit code $code; normals log: $journal"
  exit $code
fi

kv_start_wineserver
wine "$exe" </dev/null &
pid=$!
fenetre=$(timeout 60 xdotool search --sync --onlyvisible --name '^Programme test$' | head -n 1)
if [ -z "$fenetre" ]; then
  echo "The window did not appear; is a start-up message box waiting?" >&2
  mkdir -p "$build/screenshots"
  import -window root "$build/screenshots/failed-start.png" && echo "Screen: $build/screenshots/failed-start.png"
  kill "$pid" 2>/dev/null
  exit 1
fi
sleep 3.5
mkdir -p "$build/screenshots"
image="$build/screenshots/run-$(date +%Y%m%d-%H%M%S).png"
import -window root "$image"
echo "Screenshot: $image"
xdotool windowfocus --sync "$fenetre"
xdotool key alt+F4
code=
for _ in $(seq 1 100); do
  if ! kill -0 "$pid" 2>/dev/null; then
    code=0
    wait "$pid" || code=$?
    break
  fi
  sleep 0.1
done
if [ -z "$code" ]; then
  echo "The program did not end after Alt+F4" >&2
  kill "$pid" 2>/dev/null
  exit 1
fi
echo "Kervalen ended with exit code $code; normals log: $journal"
exit $code
