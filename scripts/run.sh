#!/usr/bin/env bash
# Builds VERUVEZ.EXE and the stand-in driver, installs the driver in the
# project's own prefix and opens the program there under Wine: the 32-bit
# program where this machine runs 32-bit Wine, otherwise the 64-bit build
# (VMT_WINE_ARCHS=win64 chooses it on any machine).
# Without a display it runs under Xvfb, saves a screenshot of the main
# window after start-up, says where, and closes the program again.
#
#   scripts/run.sh [--host]
#
# --host: the driver carries the requests out on this machine (its own
# prefix, build/ARCH/wineprefix-host); see README.md before using it.
set -eu
cd "$(dirname "$0")/.."
host=""
case "${1:-}" in
  --host) host=1 ;;
  "") ;;
  *) echo "usage: scripts/run.sh [--host]" >&2; exit 2 ;;
esac
if [ -n "$host" ]; then
  cat <<'TEXT'
HOST MODE: the program will drive THIS machine's own power management.
  * The S1 and S3 tests really put this machine to sleep, and S4 on the
    System States page hibernates it.  It wakes only by its own means: the
    power button, the keyboard or the RTC wake alarm.  Save your work first.
  * The processor-state, fan and clock-throttling tests change this machine's
    settings while the program runs; the driver puts them back when the
    program closes.
  * The requests need root.  Run as another user, every request fails with
    "access denied" (system error 5) and nothing changes.
Every test still asks before it runs: answer No to any you do not want.
TEXT
  [ "$(id -u)" = 0 ] || echo "You are not root: the program will open, but its requests will be refused."
fi
scripts/deps.sh
. cmake/wine-env.sh
wine_plan >/dev/null
arch=${WINE_ARCHS%% *}
if [ "$arch" = win32 ]; then
  echo "Opening the 32-bit VERUVEZ.EXE (build/win32) under Wine."
else
  echo "Opening the 64-bit VERUVEZ.EXE (build/$arch) under Wine, not the 32-bit one (${WINE_LEFT_OUT#win32 not run: })."
fi
cmake --preset $arch >/dev/null
cmake --build --preset $arch --target veruvez acpisim
prefix=build/$arch/wineprefix${host:+-host}
WINEARCH=$arch standin-driver/install.sh ${host:+--backend host} $prefix
prefix_create $prefix $arch
exe="$PWD/build/$arch/bin/VERUVEZ.EXE"

if [ -n "${DISPLAY:-}" ]; then
  vmt_wine "$exe" </dev/null
  exit
fi

shot="$PWD/build/$arch/screenshots/main.png"
mkdir -p "$(dirname "$shot")"
start_xvfb
out=$(mktemp)
vmt_wine "$exe" </dev/null >"$out" 2>&1 &
wpid=$!
for _ in $(seq 1 60); do
  xwininfo -root -tree 2>/dev/null | grep -q '"ACPI Velmont Test"' && break
  if ! kill -0 $wpid 2>/dev/null; then
    wait $wpid && rc=0 || rc=$?
    echo "VERUVEZ.EXE ended before its window opened (exit $rc): $exe" >&2
    tail -n 15 "$out" | sed 's/^/  | /' >&2
    wine_hint "$rc" "$out" >&2
    kill "$XVFB_PID" 2>/dev/null || true
    exit 1
  fi
  sleep 0.5
done
sleep 1
wid=$(xwininfo -root -tree | awk '/"ACPI Velmont Test"/ {print $1; exit}')
if [ -z "$wid" ]; then
  echo "VERUVEZ.EXE opened no window within 30 s: $exe" >&2
  tail -n 15 "$out" | sed 's/^/  | /' >&2
  wineserver -k; kill "$XVFB_PID" 2>/dev/null || true
  exit 1
fi
import -window "$wid" "$shot"
echo "VERUVEZ.EXE started under Xvfb (display $DISPLAY); screenshot of the main window: $shot"
wineserver -k
rm -f "$out"
kill "$XVFB_PID" 2>/dev/null || true
