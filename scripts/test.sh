#!/usr/bin/env bash
# Builds everything and runs every test: the native rules under ASan and
# UBSan, then the Win32 program, its stand-in driver and the Wine tests
# under one private Xvfb display.
set -eu
cd "$(dirname "$0")/.."
scripts/deps.sh

cmake --preset host >/dev/null
cmake --build --preset host
ctest --preset host

cmake --preset win32 >/dev/null
cmake --build --preset win32

xpid=""
cleanup() { [ -n "$xpid" ] && kill "$xpid" 2>/dev/null; true; }
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  exec 8< <(Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp 2>/dev/null & echo "pid $!")
  read -r _ xpid <&8
  read -r dnum <&8
  export DISPLAY=":$dnum"
fi
ctest --preset win32
