#!/usr/bin/env bash
# Removes the AcpiSim service and acpisim.sys from a Wine prefix again.
#
#   uninstall.sh PREFIXDIR
set -eu
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
[ $# -ge 1 ] || { echo "usage: uninstall.sh PREFIXDIR" >&2; exit 2; }
[ -f "$1/system.reg" ] || exit 0

. "$here/prefix-common.sh"
prefix_create "$1"
target="$WINEPREFIX/drive_c/windows/system32/drivers/acpisim.sys"
if service_registered; then
  reg_import acpisim-uninstall.reg <<REG
REGEDIT4

[-$ACPISIM_KEY]
REG
fi
rm -f "$target"
! service_registered || { echo "uninstall.sh: the AcpiSim service is still registered" >&2; exit 1; }
exit 0
