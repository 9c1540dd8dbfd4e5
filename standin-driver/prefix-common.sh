# Shared by install.sh, uninstall.sh and prefixes.sh (sourced, not run).

# wine-env.sh (prefix_create): next to this file in the release zip, in
# cmake/ of the tree.
if [ -f "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh" ]; then
  . "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
else
  . "$(dirname "${BASH_SOURCE[0]}")/../cmake/wine-env.sh"
fi

# The driver's service key and its Parameters subkey (the driver's settings),
# as .reg files name them.
ACPISIM_KEY='HKEY_LOCAL_MACHINE\System\CurrentControlSet\Services\AcpiSim'
ACPISIM_PARAMETERS_KEY="$ACPISIM_KEY\\Parameters"

# A key's section line in the prefix's system.reg, in lower case:
# [system\\currentcontrolset\\...] (the hive's name left out, each backslash
# doubled).
system_reg_section() {
  local k=${1#HKEY_LOCAL_MACHINE\\}
  k=${k//\\/\\\\}
  printf '[%s]' "${k,,}"
}

# True when the prefix's registry holds the AcpiSim service key.  The
# registry file is current once the prefix's wineserver has exited.
service_registered() {
  SECTION=$(system_reg_section "$ACPISIM_KEY") \
    awk 'index(tolower($0), ENVIRON["SECTION"]) == 1 { found = 1 } END { exit !found }' "$WINEPREFIX/system.reg"
}

# The driver's Backend value in the prefix, or "" when it has none; a
# SysfsRoot, HostIdleMilliseconds, SleepWake or SleepLateSeconds value
# (tests only) reads as "(test)".
backend_settings() {
  SECTION=$(system_reg_section "$ACPISIM_PARAMETERS_KEY") \
    awk '/^\[/ { p = index(tolower($0), ENVIRON["SECTION"]) == 1; next }
         p && /^"(SysfsRoot|HostIdleMilliseconds|SleepWake|SleepLateSeconds)"=/ { extra = 1 }
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
