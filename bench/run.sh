#!/usr/bin/env bash
# Builds and runs the benchmarks under Wine (under a private Xvfb when there
# is no display) and prints their figures and ratios, for each architecture
# this machine runs (VMT_WINE_ARCHS limits them).  No test asserts a time.
#
#   bench/run.sh [--prefix DIR]
#
# The prefix is --prefix (one architecture, the prefix's), else, for each
# architecture, build/ARCH/wineprefix when it exists (the stand-in driver
# registered), else build/ARCH/wineprefix-nodriver.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
. cmake/wine-env.sh
given=""
if [ "${1:-}" = "--prefix" ]; then given=$2; shift 2; fi
if [ -n "$given" ]; then
  archs=$(prefix_arch "$given"); archs=${archs:-${WINEARCH:-win32}}
else
  wine_plan; archs=$WINE_ARCHS
fi

for arch in $archs; do
  prefix=$given
  if [ -z "$prefix" ]; then
    prefix=build/$arch/wineprefix
    [ -f "$prefix/system.reg" ] || prefix=build/$arch/wineprefix-nodriver
  fi
  cmake --preset $arch >/dev/null
  cmake --build --preset $arch --target veruvez log_bench startup_bench save_bench leak_bench >/dev/null
  bin=build/$arch/bin
  run() { WINEARCH=$arch cmake/wine-run.sh --prefix "$prefix" "$@"; }

  echo "== Log pane ($arch, prefix $prefix)"
  run "$bin/log_bench.exe"
  echo
  echo "== Start-up ($arch, prefix $prefix)"
  run "$bin/startup_bench.exe" "$root/$bin/VERUVEZ.EXE"
  echo
  echo "== Saving the log ($arch, prefix $prefix)"
  run "$bin/save_bench.exe"
  echo
  echo "== A long session: handles, windows, memory ($arch, prefix $prefix)"
  run --unmanaged VERUVEZ.EXE "$bin/leak_bench.exe" "$root/$bin/VERUVEZ.EXE"
  echo
done
