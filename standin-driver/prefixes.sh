#!/usr/bin/env bash
# Creates or refreshes the two Wine prefixes of a build tree: BUILDDIR/wineprefix
# with acpisim.sys registered and started with its services, and
# BUILDDIR/wineprefix-nodriver without it.  Quick when both are current.
#
#   prefixes.sh BUILDDIR [DRIVER.SYS]
set -eu
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
[ $# -ge 1 ] || { echo "usage: prefixes.sh BUILDDIR [DRIVER.SYS]" >&2; exit 2; }
"$here/install.sh" "$1/wineprefix" ${2:+"$2"}
. "$here/prefix-common.sh"
prefix_create "$1/wineprefix-nodriver"
"$here/uninstall.sh" "$1/wineprefix-nodriver"
echo "Wine prefixes ready: $1/wineprefix (driver), $1/wineprefix-nodriver"
