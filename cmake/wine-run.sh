#!/usr/bin/env bash
# Runs a Windows program under Wine in one of the project's own prefixes,
# under a private Xvfb display when there is no display.
#
#   wine-run.sh [--prefix DIR] [--unmanaged EXE] PROGRAM [ARGS...]
#
# --unmanaged leaves the windows of the program file EXE (VERUVEZ.EXE,
# wine_tests.exe) to no window manager while PROGRAM runs: without one on
# the display, Wine otherwise waits about two seconds each time a managed
# top-level window is hidden or destroyed (every message box, every exit).
# The setting is removed afterwards, so an ordinary start is not affected.
# The prefix is --prefix, else $VMT_WINEPREFIX, else build/win32/wineprefix
# next to this script's tree.  A missing prefix is created, for WINEARCH
# (win32 or win64, default win32); an existing one keeps the architecture it
# was made with.  The user's own ~/.wine is never touched.  Exit code: the
# program's.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
prefix="${VMT_WINEPREFIX:-$here/../build/win32/wineprefix}"
unmanaged=""
while [ $# -ge 2 ]; do
  case "$1" in
    --prefix) prefix=$2; shift 2 ;;
    --unmanaged) unmanaged=$2; shift 2 ;;
    *) break ;;
  esac
done
[ $# -ge 1 ] || { echo "usage: wine-run.sh [--prefix DIR] [--unmanaged EXE] PROGRAM [ARGS...]" >&2; exit 2; }

. "$here/wine-env.sh"
prefix_create "$prefix" || exit 1

own_xvfb=""
if [ -z "${DISPLAY:-}" ]; then
  start_xvfb || exit 1
  own_xvfb=$XVFB_PID
fi

key="HKCU\\Software\\Wine\\AppDefaults\\$unmanaged\\X11 Driver"
out=$(mktemp)
if [ -n "$unmanaged" ] && ! wine_try vmt_wine reg add "$key" /v Managed /d N /f; then
  rc=1
else
  # Wine's service processes inherit the output: give them a file, not a pipe.
  vmt_wine "$@" </dev/null >"$out" 2>&1
  rc=$?
fi
[ -z "$unmanaged" ] || wine_try vmt_wine reg delete "$key" /f || rc=1
cat "$out"
# Exit codes the program itself never gives: Wine could not start it.
case $rc in
  126|127|53) echo "wine-run.sh: $WINEARCH Wine could not start $1 (exit $rc) in $WINEPREFIX" >&2
              wine_hint "$rc" "$out" >&2 ;;
esac
rm -f "$out"
if [ -n "$own_xvfb" ]; then
  wineserver -w
  kill "$own_xvfb" 2>/dev/null
fi
exit $rc
