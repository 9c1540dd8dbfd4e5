#!/usr/bin/env bash
# Installs acpisim.sys into a Wine prefix and registers it as the
# automatically started kernel driver service AcpiSim, so that it starts with
# the prefix's services and programs find \\.\ACPI.  Creates the prefix when
# it is missing.  Quick and without changes when the same driver is
# registered already.
#
#   install.sh PREFIXDIR [DRIVER.SYS]
#
# DRIVER.SYS defaults to build/ARCH/bin/acpisim.sys of this tree, ARCH being
# the prefix's architecture (WINEARCH, default win32).
set -eu
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
[ $# -ge 1 ] || { echo "usage: install.sh PREFIXDIR [DRIVER.SYS]" >&2; exit 2; }

. "$here/prefix-common.sh"
prefix_create "$1"
sys=${2:-$here/../build/$WINEARCH/bin/acpisim.sys}
[ -f "$sys" ] || { echo "install.sh: no driver at $sys (build the $WINEARCH preset first)" >&2; exit 1; }
target="$WINEPREFIX/drive_c/windows/system32/drivers/acpisim.sys"

if cmp -s "$sys" "$target" && service_registered; then
  exit 0
fi

mkdir -p "$(dirname "$target")"
cp "$sys" "$target"
# The Parameters key starts empty: every value takes its default.
reg_import acpisim-install.reg <<'REG'
REGEDIT4

[-HKEY_LOCAL_MACHINE\System\CurrentControlSet\Services\AcpiSim]

[HKEY_LOCAL_MACHINE\System\CurrentControlSet\Services\AcpiSim]
"Type"=dword:00000001
"Start"=dword:00000002
"ErrorControl"=dword:00000001
"ImagePath"="C:\\windows\\system32\\drivers\\acpisim.sys"
"DisplayName"="ACPI power-control stand-in"

[HKEY_LOCAL_MACHINE\System\CurrentControlSet\Services\AcpiSim\Parameters]
REG
service_registered || { echo "install.sh: the AcpiSim service was not registered in $WINEPREFIX" >&2; exit 1; }
echo "acpisim.sys installed in $WINEPREFIX"
