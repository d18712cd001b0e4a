#!/usr/bin/env bash
# Kervalen against the raw program of bench/banc.cpp, launch for launch, on one Xvfb
# (1280x1024x24) and one warm Wine prefix of the benchmark's own, with a fresh `wineserver -p30`
# before each launch. Timestamps come from outside both programs: the benchmark's d3d9.dll, copied
# beside each exe, records when every Present starts and every EndScene returns.
# Usage: bench/bench.sh BUILD_DIR [LAUNCHES_EACH]     (at least 5; 5 by default)
set -uo pipefail
build=$(cd "$1" && pwd)
n=${2:-5}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../tools/wine-session.sh"
trap kv_stop EXIT
trap 'exit 130' INT TERM

horodatage="$build/bench/horodatage/d3d9.dll"
for f in "$build/app/Kervalen.exe" "$build/bench/banc_brut.exe" "$horodatage"; do
  [ -f "$f" ] || { echo "missing $f: build the targets Kervalen, banc_brut and horodatage" >&2; exit 1; }
done
work="$build/bench-run"
rm -rf "$work" && mkdir -p "$work/Kervalen" "$work/brut"
cp "$build/app/Kervalen.exe" "$horodatage" "$work/Kervalen/"
cp "$build/bench/banc_brut.exe" "$horodatage" "$work/brut/"

kv_start_xvfb || exit 1
kv_claim_prefix "$build/wineprefix-bench" || exit
mkdir -p "$WINEPREFIX/drive_c/Dalmore"     # Kervalen's normals log goes there
export WINEDLLOVERRIDES=d3d9=n,b

# CPU ticks (user + system) of every process running in our prefix, as "pid ticks" lines.
ticks() {
  local p
  for p in /proc/[0-9]*; do
    grep -qz "^WINEPREFIX=$WINEPREFIX\$" "$p/environ" 2>/dev/null || continue
    awk '{ sub(/^.*\) /, ""); print FILENAME, $12 + $13 }' "$p/stat" 2>/dev/null
  done
}

# The mean colour of a square inside the client area: black or white until Direct3D has shown
# an image there (the scene fills it with blue, green, purple and red).
drawn() {
  import -silent -window root -crop 200x200+284+300 +repage \
    -format '%[fx:int(255*mean.r)] %[fx:int(255*mean.g)] %[fx:int(255*mean.b)]' info: 2>/dev/null |
    awk '{ exit !(($1 + $2 + $3) > 30 && ($1 + $2 + $3) < 735) }'
}

# launch NAME EXE TITLE: one measured run; appends "NAME visible first_present close_ms cpu hwm_kB"
# to results and leaves the timestamps in NAME-I.temps.
launch() {
  local name=$1 exe=$2 title=$3 i=$4 temps="$work/$1-$4.temps" t0 pid visible=0 end
  kv_stop_wineserver                         # a fresh one, with Wine's services up, as a desktop session has
  kv_claim_prefix "$WINEPREFIX" || return 1
  rm -f "$temps"
  export KERVALEN_D3D9_TEMPS
  KERVALEN_D3D9_TEMPS=$(winepath -w "$temps" 2>/dev/null)
  t0=$(date +%s%N)
  wine "$exe" </dev/null >/dev/null 2>&1 &
  pid=$!
  kv_track "$pid"   # for Ctrl+C; untracked once it has ended, its id free for others
  end=$((t0 + 20000000000))
  while [ "$(date +%s%N)" -lt "$end" ]; do
    if xdotool search --all --onlyvisible --pid "$pid" --name "^$title\$" >/dev/null 2>&1 && drawn; then
      visible=$(date +%s%N); break
    fi
  done
  [ "$visible" != 0 ] || { echo "$name: nothing drawn within 20 s" >&2; kv_end "$pid"; return 1; }
  sleep "$(awk -v t="$t0" -v n="$(date +%s%N)" 'BEGIN { s = 3 - (n - t) / 1e9; print (s > 0 ? s : 0) }')"
  ticks >"$work/cpu-a"
  sleep 10
  ticks >"$work/cpu-b"
  local hwm cpu win t1 gone=0
  hwm=$(awk '/VmHWM/ { print $2 }' "/proc/$pid/status")
  cpu=$(awk 'NR == FNR { a[$1] = $2; next } { d += $2 - ($1 in a ? a[$1] : 0) } END { printf "%.3f", d / 100 / 10 }' \
        "$work/cpu-a" "$work/cpu-b")
  win=$(xdotool search --all --onlyvisible --pid "$pid" --name "^$title\$" | head -n 1)
  [ -n "$win" ] && timeout 10 xdotool windowfocus --sync "$win" ||
    { echo "$name: its window went away, or did not take the focus within 10 s" >&2; kv_end "$pid"; return 1; }
  t1=$(date +%s%N)
  xdotool key alt+F4
  for _ in $(seq 2000); do kill -0 "$pid" 2>/dev/null || break; sleep 0.005; done   # 10 s at most
  gone=$(date +%s%N)
  kill -0 "$pid" 2>/dev/null && { echo "$name: still running 10 s after Alt+F4; stopping it" >&2; kv_end "$pid"; return 1; }
  wait "$pid"
  kv_untrack "$pid"
  echo "$name $i $t0 $(( (visible - t0) / 1000 )) $(( (gone - t1) / 1000 )) $cpu $hwm" >>"$work/results"
}

echo "Benchmark: $n launches each, alternating; timestamps in $work"
for i in $(seq 1 "$n"); do
  launch brut "$work/brut/banc_brut.exe" "Banc brut" "$i" || exit 1
  launch Kervalen "$work/Kervalen/Kervalen.exe" "Programme test" "$i" || exit 1
  tail -n 2 "$work/results" | awk '{ printf "  %-8s launch %s: visible %.0f ms, CPU %.2f cores, peak %d MB\n", $1, $2, $4 / 1000, $6, $7 / 1024 }'
done
kv_stop

python3 - "$work" <<'PY'
import statistics as st, sys, os
work = sys.argv[1]
rows = [l.split() for l in open(os.path.join(work, "results"))]

def measures(name, i, t0, visible_us, close_us, cpu, hwm):
    P, E = [], []
    for l in open(os.path.join(work, f"{name}-{i}.temps")):
        k, v = l.split()
        (P if k == "P" else E).append(int(v))
    P.sort(); E.sort()
    t0 = int(t0)
    gaps = [(b - a) / 1e6 for a, b in zip(P, P[1:])]
    start = [g for a, g in zip(P, gaps) if a - P[0] < 1e9]             # first second of presents
    ticks = [g for a, g in zip(P, gaps) if a - P[0] >= 1e9]            # after it
    work_ms, j = [], 0
    for p in P:
        while j < len(E) and E[j] < p: j += 1
        if j < len(E): work_ms.append((E[j] - p) / 1e6)
    ticks.sort()
    return dict(visible=int(visible_us) / 1000, present=(P[0] - t0) / 1e6, gap=max(start),
                med=st.median(ticks), p99=ticks[min(len(ticks) - 1, int(0.99 * len(ticks)))],
                work=st.median(work_ms), cpu=float(cpu), mem=int(hwm) / 1024,
                over=sum(1 for g in ticks if g > 60), close=int(close_us) / 1000)

runs = {"brut": [], "Kervalen": []}
for r in rows:
    runs[r[0]].append(measures(*r))

lines = [("launch → first frame visible on screen", "visible", "ms", 0),
         ("launch → first `Present` (in process)", "present", "ms", 0),
         ("longest gap between two presents (first second)", "gap", "ms", 0),
         ("acting-tick interval, median", "med", "ms", 1),
         ("acting-tick interval, p99", "p99", "ms", 1),
         ("work per acting tick (`Present` to `EndScene`)", "work", "ms", 2),
         ("CPU, prefix's processes, 3 s to 13 s", "cpu", "cores", 2),
         ("peak resident memory of the program", "mem", "MB", 0),
         ("Alt+F4 → process gone", "close", "ms", 0)]
def cell(name, key, unit, d):
    v = [r[key] for r in runs[name]]
    return f"{st.median(v):,.{d}f} {unit} ({min(v):,.{d}f}–{max(v):,.{d}f})", st.median(v)
n = len(runs["brut"])
print(f"\n| measure: median (range), {n} launches each | raw Win32 + D3D9 program | Kervalen | ratio |")
print("|---|---|---|---|")
for label, key, unit, d in lines:
    a, va = cell("brut", key, unit, d)
    b, vb = cell("Kervalen", key, unit, d)
    print(f"| {label} | {a} | {b} | {vb / va:.2f} |" if va else f"| {label} | {a} | {b} | – |")
ob = sum(r["over"] for r in runs["brut"]); ok = sum(r["over"] for r in runs["Kervalen"])
print(f"| tick intervals over 60 ms after the first second (all launches) | {ob} | {ok} | |")
diff = st.median(r["mem"] for r in runs["Kervalen"]) - st.median(r["mem"] for r in runs["brut"])
print(f"\nPeak memory difference (medians): {diff:+.1f} MB")
PY
