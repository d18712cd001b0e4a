#!/usr/bin/env bash
# The real program draws the turning village: captures a few hundred milliseconds apart show
# the blue background, the purple bodies, the red roofs and the green ground, nothing but
# those colours, and no two in a row are alike.
source "$(dirname "$0")/render_lib.sh"
render_start "$1"
fenetre=$(e2e_window '^Programme test$')
sleep 1

n=8
render_series "$fenetre" "$E2E_TMP/image" "$n" 0.35      # about one turn (3 s) in all
violet=0 rouge=0 vert=0
for i in $(seq 1 "$n"); do
  image="$E2E_TMP/image-$i.png"
  total=$(render_pixels "$image")
  b=$(render_count "$image" "$BLEU")
  v=$(render_count "$image" "$VIOLET")
  r=$(render_count "$image" "$ROUGE")
  g=$(render_count "$image" "$VERT")
  echo "capture $i: $(render_describe "$image")"
  # The ground spans x from -2.5 only: the view always has background on its left.
  [ "$b" -gt 0 ] || e2e_fail "capture $i shows no blue background"
  # Flat ambient colours only: anything else would be lighting, garbage or an unfinished frame.
  [ $(( (b + v + r + g) * 100 )) -ge $(( total * 99 )) ] ||
    e2e_fail "capture $i: under 99% of the client area has the scene's colours"
  violet=$((violet + v)) rouge=$((rouge + r)) vert=$((vert + g))
  if [ "$i" -gt 1 ]; then
    d=$(render_difference "$E2E_TMP/image-$((i - 1)).png" "$image")
    echo "  differs from capture $((i - 1)) in $d pixels"
    [ "$d" -gt $(( total / 100 )) ] ||
      e2e_fail "captures $((i - 1)) and $i differ in $d pixels only: the village does not turn"
  fi
done
[ "$violet" -gt 0 ] || e2e_fail "no purple body in any capture"
[ "$rouge" -gt 0 ] || e2e_fail "no red roof in any capture"
[ "$vert" -gt 0 ] || e2e_fail "no green ground in any capture"

render_close "$fenetre"
echo "the village turns in its four colours; closed with exit code 0"
