# Sourced by the run and test scripts: a display, a Wine prefix and a running wineserver.

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

# A prefix of its own at $1 (created when missing). Without a window manager, Wine's managed
# windows cost seconds each time one is hidden, so the prefix runs them unmanaged.
velmora_prepare_prefix() {
  export WINEPREFIX="$1"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=d;winemenubuilder.exe=d"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    /usr/lib/wine/wine64 wineboot -i </dev/null >/dev/null 2>&1 || true
    /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
      </dev/null >/dev/null 2>&1 || true
  fi
  # Helper processes inherit the first Wine program's stdio: start them detached so test
  # runners never wait on their pipes.
  /usr/lib/wine/wineserver -p </dev/null >/dev/null 2>&1 || true
  /usr/lib/wine/wine64 cmd /c exit </dev/null >/dev/null 2>&1 || true
}

# Whether this machine runs 32-bit x86 programs. Some kernels are built or booted without IA-32
# emulation; there Wine cannot start a 32-bit Windows program at all (Debian's Wine 8 starts
# them through its 32-bit loader).
velmora_runs_32bit() { /usr/lib/wine/wine --version >/dev/null 2>&1; }

velmora_stop_wine() {
  [ -n "${WINEPREFIX:-}" ] && /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
  [ -n "${VELMORA_XVFB_PID:-}" ] && kill "$VELMORA_XVFB_PID" >/dev/null 2>&1 || true
}
