#!/usr/bin/env bash
# acpisim.sys started with settings it cannot use (an unknown Backend) tells
# the debugger so; the rows that follow in the same prefix open its device.
#   start_test.sh PREFIX
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/standin-driver/prefix-common.sh"
prefix_create "$1" || exit 1
out=$(mktemp)
trap 'rm -f "$out"' EXIT
wineserver -w
wine_try vmt_wine reg add "$ACPISIM_PARAMETERS_KEY" /v Backend /d no-such-backend /f || exit 1
wineserver -w   # the driver reads it as the next session starts it:
WINEDEBUG=-all,warn+debugstr vmt_wine reg delete "$ACPISIM_PARAMETERS_KEY" /v Backend /f </dev/null >"$out" 2>&1
wineserver -w
said='acpisim: the settings at start cannot be used (0xc00000bb); each open reads them again'
grep -qF "$said" "$out" && exit 0
echo "FAILED: the driver did not say: $said"; cat "$out"; exit 1
