#!/usr/bin/env bash
# A start-up call of Direct3D fails in the real program, through the fault-injecting d3d9.dll
# put beside a copy of it: the user sees one box titled "Erreur" with the right text and never
# the main window; after OK the program ends with a non-zero code, having given back every
# reference it had of Direct3D.
# Usage: fault_startup.sh EXE PROXY_DLL FAULT TEXT OBJECTS
#   FAULT    what the proxy is told (KERVALEN_D3D9_FAUTE), e.g. CreateDevice=0x8876086A
#   TEXT     the box's text, UTF-8, e.g. "Échec de l'opération, code -2005530518"
#   OBJECTS  how many Direct3D objects the program is expected to have been handed
source "$(dirname "$0")/render_lib.sh"
exe=$1 proxy=$2 faute=$3 texte=$4 objets=$5
: "${DISPLAY:?run through the test command}" "${WINEPREFIX:?run through the test command}"

# The proxy is found beside the exe, as a d3d9.dll installed with a program would be.
cp "$exe" "$E2E_TMP/Kervalen.exe"
cp "$proxy" "$E2E_TMP/d3d9.dll"
bilan="$E2E_TMP/bilan.txt"
trace="$E2E_TMP/trace.txt"

# Wine prints the box's text as L"..." with every character outside ASCII as \xxxx.
attendu=$(printf '%s' "$texte" | perl -CS -pe 's/([^\x20-\x7e])/sprintf("\\%04x", ord($1))/ge')

mkdir -p "$WINEPREFIX/drive_c/Dalmore"
WINEDLLOVERRIDES="d3d9=n,b" WINEDEBUG=-all,trace+msgbox \
KERVALEN_D3D9_FAUTE="$faute" KERVALEN_D3D9_BILAN="$(winepath -w "$bilan" 2>/dev/null)" \
  wine "$E2E_TMP/Kervalen.exe" </dev/null >/dev/null 2>"$trace" &
E2E_PID=$!

# Watches for the main window for as long as the program runs.
vu="$E2E_TMP/fenetre-vue"
( while kill -0 "$E2E_PID" 2>/dev/null; do
    if [ -n "$(xdotool search --onlyvisible --name '^Programme test$' 2>/dev/null)" ]; then
      touch "$vu"; break
    fi
    sleep 0.05
  done ) &
guetteur=$!

# The box, unless the program shows its window or ends first.
boite=
for _ in $(seq 1 300); do
  boite=$(xdotool search --onlyvisible --name '^Erreur$' 2>/dev/null | head -n 1) || true
  [ -z "$boite" ] || break
  [ ! -e "$vu" ] || e2e_fail "the main window was shown and no box came"
  kill -0 "$E2E_PID" 2>/dev/null || e2e_fail "the program ended without a box"
  sleep 0.1
done
[ -n "$boite" ] || e2e_fail "no box titled Erreur within 30 s"
for _ in $(seq 1 50); do grep -q 'MSGBOX_OnInit' "$trace" && break; sleep 0.1; done
ligne=$(grep -m 1 'MSGBOX_OnInit' "$trace") || e2e_fail "Wine traced no message box text"
obtenu=$(printf '%s\n' "$ligne" | sed -n 's/.*MSGBOX_OnInit L"\(.*\)"$/\1/p')
[ "$obtenu" = "$attendu" ] || e2e_fail "box text is \"$obtenu\", expected \"$attendu\""
[ "$(grep -c 'MSGBOX_OnInit' "$trace")" = 1 ] || e2e_fail "more than one message box"

e2e_focus "$boite"
xdotool key Return
e2e_wait_exit 15
trap render_cleanup EXIT
wait "$guetteur" 2>/dev/null || true
[ ! -e "$vu" ] || e2e_fail "the main window was shown"
[ "$E2E_CODE" != 0 ] || e2e_fail "the program ended with exit code 0 after a failed start-up"

[ -f "$bilan" ] || e2e_fail "the proxy wrote no report: was it loaded?"
grep -qx "objets $objets" "$bilan" || e2e_fail "expected $objets Direct3D objects handed out: $(tr '\n' ' ' <"$bilan")"
grep -qx "vivants 0" "$bilan" || e2e_fail "references left alive at exit: $(tr '\n' ' ' <"$bilan")"
echo "box \"$texte\" shown alone; exit code $E2E_CODE; nothing of Direct3D left alive"
