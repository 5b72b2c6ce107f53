# Sourced by the run, test, bench and screenshot scripts: a display, a Wine prefix and one
# wineserver that lives until the script ends.

# Xvfb when there is no display of our own.
velmora_start_display() {
  if [ -z "${DISPLAY:-}" ]; then
    local n=97
    while [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ]; do n=$((n + 1)); done
    Xvfb :$n -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    VELMORA_XVFB_PID=$!
    export DISPLAY=:$n
    # A desktop session loads X resources; a bare Xvfb has none, and then Xlib looks for its
    # resource files again at every font selection (Wine asks for the Xft settings each time):
    # about a third of the cost of a new window title here. An empty resource file gives Xlib
    # a database to keep, and changes no setting.
    : >"/tmp/velmora-xresources"
    export XENVIRONMENT=/tmp/velmora-xresources
    for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.1; done
  fi
}

# A prefix of its own at $1 (created when missing), served by a persistent wineserver that this
# script starts and ends. A server that exits whenever no Wine program runs makes every program
# start the next one again, with Wine's services and devices: seconds per test executable.
# Without a window manager, Wine's managed windows cost seconds each time one is hidden, so the
# prefix runs them unmanaged.
velmora_prepare_prefix() {
  export WINEPREFIX="$1"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=d;winemenubuilder.exe=d"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    /usr/lib/wine/wine64 wineboot -i </dev/null >/dev/null 2>&1 || true
    /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
      </dev/null >/dev/null 2>&1 || true
    # The server that made the prefix leaves with its services a moment later: wait for them.
    # Services started twice lock each other's database, and then every program that uses COM
    # waits seconds for rpcss, the help viewer among them.
    /usr/lib/wine/wineserver -w </dev/null >/dev/null 2>&1 || true
  fi
  velmora_start_wineserver
  # Helper processes inherit the first Wine program's stdio: start them detached so test
  # runners never wait on their pipes.
  /usr/lib/wine/wine64 cmd /c exit </dev/null >/dev/null 2>&1 || true
}

# The prefix's persistent server, in the foreground of a background job so that its process id
# is ours to end. A server of the prefix that is already running (a program started by hand)
# is waited for first: it would exit with its last program and take ours with it.
velmora_start_wineserver() {
  local tries
  for tries in $(seq 100); do
    /usr/lib/wine/wineserver -p -f </dev/null >/dev/null 2>&1 &
    VELMORA_WINESERVER_PID=$!
    sleep 0.2
    kill -0 "$VELMORA_WINESERVER_PID" 2>/dev/null && return 0
    # Another server holds the prefix: wait until it has gone, then try again.
    [ "$tries" = 1 ] && echo "wine-env: waiting for the Wine programs of $WINEPREFIX to end" >&2
    /usr/lib/wine/wineserver -w </dev/null >/dev/null 2>&1 || true
  done
  echo "wine-env: could not start a wineserver for $WINEPREFIX" >&2
  VELMORA_WINESERVER_PID=
  return 1
}

# Holds the prefix's desktop open until the script ends, with the holder program $1 (see
# tests/win/desktop_holder.cpp); $2 is a scratch folder for its ready file.
velmora_hold_desktop() {
  local ready="$2/desktop-held"
  /usr/lib/wine/wine64 "$1" "Z:${ready//\//\\}" </dev/null >/dev/null 2>&1 &
  VELMORA_DESKTOP_HOLDER_PID=$!
  for _ in $(seq 300); do [ -e "$ready" ] && return 0; sleep 0.1; done
  echo "wine-env: the desktop holder did not start: each program starts the desktop again" >&2
}

# Whether this machine runs 32-bit x86 programs. Some kernels are built or booted without IA-32
# emulation; there Wine cannot start a 32-bit Windows program at all (Debian's Wine 8 starts
# them through its 32-bit loader).
velmora_runs_32bit() { /usr/lib/wine/wine --version >/dev/null 2>&1; }

# Ends what this script started, by process id: the prefix's Wine programs with their server,
# then the display.
velmora_stop_wine() {
  [ -n "${VELMORA_DESKTOP_HOLDER_PID:-}" ] && kill "$VELMORA_DESKTOP_HOLDER_PID" >/dev/null 2>&1 || true
  if [ -n "${VELMORA_WINESERVER_PID:-}" ]; then
    /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
    kill "$VELMORA_WINESERVER_PID" >/dev/null 2>&1 || true
    wait "$VELMORA_WINESERVER_PID" 2>/dev/null || true
    VELMORA_WINESERVER_PID=
  fi
  [ -n "${VELMORA_XVFB_PID:-}" ] && kill "$VELMORA_XVFB_PID" >/dev/null 2>&1 || true
}
