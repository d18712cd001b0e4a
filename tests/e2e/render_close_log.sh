#!/usr/bin/env bash
# Closing the real program ends it with exit code 0, and its normals log then holds exactly
# the twelve lines of the three roofs, house 0 first, as a Windows text file.
source "$(dirname "$0")/render_lib.sh"
render_start "$1"
fenetre=$(e2e_window '^Programme test$')
sleep 0.5
render_close "$fenetre"

journal="$WINEPREFIX/drive_c/Dalmore/Normales.txt"
[ -f "$journal" ] || e2e_fail "no normals log at $journal"
# Every roof has height 2; its face normals do not depend on where it stands.
toit=$'Normale: 0,-16.9706,12\r\nNormale: -16.9706,0,-12\r\nNormale: 0,16.9706,12\r\nNormale: 16.9706,0,-12\r\n'
attendu="$toit$toit$toit"
if ! cmp -s "$journal" <(printf '%s' "$attendu"); then
  echo "--- expected" >&2; printf '%s' "$attendu" | cat -A >&2
  echo "--- found" >&2; cat -A "$journal" >&2
  e2e_fail "the normals log is not the twelve lines of the three roofs"
fi
echo "closed with exit code 0; the normals log holds the twelve lines"
