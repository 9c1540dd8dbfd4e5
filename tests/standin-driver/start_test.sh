#!/usr/bin/env bash
# acpisim.sys started with settings it cannot use (an unknown Backend): it
# says so to the debugger, and its device is there all the same, so an open
# that names a good backend succeeds.  The driver tests' registry test does
# that open (its set-up deletes Backend), in the session that started the
# driver.
#
#   start_test.sh PREFIX DRIVER_TESTS.EXE
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/cmake/wine-env.sh"
prefix_create "$1" || exit 1
key='HKLM\System\CurrentControlSet\Services\AcpiSim\Parameters'
out=$(mktemp)
trap 'rm -f "$out"' EXIT

# The driver reads the value when it starts: with the next session.
wineserver -w
wine_try vmt_wine reg add "$key" /v Backend /d no-such-backend /f || exit 1
wineserver -w
WINEDEBUG=-all,warn+debugstr "$root/cmake/wine-run.sh" --prefix "$WINEPREFIX" "$2" \
  --gtest_filter=Driver.RegistrySettingsApplyFromTheNextOpen >"$out" 2>&1
rc=$?
wineserver -w
vmt_wine reg delete "$key" /v Backend /f </dev/null >/dev/null 2>&1   # in case the test did not
wineserver -w

said='acpisim: the settings at start cannot be used (0xc00000bb); each open reads them again'
if ! grep -qF "$said" "$out"; then
  echo "FAILED: the driver did not say: $said"
  cat "$out"
  exit 1
fi
if [ $rc -ne 0 ]; then
  echo "FAILED: the device did not open with a good backend after the failed start"
  cat "$out"
  exit 1
fi
grep -F 'acpisim:' "$out"
echo "reported, and the device opened afterwards"
