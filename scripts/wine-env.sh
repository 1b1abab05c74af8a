# Sourced by the scripts that run Wine: code page 936, quiet Wine, one prefix
# per checkout kept under build/, booted before anything else inherits its pipes.
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
export WINEDEBUG=-all
export WINEARCH=win64
export WINEPREFIX="${WINEPREFIX:-$QUILLO_ROOT/build/wineprefix}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

quillo_boot_prefix() {
  mkdir -p "$(dirname "$WINEPREFIX")"
  # A persistent server first (it forks into the background), so each test
  # process starts in milliseconds instead of bringing a server up and down.
  wineserver -p >/dev/null 2>&1 </dev/null || true
  local fresh=0
  [ -f "$WINEPREFIX/system.reg" ] || fresh=1
  # Wine's services inherit the caller's stdout/stderr; CTest would wait on them.
  wineboot -i >/dev/null 2>&1 </dev/null || true
  if [ "$fresh" = 1 ]; then
    # No window manager on Xvfb: let Wine manage focus and stacking itself.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v UseTakeFocus /t REG_SZ /d N /f >/dev/null 2>&1 </dev/null
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 </dev/null
  fi
}

quillo_stop_prefix() {
  wineserver -k >/dev/null 2>&1 </dev/null || true
}

# A private display: the first free number from 91 on. Sets DISPLAY and
# QUILLO_XVFB_PID (for quillo_stop_xvfb).
quillo_start_xvfb() {
  local display=91
  while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
  Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  QUILLO_XVFB_PID=$!
  export DISPLAY=":$display"
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
}

quillo_stop_xvfb() {
  [ -n "${QUILLO_XVFB_PID:-}" ] && kill "$QUILLO_XVFB_PID" 2>/dev/null
  QUILLO_XVFB_PID=""
}
