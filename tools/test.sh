#!/usr/bin/env bash
# Runs every test of the x64 build in one Xvfb display with one wineserver, and stops
# both even when tests fail; while another command holds the prefix (BUILD_DIR/wineprefix),
# says which and exits 2. Usage: tools/test.sh BUILD_DIR [ctest arguments...]
set -uo pipefail
build=$(cd "$1" && pwd)
shift
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-session.sh"
trap kv_stop EXIT
trap 'exit 130' INT TERM

kv_start_xvfb || exit 1
kv_claim_prefix "$build/wineprefix" || exit
# A crash ends the program with a failure code at once, instead of waiting for a click on Wine's
# crash dialog; set on every run, since an older prefix lacks it.
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1
# Wine's desktop process must outlive every test, or a test that restarts it hands it the
# output pipe CTest waits on (see tests/support/garde_bureau.cpp).
wine "$build/tests/garde_bureau.exe" </dev/null >/dev/null 2>&1 &
kv_track $!

start=$(date +%s.%N)
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" "$@"
status=$?
awk -v a="$start" -v b="$(date +%s.%N)" 'BEGIN { printf "Suite wall time: %.1f s\n", b - a }'
exit $status
