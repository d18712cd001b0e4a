# Sourced by the end-to-end scripts: the real exe driven as a user would, in the display and
# prefix of tools/test.sh.
set -euo pipefail
: "${DISPLAY:?run through tools/test.sh}" "${WINEPREFIX:?run through tools/test.sh}"
JOURNAL="$WINEPREFIX/drive_c/Dalmore/Normales.txt"
T=$(mktemp -d) E2E_PID=
# A program still running at the end (or at Ctrl+C) is stopped, killed after 5 s: its window
# must not meet the next script's.
trap 'for s in TERM TERM TERM TERM TERM KILL; do
  kill -$s "${E2E_PID:-x}" 2>/dev/null && sleep 1 || break; done; rm -rf "$T"' EXIT
e2e_fail() { echo "FAIL: $*" >&2; exit 1; }

# e2e_start EXE [PROXY]: runs EXE (a copy beside PROXY as d3d9.dll), Wine's trace in $T/trace,
# the log pre-filled (with SANS_DOSSIER set, its folder removed: the program never creates it).
e2e_start() {
  if [ -n "${SANS_DOSSIER:-}" ]; then rm -rf "${JOURNAL%/*}"
  else mkdir -p "${JOURNAL%/*}" && echo "reste d'avant" >"$JOURNAL"; fi
  [ -z "${2:-}" ] || { cp "$1" "$2" "$T/"; set -- "$T/${1##*/}"; export WINEDLLOVERRIDES=d3d9=n,b; }
  wine "$1" </dev/null >/dev/null 2>"$T/trace" &
  E2E_PID=$!
}
# e2e_window REGEX [S]: a visible window of our process, polled (a search fails outright when
# a window vanishes under it, as Wine's do at start-up); xdotool ignores case, =~ does not.
e2e_window() {
  local id w
  for _ in $(seq $(( ${2:-30} * 10 ))); do
    id=$(xdotool search --all --onlyvisible --pid "$E2E_PID" --name "$1" 2>/dev/null) || true
    for w in $id; do
      [[ "$(xdotool getwindowname "$w" 2>/dev/null)" =~ $1 ]] && echo "$w" && return
    done
    sleep 0.1
  done
  e2e_fail "no window named $1"
}
# e2e_none REGEX: no such window within 5 s.
e2e_none() {
  for _ in $(seq 50); do
    xdotool search --all --onlyvisible --pid "$E2E_PID" --name "$1" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  false
}
e2e_focus() { timeout 10 xdotool windowfocus --sync "$1" || e2e_fail "$1 took no focus in 10 s"; }
# e2e_click WINDOW WHAT CHECK X,Y...: a menu or button clicked with the mouse (Wine's menus
# ignore the keyboard here) at each point of WINDOW, its place read again (WIDTH, HEIGHT
# usable), 1 s apart, until CHECK holds. The X server loses a click now and then: a click on
# the middle closes any menu left open, and again, three times.
e2e_click() {
  local w=$1 what=$2 check=$3 p
  shift 3
  for _ in 1 2 3; do
    kill -0 "$E2E_PID" 2>/dev/null || e2e_fail "$what: the program has ended"
    e2e_focus "$w"
    eval "$(xdotool getwindowgeometry --shell "$w")"
    for p; do xdotool mousemove $((X + ${p%,*})) $((Y + ${p#*,})) click 1 sleep 1; done
    eval "$check" && return
    xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1
  done
  e2e_fail "$what: no effect after three tries"
}
e2e_apropos() {
  e2e_click "$1" "Aide > À propos" "(e2e_window '^À propos de Kervalen$' 5 2>/dev/null)" \
    195,33 250,53   # the box's id on stdout
}
# e2e_wait_exit [S]: sets E2E_CODE. Never inside $(...): only this shell can wait for its child.
e2e_wait_exit() {
  for _ in $(seq $(( ${1:-10} * 10 ))); do
    if ! kill -0 "$E2E_PID" 2>/dev/null; then
      E2E_CODE=0
      wait "$E2E_PID" || E2E_CODE=$?
      E2E_PID=
      return
    fi
    sleep 0.1
  done
  e2e_fail "the program did not end within ${1:-10} s"
}
# e2e_capture WINDOW FILE: the client area, the child X window Wine draws Direct3D into.
e2e_capture() {
  local c
  c=$(xwininfo -tree -id "$1" | grep -oE '[0-9]+x[0-9]+\+-?[0-9]+\+-?[0-9]+ ' | head -n 1) &&
    import -window "$1" -crop $c +repage "$2" || e2e_fail "no capture of $1"
}
# e2e_ecart A B: how many pixels differ. all_blue FILE: the sky alone. e2e_turning WINDOW N:
# N captures 0.3 s apart, each more than sky, each unlike the one before by over 1 %.
e2e_ecart() { { compare -metric AE "$1" "$2" null: 2>&1 || true; } | awk '{ print int($1) }'; }
all_blue() { [ "$(convert "$1" -format '%k %[pixel:p{0,0}]' info:)" = "1 srgb(0,0,255)" ]; }
e2e_turning() {
  local i n
  for i in $(seq "$2"); do e2e_capture "$1" "$T/tour-$i.png"; sleep 0.3; done
  for i in $(seq "$2"); do
    ! all_blue "$T/tour-$i.png" || e2e_fail "capture $i: nothing but sky"
    n=$(convert "$T/tour-$i.png" -format '%[fx:w*h]' info:)
    [ "$i" = 1 ] || [ "$(e2e_ecart "$T/tour-$((i - 1)).png" "$T/tour-$i.png")" -gt $((n / 100)) ] ||
      e2e_fail "captures $((i - 1)) and $i alike: not turning"
  done
}
