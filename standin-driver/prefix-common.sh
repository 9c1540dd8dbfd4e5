# Shared by install.sh, uninstall.sh and prefixes.sh (sourced, not run).

. "$(dirname "${BASH_SOURCE[0]}")/../cmake/wine-env.sh"   # prefix_create

# True when the prefix's registry holds the AcpiSim service key.  The
# registry file is current once the prefix's wineserver has exited.
service_registered() {
  grep -qi '^\[System\\\\CurrentControlSet\\\\Services\\\\AcpiSim\]' "$WINEPREFIX/system.reg"
}

# The driver's Backend value in the prefix, or "" when it has none; a
# SysfsRoot or HostIdleMilliseconds value (tests only) reads as "(test)".
backend_settings() {
  awk '/^\[/ { p = tolower($0) ~ /^\[system\\\\currentcontrolset\\\\services\\\\acpisim\\\\parameters\]/; next }
       p && /^"(SysfsRoot|HostIdleMilliseconds)"=/ { extra = 1 }
       p && /^"Backend"="/ { sub(/^"Backend"="/, ""); sub(/"$/, ""); b = $0 }
       END { print extra ? "(test)" : b }' "$WINEPREFIX/system.reg"
}

# Imports the .reg text on standard input into the prefix and waits until
# the registry file is written.
reg_import() {
  local reg="$WINEPREFIX/drive_c/$1"
  cat >"$reg"
  wine_try vmt_wine regedit /S "C:\\$1" || { rm -f "$reg"; return 1; }
  wineserver -w
  rm -f "$reg"
}
