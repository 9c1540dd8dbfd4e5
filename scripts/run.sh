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
# One clean-up for every way out (success, a failure, Ctrl+C): the program,
# the prefix's wineserver, Xvfb and the program's output file.
XVFB_PID="" wpid="" out=""
cleanup() {
  local rc=$?
  trap - EXIT
  [ -z "$wpid" ] || kill "$wpid" 2>/dev/null || true
  [ -z "${WINEPREFIX:-}" ] || wineserver -k 2>/dev/null || true
  [ -z "$XVFB_PID" ] || { kill "$XVFB_PID" 2>/dev/null; wait "$XVFB_PID" 2>/dev/null; } || true
  [ -z "$out" ] || rm -f "$out"
  exit "$rc"
}
trap cleanup EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

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
prefix_create $prefix $arch
WINEARCH=$arch standin-driver/install.sh ${host:+--backend host} $prefix
exe="$PWD/build/$arch/bin/VERUVEZ.EXE"

# Says why the program failed, with its last output, and ends the script.
program_failed() {
  echo "$1" >&2
  tail -n 15 "$out" | sed 's/^/  | /' >&2
  wine_hint "${2:-}" "$out" >&2
  exit 1
}

# The program runs in the background, so that Ctrl+C ends the wait at once
# and the clean-up closes it.
if [ -n "${DISPLAY:-}" ]; then
  "$(wine_loader "$arch")" "$exe" </dev/null &
  wpid=$!
  rc=0; wait "$wpid" || rc=$?
  wpid=""
  [ "$rc" = 0 ] || { echo "VERUVEZ.EXE ended with exit $rc: $exe" >&2; wine_hint "$rc" /dev/null >&2; }
  exit "$rc"
fi

shot="$PWD/build/$arch/screenshots/main.png"
mkdir -p "$(dirname "$shot")"
start_xvfb
out=$(mktemp)
"$(wine_loader "$arch")" "$exe" </dev/null >"$out" 2>&1 &
wpid=$!
wid=""
for _ in $(seq 1 60); do
  wid=$(xwininfo -root -tree 2>/dev/null | awk '/"ACPI Velmont Test"/ {print $1; exit}')
  [ -z "$wid" ] || break
  if ! kill -0 "$wpid" 2>/dev/null; then
    wait "$wpid" && rc=0 || rc=$?
    wpid=""
    program_failed "VERUVEZ.EXE ended before its window opened (exit $rc): $exe" "$rc"
  fi
  sleep 0.5
done
[ -n "$wid" ] || program_failed "VERUVEZ.EXE opened no window within 30 s: $exe"
sleep 1
wine_try timeout 30 import -window "$wid" "$shot"
echo "VERUVEZ.EXE started under Xvfb (display $DISPLAY); screenshot of the main window: $shot"
