#!/usr/bin/env bash
# The host backend's capability query on this machine's own /sys, through
# the stand-in driver under Wine, against the shell reading of the same
# files.  Only the query is sent: nothing is written to /sys.
#
#   probe_test.sh WINE_RUN PREFIX HOST_PROBE.EXE
set -u
here=$(cd "$(dirname "$0")" && pwd)
run=$1 prefix=$2 probe=$3
expected=$("$here/sysfs-mask.sh" /)
echo "shell reading of /sys: mask $expected"
"$run" --prefix "$prefix" "$probe" "$expected"
rc=$?
"$run" --prefix "$prefix" "$probe" --cleanup >/dev/null 2>&1
exit $rc
