#!/usr/bin/env bash
# Builds everything and runs every test: the native rules under ASan and
# UBSan, a bounded fuzzing run of the rules that read outside input
# (scripts/fuzz.sh, about 20 s a target), then, for 32-bit and 64-bit
# Windows, the program, its stand-in driver and the Wine tests, under one
# private Xvfb display.  The Wine suites run for every architecture this
# machine can run (VMT_WINE_ARCHS limits them, for example to win64); both
# builds are always made.
set -eu
cd "$(dirname "$0")/.."
scripts/deps.sh

cmake --preset host >/dev/null
cmake --build --preset host
ctest --preset host
scripts/fuzz.sh

for arch in win32 win64; do
  cmake --preset $arch >/dev/null
  cmake --build --preset $arch
done

. cmake/wine-env.sh
wine_plan

XVFB_PID=""
cleanup() { [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null; true; }
trap cleanup EXIT
[ -n "${DISPLAY:-}" ] || start_xvfb 1280x1024x24
failed=""
for arch in $WINE_ARCHS; do
  echo "== Wine tests, $arch"
  ctest --preset $arch || failed="$failed $arch"
done
if [ -n "$failed" ]; then
  echo "Wine tests failed for:$failed" >&2
  exit 1
fi
