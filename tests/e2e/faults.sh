#!/usr/bin/env bash
# Direct3D failures forced through the proxy d3d9.dll beside a copy of the exe: one box
# "Erreur" with the failure's text (at start-up, never the main window); after OK the program
# ends with a non-zero code, every Direct3D object given back. "Reset" fails after the device
# is lost at the first Present. Usage: faults.sh EXE PROXY_DLL
source "$(dirname "$0")/lib.sh"
mapfile -t cas <<'FIN'
Direct3DCreate9|0||Échec de l'opération
GetAdapterDisplayMode=1|1||Échec de l'opération, code 1
CreateDevice=0x8876086A|1||Échec de l'opération, code -2005530518
Reset=-2005530585|1||Échec de l'opération, code -2005530585
CreateDevice=0x8876086A|1|ru_RU.UTF-8|Échec de l'opération, code -2005530518
FIN
for c in "${cas[@]}"; do
  IFS='|' read -r faute objets locale texte <<<"$c" && echo "--- $faute $locale"
  # Wine traces the text as L"..." with each character beyond ASCII as \xxxx.
  attendu=$(printf '%s' "$texte" | perl -CS -pe 's/([^\x20-\x7e])/sprintf("\\%04x", ord($1))/ge')
  rm -f "$T/bilan" "$T/vu" "$T/perte" && [ "${faute%=*}" != Reset ] || touch "$T/perte"
  [ -z "$locale" ] || export LC_ALL=$locale 2>/dev/null   # Wine's ANSI code page follows it
  WINEDEBUG=-all,trace+msgbox KERVALEN_D3D9_FAUTE=$faute KERVALEN_D3D9_BILAN=$(winepath -w "$T/bilan") \
    KERVALEN_D3D9_PERTE=$(winepath -w "$T/perte") SANS_DOSSIER=1 e2e_start "$1" "$2" 2>/dev/null
  while kill -0 "$E2E_PID" 2>/dev/null; do   # watches for the main window
    xdotool search --all --onlyvisible --pid "$E2E_PID" --name '^Programme' >/dev/null 2>&1 && touch "$T/vu"; sleep 0.05; done &
  boite=$(e2e_window '^Erreur$' 30) && sleep 0.5
  obtenu=$(sed -n 's/.*MSGBOX_OnInit L"\(.*\)"$/\1/p' "$T/trace")
  [ "$obtenu" = "$attendu" ] || e2e_fail "box text \"$obtenu\", expected \"$attendu\" (one box)"
  e2e_focus "$boite" && xdotool key Return && e2e_wait_exit 15 && wait
  [ "$E2E_CODE" != 0 ] || e2e_fail "exit code 0 after a failure"
  [ -e "$T/perte" ] || [ ! -e "$T/vu" ] || e2e_fail "the main window was shown"
  [ ! -e "${JOURNAL%/*}" ] || e2e_fail "C:\\Dalmore was created"   # the Reset row built its scene without it
  grep -qx "objets $objets" "$T/bilan" && grep -qx "vivants 0" "$T/bilan" ||
    e2e_fail "expected objets $objets, vivants 0: $(cat "$T/bilan")"
  echo "box \"$texte\" alone, exit code $E2E_CODE, $(tr '\n' ' ' <"$T/bilan")"
done
