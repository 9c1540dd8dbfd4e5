# Shared by the project's Wine scripts (sourced, not run).

# Selects the prefix (made absolute) and creates it, 32-bit, when missing.
# Creation is serialised, so parallel callers wait for one wineboot.
prefix_create() {
  mkdir -p "$1"
  export WINEPREFIX=$(cd "$1" && pwd) WINEARCH=win32
  export WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    ( flock 9
      [ -f "$WINEPREFIX/system.reg" ] || wineboot -i </dev/null >/dev/null 2>&1
      wineserver -w
    ) 9>"$WINEPREFIX.lock"
  fi
}

# Starts a private Xvfb on a free display of the given size and exports
# DISPLAY; XVFB_PID is the server's process.
start_xvfb() {
  exec 8< <(Xvfb -displayfd 1 -screen 0 "${1:-1024x768x24}" -nolisten tcp 2>/dev/null & echo "pid $!")
  read -r _ XVFB_PID <&8
  read -r dnum <&8
  export DISPLAY=":$dnum"
}
