#!/usr/bin/env bash
# The program must be a 64-bit GUI executable that runs on a bare Windows: it may import
# system DLLs only, never a MinGW runtime (libstdc++, libgcc, libwinpthread).
set -euo pipefail
exe=$1
objdump=${2:-x86_64-w64-mingw32-objdump}
headers=$("$objdump" -p "$exe")

grep -q '^Magic[[:space:]]*020b' <<<"$headers" || { echo "not PE32+ (no 0x20b magic)"; exit 1; }
grep -qE '^Subsystem[[:space:]]+00000002' <<<"$headers" || { echo "not a GUI (subsystem 2) image"; exit 1; }

dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")
echo "imports:" $dlls
[ -n "$dlls" ] || { echo "no import table found"; exit 1; }
if grep -qiE 'libstdc|libgcc|winpthread|mingw' <<<"$dlls"; then
  echo "imports a MinGW runtime DLL"; exit 1
fi
