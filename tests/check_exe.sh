#!/usr/bin/env bash
# A 64-bit GUI exe that runs on a bare Windows: PE32+, subsystem 2, system DLLs only (no MinGW
# runtime). Usage: check_exe.sh EXE [OBJDUMP]
set -euo pipefail
h=$("${2:-x86_64-w64-mingw32-objdump}" -p "$1")
grep -q '^Magic[[:space:]]*020b' <<<"$h" || { echo "not PE32+"; exit 1; }
grep -qE '^Subsystem[[:space:]]+00000002' <<<"$h" || { echo "not a GUI image"; exit 1; }
dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$h") && echo "imports:" $dlls
[ -n "$dlls" ] && ! grep -qiE 'libstdc|libgcc|winpthread|mingw' <<<"$dlls" || { echo "no imports or a MinGW DLL"; exit 1; }
