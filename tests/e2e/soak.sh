#!/usr/bin/env bash
# The real program under a random user for SECONDS (keys, About box, moves, resizes,
# minimising); every 5 s resident kB, handles, GDI objects, X windows. After warm-up (the first
# third) the last third may pass the middle one's highest by 4 MB (Wine's heaps move by ~1 MB)
# or 3 objects (a leak per action gives dozens). Then: still turning, exit code 0.
# Usage: soak.sh EXE COUNTERS_EXE SECONDS
source "$(dirname "$0")/lib.sh"
e2e_start "$1"
f=$(e2e_window '^Programme test$')
fin=$((SECONDS + $3)) suivant=0
touches=(Home End Left Right Up Down a space Escape Return Tab Next F5)
k=$2
c() { timeout 20 wine "$k" 'Programme test' "$@" || e2e_fail "soak_compteurs $*: failed"; }
while [ $SECONDS -lt $fin ]; do
  kill -0 "$E2E_PID" 2>/dev/null || e2e_fail "the program ended during the run"
  eval "$(xdotool getwindowgeometry --shell "$f")"
  case $((RANDOM % 6)) in
    0|1) e2e_focus "$f"; xdotool key "${touches[RANDOM % ${#touches[@]}]}" ;;
    2) b=$(e2e_apropos "$f")
       e2e_click "$b" "the About box's OK" "e2e_none '^À propos' && kill -0 \$E2E_PID" \
         'WIDTH*359/417,HEIGHT*46/114' ;;
    3) xdotool mousemove $((X + 100)) $((Y + 10)) mousedown 1 \
         mousemove $((100 + RANDOM % 400)) $((10 + RANDOM % 200)) sleep 0.2 mouseup 1 ;;
    4) xdotool mousemove $((X + WIDTH - 2)) $((Y + HEIGHT - 2)) mousedown 1 \
         mousemove $((X + 400 + RANDOM % 400)) $((Y + 300 + RANDOM % 400)) sleep 0.2 mouseup 1 ;;
    5) c min; sleep 0.3; c restore ;;
  esac
  sleep 0.2
  [ $SECONDS -lt $suivant ] && continue
  suivant=$((SECONDS + 5))
  compte=$(c | tr -d '\r')   # on its own line, so that a failed count ends the run
  fenetres=$(xdotool search --all --pid "$E2E_PID" | wc -l)
  echo "$SECONDS s: $(awk '/VmRSS/ { print $2 }' /proc/$E2E_PID/status) $compte $fenetres" |
    tee -a "$T/mesures"
done
awk '{ n[NR] = $0 } END { t = int(NR / 3); for (c = 3; c <= 6; c++) { m = 0; d = 0
  for (i = t + 1; i <= NR; i++) { split(n[i], v, " ")
    if (i <= 2 * t && v[c] > m) m = v[c]; if (i > 2 * t && v[c] - m > d) d = v[c] - m }
  if (d > (c == 3 ? 4096 : 3)) { print "measure " c - 2 " grew by " d; bad = 1 } } exit bad }' \
  "$T/mesures" || e2e_fail "growth after warm-up"
c restore
sleep 1 && e2e_capture "$f" "$T/a.png" && sleep 0.35 && e2e_capture "$f" "$T/b.png"
[ "$(e2e_ecart "$T/a.png" "$T/b.png")" -gt 0 ] || e2e_fail "no longer turning"
e2e_focus "$f" && xdotool key alt+F4 && e2e_wait_exit 10
[ "$E2E_CODE" = 0 ] || e2e_fail "exit code $E2E_CODE"
echo "soak passed: $(wc -l <"$T/mesures") samples, flat after warm-up, still turning, exit code 0"
