#!/usr/bin/env bash
# Builds and runs the benchmarks under Wine (under a private Xvfb when there
# is no display) and prints their figures and ratios.  No test asserts a time.
#
#   bench/run.sh [--prefix DIR]
#
# The prefix is --prefix, else build/win32/wineprefix when it exists (the
# stand-in driver registered), else build/win32/wineprefix-nodriver.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
prefix=""
if [ "${1:-}" = "--prefix" ]; then prefix=$2; shift 2; fi
if [ -z "$prefix" ]; then
  prefix=build/win32/wineprefix
  [ -f "$prefix/system.reg" ] || prefix=build/win32/wineprefix-nodriver
fi

cmake --preset win32 >/dev/null
cmake --build --preset win32 --target veruvez log_bench startup_bench save_bench >/dev/null
bin=build/win32/bin

echo "== Log pane (prefix $prefix)"
cmake/wine-run.sh --prefix "$prefix" "$bin/log_bench.exe"
echo
echo "== Start-up (prefix $prefix)"
cmake/wine-run.sh --prefix "$prefix" "$bin/startup_bench.exe" "$root/$bin/VERUVEZ.EXE"
echo
echo "== Saving the log (prefix $prefix)"
cmake/wine-run.sh --prefix "$prefix" "$bin/save_bench.exe"
