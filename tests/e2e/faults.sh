#!/usr/bin/env bash
# Direct3D failures forced through the proxy d3d9.dll beside a copy of the exe, and the About
# box: one box "Erreur" with the failure's text (at start-up, never the main window), none for
# About. "Reset" fails after the device is lost at the first Present. While the box is up another
# program posts a request to the frame (POSTER_EXE: close WM_CLOSE, sysclose SC_CLOSE, exit
# ID_APP_EXIT); it ends the program (ends), or is dropped (OK: still there 1 s later; the box's
# OK ends it after an Erreur, after About it goes on until a WM_CLOSE). Either way the row's exit
# code, every Direct3D object given back. Usage: faults.sh EXE PROXY_DLL POSTER_EXE
source "$(dirname "$0")/lib.sh"
k=$3
poste() { timeout 20 wine "$k" 'Programme test' "$1" || e2e_fail "posting $1: failed"; }
# fault | Direct3D objects made | locale | request | outcome | exit code | box text (none: About)
mapfile -t cas <<'FIN'
Direct3DCreate9|0|||OK|1|Échec de l'opération
GetAdapterDisplayMode=1|1|||OK|1|Échec de l'opération, code 1
CreateDevice=0x8876086A|1||close|ends|1|Échec de l'opération, code -2005530518
CreateDevice=0x8876086A|1||sysclose|OK|1|Échec de l'opération, code -2005530518
CreateDevice=0x8876086A|1||exit|OK|1|Échec de l'opération, code -2005530518
Reset=-2005530585|1||close|ends|1|Échec de l'opération, code -2005530585
Reset=-2005530585|1||sysclose|OK|1|Échec de l'opération, code -2005530585
Reset=-2005530585|1||exit|ends|1|Échec de l'opération, code -2005530585
|1||close|ends|0|
|1||sysclose|OK|0|
|1||exit|ends|0|
CreateDevice=0x8876086A|1|ru_RU.UTF-8||OK|1|Échec de l'opération, code -2005530518
FIN
for c in "${cas[@]}"; do
  IFS='|' read -r faute objets locale demande suite code texte <<<"$c"
  echo "--- ${faute:-About} $locale$demande"
  # Wine traces the text as L"..." with each character beyond ASCII as \xxxx.
  attendu=$(printf '%s' "$texte" | perl -CS -pe 's/([^\x20-\x7e])/sprintf("\\%04x", ord($1))/ge')
  rm -f "$T/bilan" "$T/vu" "$T/perte" && [ "${faute%=*}" != Reset ] || touch "$T/perte"
  # Wine's ANSI code page follows the locale.
  LC_ALL=${locale:-${LC_ALL:-}} WINEDEBUG=-all,trace+msgbox KERVALEN_D3D9_FAUTE=$faute \
    KERVALEN_D3D9_BILAN=$(winepath -w "$T/bilan") KERVALEN_D3D9_PERTE=$(winepath -w "$T/perte") \
    SANS_DOSSIER=1 e2e_start "$1" "$2" 2>/dev/null
  while kill -0 "$E2E_PID" 2>/dev/null; do   # watches for the main window
    xdotool search --all --onlyvisible --pid "$E2E_PID" --name '^Programme' >/dev/null 2>&1 &&
      touch "$T/vu"
    sleep 0.05
  done &
  if [ -n "$texte" ]; then
    boite=$(e2e_window '^Erreur$' 30) || exit 1
    sleep 0.5
  else
    e2e_window '^Programme test$' >/dev/null || exit 1
    poste about
    boite=$(e2e_window '^À propos de Kervalen$' 10) || exit 1
  fi
  [ -z "$demande" ] || poste "$demande"
  if [ "$suite" = OK ]; then
    sleep 1 && kill -0 "$E2E_PID" 2>/dev/null || e2e_fail "ended while its box was up"
    e2e_focus "$boite" && xdotool key Return
    if [ -z "$texte" ]; then
      sleep 1 && kill -0 "$E2E_PID" 2>/dev/null || e2e_fail "ended after the About box's OK"
      poste close
    fi
  fi
  e2e_wait_exit 15 && wait
  [ "$E2E_CODE" = "$code" ] ||
    e2e_fail "exit code $E2E_CODE, expected $code $(grep -am1 Unhandled "$T/trace")"
  obtenu=$(sed -n 's/.*MSGBOX_OnInit L"\(.*\)"$/\1/p' "$T/trace")
  [ "$obtenu" = "$attendu" ] || e2e_fail "box text \"$obtenu\", expected \"$attendu\" (one box)"
  [ -e "$T/perte" ] || [ -z "$texte" ] || [ ! -e "$T/vu" ] || e2e_fail "the main window was shown"
  # The Reset and About rows built their scene without it.
  [ ! -e "${JOURNAL%/*}" ] || e2e_fail "C:\\Dalmore was created"
  grep -qx "objets $objets" "$T/bilan" && grep -qx "vivants 0" "$T/bilan" ||
    e2e_fail "expected objets $objets, vivants 0: $(cat "$T/bilan")"
  echo "box \"${texte:-À propos}\", ${demande:-no request}: $suite, exit code $E2E_CODE," \
    "$(tr '\n' ' ' <"$T/bilan")"
done
