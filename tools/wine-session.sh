# Sourced by the run and test commands: an X display and a Wine prefix of the project's own.
# Everything started here is recorded by process id and stopped by kv_stop, never by name.

KV_XVFB_PID=
KV_STARTED_WINESERVER=

# Starts Xvfb on a display number it picks itself (24-bit, 1280x1024 unless a size is
# given) and exports DISPLAY.
kv_start_xvfb() {
  local numero
  numero=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "${1:-1280x1024}x24" -nolisten tcp 3>"$numero" >/dev/null 2>&1 &
  KV_XVFB_PID=$!
  for _ in $(seq 1 100); do
    [ -s "$numero" ] && break
    kill -0 "$KV_XVFB_PID" 2>/dev/null || { echo "Xvfb did not start" >&2; return 1; }
    sleep 0.1
  done
  [ -s "$numero" ] || { echo "Xvfb gave no display number" >&2; return 1; }
  export DISPLAY=":$(tr -d '[:space:]' <"$numero")"
  rm -f "$numero"
}

# Creates the prefix on first use, with Direct3D commands on the calling thread (csmt off
# halves the CPU used). Without a second argument its windows are unmanaged, as the tests and
# the benchmark want them headless (closing a managed one without a window manager waits
# ~2 s); with "gere" they are ordinary windows of the user's desktop, with the window
# manager's frame, taskbar entry and keyboard focus. Debian's Wine looks for its own fonts
# where fonts-wine does not put them; without Marlett it draws the caption buttons as "0 1 r".
kv_prepare_prefix() {
  export WINEPREFIX=$1
  export WINEDEBUG=${WINEDEBUG:--all}
  if [ ! -f "$WINEPREFIX/.kervalen-ready" ]; then
    echo "Creating the Wine prefix $WINEPREFIX (once)..."
    mkdir -p "$WINEPREFIX"
    WINEDLLOVERRIDES="mscoree,mshtml=" wineboot --init </dev/null >/dev/null 2>&1
    [ "${2:-}" = gere ] ||
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f </dev/null >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Direct3D' /v csmt /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.kervalen-ready"
  fi
  ln -sf /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
}

# Keeps one wineserver for the whole session. Its services must not inherit the caller's
# output, or whoever reads that output (CTest) waits for them forever.
kv_start_wineserver() {
  wineserver -p </dev/null >/dev/null 2>&1
  KV_STARTED_WINESERVER=1
  wine wineboot </dev/null >/dev/null 2>&1
}

kv_stop() {
  if [ -n "$KV_STARTED_WINESERVER" ]; then
    wineserver -k </dev/null >/dev/null 2>&1 || true
    KV_STARTED_WINESERVER=
  fi
  if [ -n "$KV_XVFB_PID" ]; then
    kill "$KV_XVFB_PID" 2>/dev/null || true
    wait "$KV_XVFB_PID" 2>/dev/null || true
    KV_XVFB_PID=
  fi
}
