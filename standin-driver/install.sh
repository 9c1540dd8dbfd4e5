#!/usr/bin/env bash
# Installs acpisim.sys into a Wine prefix and registers it as the
# automatically started kernel driver service AcpiSim, so that it starts with
# the prefix's services and programs find \\.\ACPI.  Creates the prefix when
# it is missing.  Quick and without changes when the same driver is
# registered already.
#
#   install.sh [--backend NAME] PREFIXDIR [DRIVER.SYS]
#
# DRIVER.SYS defaults to the acpisim.sys next to this script (the release
# zip), else to build/ARCH/bin/acpisim.sys of this tree, ARCH being the
# prefix's architecture (WINEARCH, default win32).  --backend host makes
# the driver carry the requests out on this machine (docs/driver.md);
# without it the prefix gets the default, simulated, backend, and any host
# or sleep setting a test left in the prefix is removed.
set -eu
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
backend=""
if [ "${1:-}" = "--backend" ]; then backend=${2:-}; shift; [ $# -eq 0 ] || shift; fi
[ $# -ge 1 ] || { echo "usage: install.sh [--backend NAME] PREFIXDIR [DRIVER.SYS]" >&2; exit 2; }

. "$here/prefix-common.sh"
prefix_create "$1"
sys=${2:-$here/acpisim.sys}
[ $# -ge 2 ] || [ -f "$sys" ] || sys=$here/../build/$WINEARCH/bin/acpisim.sys
[ -f "$sys" ] || { echo "install.sh: no driver at $sys (build the $WINEARCH preset first)" >&2; exit 1; }
target="$WINEPREFIX/drive_c/windows/system32/drivers/acpisim.sys"

done=""
if ! cmp -s "$sys" "$target" || ! service_registered; then
  mkdir -p "$(dirname "$target")"
  cp "$sys" "$target"
  # The Parameters key starts empty: every value takes its default.
  image='C:\\windows\\system32\\drivers\\acpisim.sys'   # as a .reg string
  reg_import acpisim-install.reg <<REG
REGEDIT4

[-$ACPISIM_KEY]

[$ACPISIM_KEY]
"Type"=dword:00000001
"Start"=dword:00000002
"ErrorControl"=dword:00000001
"ImagePath"="$image"
"DisplayName"="ACPI power-control stand-in"

[$ACPISIM_PARAMETERS_KEY]
REG
  service_registered || { echo "install.sh: the AcpiSim service was not registered in $WINEPREFIX" >&2; exit 1; }
  done=1
fi
# The backend asked for, and no setting of the host backend's tests.
if [ "$(backend_settings)" != "$backend" ]; then
  value=-
  [ -z "$backend" ] || value="\"$backend\""
  printf 'REGEDIT4\r\n\r\n[%s]\r\n"Backend"=%s\r\n"SysfsRoot"=-\r\n"HostIdleMilliseconds"=-\r\n"SleepWake"=-\r\n"SleepLateSeconds"=-\r\n' \
    "$ACPISIM_PARAMETERS_KEY" "$value" |
    reg_import acpisim-backend.reg
  [ "$(backend_settings)" = "$backend" ] || { echo "install.sh: Backend=$backend was not set in $WINEPREFIX" >&2; exit 1; }
  done=1
fi
[ -z "$done" ] || echo "acpisim.sys installed in $WINEPREFIX${backend:+ with the $backend backend}"
