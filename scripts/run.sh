#!/usr/bin/env bash
# Builds VERUVEZ.EXE and the stand-in driver, installs the driver in the
# project's own prefix and opens the program there under Wine.
# Without a display it runs under Xvfb, saves a screenshot of the main
# window after start-up, says where, and closes the program again.
set -eu
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target veruvez acpisim
acpisim/install.sh build/win32/wineprefix

. cmake/wine-env.sh
prefix_create build/win32/wineprefix
exe="$PWD/build/win32/bin/VERUVEZ.EXE"

if [ -n "${DISPLAY:-}" ]; then
  exec wine "$exe" </dev/null
fi

shot="$PWD/build/win32/screenshots/main.png"
mkdir -p "$(dirname "$shot")"
start_xvfb
wine "$exe" </dev/null >/dev/null 2>&1 &
for _ in $(seq 1 60); do
  xwininfo -root -tree 2>/dev/null | grep -q '"ACPI Velmont Test"' && break
  sleep 0.5
done
sleep 1
wid=$(xwininfo -root -tree | awk '/"ACPI Velmont Test"/ {print $1; exit}')
import -window "$wid" "$shot"
echo "VERUVEZ.EXE started under Xvfb (display $DISPLAY); screenshot of the main window: $shot"
wineserver -k
kill "$XVFB_PID" 2>/dev/null || true
