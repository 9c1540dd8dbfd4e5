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

. cmake/wine-env.sh
XVFB_PID=""
cleanup() { [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null; true; }
trap cleanup EXIT
[ -n "${DISPLAY:-}" ] || start_xvfb 1280x1024x24
ctest --preset win32
