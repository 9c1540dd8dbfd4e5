#!/usr/bin/env bash
# Builds everything and runs every test: the native rules under ASan and
# UBSan, a bounded fuzzing run of the rules that read outside input
# (scripts/fuzz.sh), then, for 32-bit and 64-bit Windows, the programs, the
# stand-in driver, the release zip and the Wine tests, under one private Xvfb
# display.  The Wine tests run for every architecture this machine can run
# (VMT_WINE_ARCHS limits them, for example to win64); both builds and both
# zips are always made.  Each stage's time is printed at the end.
set -eu
cd "$(dirname "$0")/.."
times=""
stage() {   # NAME COMMAND...: runs it and notes its time; its exit status
  local name=$1 start=$SECONDS rc=0
  shift
  "$@" || rc=$?
  times="$times$(printf '\n  %-24s %4d s' "$name" $((SECONDS - start)))"
  return $rc
}

stage "packages" scripts/deps.sh
cmake --preset host >/dev/null
stage "native build" cmake --build --preset host
stage "native tests" ctest --preset host
stage "fuzzing" scripts/fuzz.sh
for arch in win32 win64; do
  cmake --preset $arch >/dev/null
  stage "$arch build" cmake --build --preset $arch --target package   # everything, and the release zip
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
  stage "$arch Wine tests" ctest --preset $arch || failed="$failed $arch"
done
echo "Time of each stage (all: $SECONDS s):$times"
if [ -n "$failed" ]; then
  echo "Wine tests failed for:$failed" >&2
  exit 1
fi
