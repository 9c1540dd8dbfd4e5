# Shared by install.sh, uninstall.sh and prefixes.sh (sourced, not run).

# Selects the prefix (made absolute) and creates it, 32-bit, when missing.
# Serialised with wine-run.sh, which creates prefixes the same way.
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

# True when the prefix's registry holds the AcpiSim service key.  The
# registry file is current once the prefix's wineserver has exited.
service_registered() {
  grep -qi '^\[System\\\\CurrentControlSet\\\\Services\\\\AcpiSim\]' "$WINEPREFIX/system.reg"
}

# Imports the .reg text on standard input into the prefix and waits until
# the registry file is written.
reg_import() {
  local reg="$WINEPREFIX/drive_c/$1"
  cat >"$reg"
  wine regedit /S "C:\\$1" </dev/null >/dev/null 2>&1
  wineserver -w
  rm -f "$reg"
}
