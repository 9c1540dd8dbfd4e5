#!/usr/bin/env bash
# Builds VMTCYCLE.EXE and the stand-in driver, installs the driver in the
# project's own prefix (the one scripts/run.sh uses) and runs VMTCYCLE there
# under Wine with the switches given: the 32-bit build where this machine
# runs 32-bit Wine, otherwise the 64-bit one (VMT_WINE_ARCHS=win64 chooses
# it).  The exit code is VMTCYCLE's.
#
#   scripts/cycle.sh [--host] SWITCHES...   e.g. scripts/cycle.sh /sleep:S3 /count:3 /wake:2
#
# The simulated machine sleeps until the alarm VMTCYCLE sets comes due
# (SleepWake=1, docs/driver.md).  --host: the driver puts THIS machine to
# sleep, once a cycle (its own prefix, build/ARCH/wineprefix-host; root).
set -eu
cd "$(dirname "$0")/.."
host=""
[ "${1:-}" != "--host" ] || { host=1; shift; }
if [ -n "$host" ]; then
  cat <<'TEXT'
HOST MODE: every cycle really puts THIS machine to sleep, unattended, and
only the RTC wake alarm wakes it.  Save your work first.  The requests need
root; as another user every cycle fails with "access denied" (system error 5).
Starting in 10 seconds; Ctrl+C now to stop.
TEXT
  sleep 10
fi
scripts/deps.sh >/dev/null
. standin-driver/prefix-common.sh
wine_plan >/dev/null
arch=${WINE_ARCHS%% *}
cmake --preset $arch >/dev/null
cmake --build --preset $arch --target vmtcycle acpisim >/dev/null
prefix_create build/$arch/wineprefix${host:+-host} $arch
WINEARCH=$arch standin-driver/install.sh ${host:+--backend host} "$WINEPREFIX" >/dev/null
# The prefix's services, the driver among them, start with this session's
# first command: one whose output is a file, so they hold no copy of ours.
trap 'wineserver -k 2>/dev/null || true' EXIT
wineserver -p
if [ -z "$host" ]; then
  wine_try vmt_wine reg add "$ACPISIM_PARAMETERS_KEY" /v SleepWake /t REG_DWORD /d 1 /f
else
  wine_try vmt_wine reg query "$ACPISIM_PARAMETERS_KEY"
fi
rc=0
vmt_wine "$PWD/build/$arch/bin/VMTCYCLE.EXE" "$@" || rc=$?
exit $rc
