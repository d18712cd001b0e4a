# Sourced by the run, test and benchmark commands: an X display and a Wine prefix of their own.
# A command stops only what it started: its Xvfb and the programs it records, by process id;
# the Wine server of its prefix (and with it Wine's services) only when the server carries the
# command's mark KV_RUN, which every process it starts inherits, and no program without that
# mark runs on it (a debugging session that joined).

export KV_RUN="$0 $* (pid $$)"
KV_XVFB_PID= KV_PIDS=

# Starts Xvfb on a display number it picks itself (24-bit, 1280x1024 unless a size is
# given) and exports DISPLAY.
kv_start_xvfb() {
  local numero n=
  numero=$(mktemp) || return 1
  Xvfb -displayfd 3 -screen 0 "${1:-1280x1024}x24" -nolisten tcp 3>"$numero" >/dev/null 2>&1 &
  KV_XVFB_PID=$!
  for _ in $(seq 1 100); do
    n=$(tr -d '[:space:]' <"$numero")
    [ -z "$n" ] && kill -0 "$KV_XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  rm -f "$numero"
  if [ -z "$n" ]; then
    kill -0 "$KV_XVFB_PID" 2>/dev/null && echo "Xvfb gave no display number within 10 s" >&2 ||
      echo "Xvfb did not start" >&2
    kv_end "$KV_XVFB_PID"; KV_XVFB_PID=
    return 1
  fi
  export DISPLAY=":$n"
}

# kv_claim_prefix PREFIX [gere]: takes PREFIX for this command. Its Wine server is the lock:
# `wineserver -p` on a prefix already served exits 2 and starts nothing, so a prefix that
# another command or a debugging session holds is left alone; this says who holds it and
# returns 2. Then creates the prefix on first use and starts Wine's services, both away from
# the caller's output (whoever reads it, CTest, would wait for the services forever). The
# server outlives its last program by 30 s, not for ever, so that one left to a program this
# command did not start ends after it.
# The prefix has Direct3D commands on the calling thread (csmt off halves the CPU used). Without
# "gere" its windows are unmanaged, as the tests and the benchmark want them headless (closing a
# managed one without a window manager waits ~2 s); with it they are ordinary windows of the
# user's desktop. Debian's Wine looks for its own fonts where fonts-wine does not put them;
# without Marlett it draws the caption buttons as "0 1 r".
kv_claim_prefix() {
  export WINEPREFIX=$1 WINEDEBUG=${WINEDEBUG:--all}
  local code
  mkdir -p "$WINEPREFIX"
  for _ in 1 2 3; do   # a server that was ending as we asked is asked again
    wineserver -p30 </dev/null >/dev/null 2>&1
    code=$?
    [ "$code" = 2 ] && [ -z "$(kv_server)" ] || break
    sleep 1
  done
  case $code in
    0) ;;
    2) kv_holder >&2; return 2 ;;
    *) echo "No Wine server could start for $WINEPREFIX (exit code $code)" >&2; return 1 ;;
  esac
  if [ ! -f "$WINEPREFIX/.kervalen-ready" ]; then
    echo "Creating the Wine prefix $WINEPREFIX (once)..."
    WINEDLLOVERRIDES="mscoree,mshtml=" wine wineboot --init </dev/null >/dev/null 2>&1
    [ "${2:-}" = gere ] ||
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f </dev/null >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Direct3D' /v csmt /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1
    touch "$WINEPREFIX/.kervalen-ready"
  fi
  ln -sf /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  # In the foreground, so that Ctrl+C reaches wineboot instead of waiting for it.
  timeout --foreground 120 wine wineboot </dev/null >/dev/null 2>&1
  code=$?
  case $code in
    0) ;;
    124) echo "Wine's services did not start within 120 s in $WINEPREFIX" >&2; return 1 ;;
    *) echo "Wine's services did not start in $WINEPREFIX (wineboot ended with code $code)" >&2; return 1 ;;
  esac
}

# The process id of the Wine server of WINEPREFIX: it works in the folder server-DEV-INODE,
# named after the prefix's device and inode (in hexadecimal).
kv_server() {
  local dossier p
  dossier=$(stat -L -c '%d %i' "$WINEPREFIX" 2>/dev/null | awk '{ printf "server-%x-%x", $1, $2 }')
  [ -n "$dossier" ] || return 0
  for p in /proc/[0-9]*; do
    [[ "$(readlink "$p/cwd" 2>/dev/null)" == */"$dossier" && "$(cat "$p/comm" 2>/dev/null)" == wineserver* ]] &&
      echo "${p#/proc/}" && return
  done
}

kv_mark() { tr '\0' '\n' 2>/dev/null <"/proc/$1/environ" | sed -n 's/^KV_RUN=//p'; }

# "PID NAME, ..." of the Wine processes running in WINEPREFIX whose mark is not MARK (all of
# them for an empty MARK); with a second argument, Wine's own services left out.
kv_processes() {
  local f p v moi
  moi=$(stat -L -c '%d %i' "$WINEPREFIX" 2>/dev/null) || return 0
  for f in $(grep -lz '^WINEPREFIX=' /proc/[0-9]*/environ 2>/dev/null); do
    p=${f#/proc/} p=${p%/environ}
    # The prefix as Wine finds its server, by device and inode, however the path is spelt
    # (a trailing slash, a symbolic link).
    v=$(tr '\0' '\n' 2>/dev/null <"$f" | sed -n 's/^WINEPREFIX=//p' | tail -n 1)
    [ "$(stat -L -c '%d %i' "$v" 2>/dev/null)" = "$moi" ] || continue
    [[ "$(readlink "/proc/$p/exe")" == */wine* && ( -z "$1" || "$(kv_mark "$p")" != "$1" ) ]] || continue
    echo "$p $(cat "/proc/$p/comm" 2>/dev/null)"
  done | awk -v sans="${2:-}" 'sans == "" || $2 !~ /^(wineserver|services|explorer|winedevice|svchost|plugplay|rpcss)/ {
    printf "%s%s", (n++ ? ", " : ""), $0 }'
}

# Who holds WINEPREFIX, and what to do: the message of a refused claim.
kv_holder() {
  local s marque qui programmes
  s=$(kv_server)
  marque=$([ -z "$s" ] || kv_mark "$s")
  qui=${marque##*(pid } qui=${qui%)}
  programmes=$(kv_processes "" services)
  if [ -n "$marque" ] && kill -0 "$qui" 2>/dev/null; then
    echo "$WINEPREFIX is in use by $marque, which keeps it until it ends (or its window is closed)."
    echo "Nothing of it was stopped: run this again once it has ended."
  elif [ -n "$marque" ]; then
    echo "$WINEPREFIX is still served by the Wine server (pid $s) of $marque, which has ended${programmes:+; programs on it: $programmes}."
    echo "End that server and every program on it with: WINEPREFIX=$WINEPREFIX wineserver -k, then run this again."
  else
    echo "$WINEPREFIX is in use by a Wine session started outside these commands (a debugging session?):"
    echo "wineserver pid ${s:-unknown}${programmes:+, programs: $programmes}. Nothing of it was stopped."
    echo "Close its programs (or end it with: WINEPREFIX=$WINEPREFIX wineserver -k), then run this again."
  fi
}

# kv_end PID [S]: ends a process this command started: asked, then killed after S seconds (5).
kv_end() {
  kv_untrack "$1"   # once ended, its id may go to someone else's process
  kill "$1" 2>/dev/null || return 0
  for _ in $(seq $(( ${2:-5} * 10 ))); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
  kill -9 "$1" 2>/dev/null
  wait "$1" 2>/dev/null
  return 0
}

kv_track() { KV_PIDS="$KV_PIDS $1"; }
kv_untrack() { local p k=; for p in $KV_PIDS; do [ "$p" = "$1" ] || k="$k $p"; done; KV_PIDS=$k; }

# Ends this command's Wine server and so every program on it, all of them its own; a server that
# is not its own, or that a program it did not start uses, stays.
kv_stop_wineserver() {
  local s autres
  s=$(kv_server)
  [ -n "$s" ] && [ "$(kv_mark "$s")" = "$KV_RUN" ] || return 0
  autres=$(kv_processes "$KV_RUN")
  if [ -n "$autres" ]; then
    echo "The Wine server of $WINEPREFIX stays up for programs this command did not start ($autres);" >&2
    echo "it ends 30 s after the last of them (WINEPREFIX=$WINEPREFIX wineserver -k ends it now, with them)." >&2
    return 0
  fi
  timeout 20 wineserver -k </dev/null >/dev/null 2>&1
  for _ in $(seq 100); do [ -e "/proc/$s" ] || return 0; sleep 0.1; done
  echo "The Wine server (pid $s) of $WINEPREFIX did not end within 10 s" >&2
}

kv_stop() {
  local p
  for p in $KV_PIDS; do kv_end "$p"; done
  KV_PIDS=
  kv_stop_wineserver
  [ -z "$KV_XVFB_PID" ] || kv_end "$KV_XVFB_PID"
  KV_XVFB_PID=
}
