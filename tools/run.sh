#!/usr/bin/env bash
# Runs Kervalen under Wine, in a prefix of its own (BUILD_DIR/wineprefix-run).
# With DISPLAY set: an ordinary window of the user's desktop; close it to end.
# Without (or when no X server answers there): in a Wine virtual desktop on an Xvfb of its
# own, as a Windows desktop shows it; records a still and one whole turn as a GIF, closes the
# window and reports the exit code, non-zero when no window came. While another command holds
# the prefix, says which and exits 2.
# Usage: tools/run.sh BUILD_DIR [IMAGE_STEM]   (headless images: IMAGE_STEM.png and .gif,
# by default BUILD_DIR/screenshots/run-DATE)
set -uo pipefail
build=$(cd "$1" && pwd)
exe="$build/app/Kervalen.exe"
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-session.sh"
trap kv_stop EXIT
trap 'exit 130' INT TERM

bureau=800x600   # the virtual desktop; Wine gives the window 3/4 of its height
cle_bureau='HKCU\Software\Wine\AppDefaults\Kervalen.exe\Explorer'
prefixe=$build/wineprefix-run

if [ -n "${DISPLAY:-}" ] && ! timeout 10 xdpyinfo >/dev/null 2>&1; then
  echo "No X server answers at DISPLAY=$DISPLAY: running headless instead" >&2
  unset DISPLAY
fi

if [ -n "${DISPLAY:-}" ]; then
  kv_claim_prefix "$prefixe" gere || exit
  mkdir -p "$WINEPREFIX/drive_c/Dalmore"   # the program writes its log there, never creates it
  if grep -qi 'AppDefaults\\\\Kervalen.exe\\\\Explorer' "$WINEPREFIX/user.reg" 2>/dev/null; then
    wine reg delete "$cle_bureau" /f </dev/null >/dev/null 2>&1
  fi
  # In the background, so that Ctrl+C reaches the trap at once rather than after the program.
  wine "$exe" </dev/null &
  pid=$!
  kv_track "$pid"
  code=0
  wait "$pid" || code=$?
  kv_untrack "$pid"
  echo "Kervalen ended with exit code $code; normals log: $WINEPREFIX/drive_c/Dalmore/Normales.txt"
  exit $code
fi

kv_start_xvfb "$bureau" || exit 1
kv_claim_prefix "$prefixe" gere || exit
mkdir -p "$WINEPREFIX/drive_c/Dalmore"
journal="$WINEPREFIX/drive_c/Dalmore/Normales.txt"
# The desktop is asked for this program only, so that its exit code stays wine's.
wine reg add "$cle_bureau" /v Desktop /d Kervalen /f </dev/null >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Kervalen /d "$bureau" /f </dev/null >/dev/null 2>&1

stem=${2:-$build/screenshots/run-$(date +%Y%m%d-%H%M%S)}
mkdir -p "$(dirname "$stem")"
images=$(mktemp -d)
trap 'kv_stop; rm -rf "$images"' EXIT

wine "$exe" </dev/null &
pid=$!
kv_track "$pid"

# Polled: a search that waits aborts when Wine drops one of its start-up windows.
fenetre= boite=
for _ in $(seq 1 600); do
  fenetre=$(xdotool search --onlyvisible --name '^Programme test$' 2>/dev/null | head -n 1)
  boite=$(xdotool search --onlyvisible --name '^Erreur$' 2>/dev/null | head -n 1)
  [ -z "$fenetre$boite" ] && kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done

fin() {   # waits up to 10 s for the program's end and reports its exit code, or a failure
  local code=
  for _ in $(seq 1 100); do
    if ! kill -0 "$pid" 2>/dev/null; then
      code=0
      wait "$pid" || code=$?
      kv_untrack "$pid"
      break
    fi
    sleep 0.1
  done
  if [ -z "$code" ]; then
    echo "The program did not end within 10 s; stopping it" >&2
    exit 1
  fi
  echo "Kervalen ended with exit code $code; normals log: $journal"
  [ -z "${1:-}" ] || { echo "$1" >&2; [ "$code" != 0 ] || code=1; }
  exit "$code"
}

if [ -z "$fenetre" ]; then
  if [ -n "$boite" ]; then
    import -window root "$stem-echec.png"
    echo "The program could not start; its box: $stem-echec.png"
    xdotool key Return
    fin "It showed its failure box instead of its window"
  elif kill -0 "$pid" 2>/dev/null; then
    echo "The window did not appear within 60 s; stopping the program" >&2
    exit 1
  fi
  fin "It ended without showing its window"
fi

# One whole turn (3 s) at 20 frames a second, of the window and a margin of desktop,
# from the first frame drawn (the client area is white until then).
eval "$(xdotool getwindowgeometry --shell "$fenetre" 2>/dev/null)"
[ -n "${WIDTH:-}" ] || fin "Its window went away before the recording"
for _ in $(seq 1 100); do
  import -window root -crop "1x1+$((X + WIDTH / 2))+$((Y + HEIGHT / 2))" -depth 8 txt:- 2>/dev/null \
    | grep -q '#FFFFFF' || break
  sleep 0.1
done
largeur=$((X + WIDTH + 8)) hauteur=$((Y + HEIGHT + 8))
[ "$largeur" -le "${bureau%x*}" ] || largeur=${bureau%x*}
[ "$hauteur" -le "${bureau#*x}" ] || hauteur=${bureau#*x}
perl "$here/capture.pl" "$DISPLAY" "${largeur}x${hauteur}+0+0" 3 20 "$images" || exit 1

# The still: of the turn's frames, the one that shows the most ground with roofs and walls
# in view (each at least 2 % of the picture): the village seen whole.
part() {   # the share of each frame's pixels near one colour, one line a frame
  convert -size "${largeur}x${hauteur}" -depth 8 "bgra:$images/f*.bgrx" -alpha off -sample 25% \
    -fuzz 10% -fill black +opaque "$1" -fill white -opaque "$1" -format '%[fx:mean]\n' info:
}
meilleure=$(paste <(part '#FF0000') <(part '#800080') <(part '#40BF40') |
  awk '$1 >= 0.02 && $2 >= 0.02 && $3 > best { best = $3; n = NR - 1 } END { print n + 0 }')
convert -size "${largeur}x${hauteur}" -depth 8 "bgra:$images/$(printf 'f%03d' "$meilleure").bgrx" \
  -alpha off "$images/image.png" || exit 1
# Each frame lasts until the next was taken, the last one until the turn is complete; in
# hundredths rounded from the start, so that the loop lasts exactly the 3 s of a turn. A
# frame taken less than 2/100 s after the one before is left out (viewers show shorter
# delays as 1/10 s).
set --
precedent= images_gif=0
while read -r nom ms; do
  cs=$(( (ms + 5) / 10 ))
  if [ -n "$precedent" ]; then
    [ $((cs - precedent_cs)) -ge 2 ] || continue
    set -- "$@" -delay "$((cs - precedent_cs))" "bgra:$images/$precedent"
    images_gif=$((images_gif + 1))
  fi
  precedent=$nom precedent_cs=$cs
done <"$images/times"
dernier=$((300 - precedent_cs))
set -- "$@" -delay "$((dernier < 2 ? 2 : dernier))" "bgra:$images/$precedent"
images_gif=$((images_gif + 1))
convert -size "${largeur}x${hauteur}" -depth 8 "$@" -alpha off -loop 0 -layers Optimize "$images/tour.gif" \
  || exit 1
# Both at once, so that an interrupted run never leaves a still and a turn of different runs.
mv -f "$images/image.png" "$stem.png" && mv -f "$images/tour.gif" "$stem.gif" || exit 1

echo "Still:     $stem.png"
echo "Animation: $stem.gif ($(( $(stat -c %s "$stem.gif") / 1024 )) KB, $images_gif frames, one turn)"

# Through XTEST, which Wine treats as the user's own keys.
xdotool key alt+F4
fin
