# Shared by the end-to-end scripts: they run inside the test command's X display and Wine
# prefix (DISPLAY and WINEPREFIX come from it) and drive the real exe as a user would.
set -euo pipefail

e2e_fail() { echo "FAIL: $*" >&2; exit 1; }

# e2e_start EXE [args]: starts the program under Wine; sets E2E_PID.
e2e_start() {
  : "${DISPLAY:?run through the test command}" "${WINEPREFIX:?run through the test command}"
  wine "$@" </dev/null &
  E2E_PID=$!
  trap 'kill "$E2E_PID" 2>/dev/null || true' EXIT
}

# e2e_window TITLE_REGEX [timeout_s]: prints the X id of a visible window of the program
# started by e2e_start (test processes running beside it may show theirs). Polled, because
# a search fails outright when a window vanishes under it (Wine makes and drops windows
# during start-up).
e2e_window() {
  local id=
  for _ in $(seq 1 $(( ${2:-30} * 10 ))); do
    id=$(xdotool search --all --onlyvisible --pid "$E2E_PID" --name "$1" 2>/dev/null | head -n 1) || true
    [ -n "$id" ] && break
    sleep 0.1
  done
  [ -n "$id" ] || e2e_fail "no window named $1"
  echo "$id"
}

# e2e_focus WINDOW: gives it the keyboard (there is no window manager to do it).
e2e_focus() { xdotool windowfocus --sync "$1"; }

# e2e_wait_exit [timeout_s]: waits for the program and sets E2E_CODE to its exit code.
# Not in a subshell: only this shell can collect its child's exit code.
e2e_wait_exit() {
  local limite=$(( ${1:-10} * 10 ))
  for _ in $(seq 1 "$limite"); do
    if ! kill -0 "$E2E_PID" 2>/dev/null; then
      E2E_CODE=0
      wait "$E2E_PID" || E2E_CODE=$?
      trap - EXIT
      return 0
    fi
    sleep 0.1
  done
  e2e_fail "the program did not end within ${1:-10} s"
}
