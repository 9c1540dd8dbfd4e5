#!/usr/bin/env bash
# Runs a Windows program under Wine in one of the project's own prefixes,
# under a private Xvfb display when there is no display.
#
#   wine-run.sh [--prefix DIR] [--fresh] PROGRAM [ARGS...]
#
# --fresh ends the prefix's running session first, so its services (and a
# driver's state) start anew with the program.
# The prefix is --prefix, else $VMT_WINEPREFIX, else build/win32/wineprefix
# next to this script's tree.  A missing prefix is created (32-bit).  The
# user's own ~/.wine is never touched.  Exit code: the program's.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
prefix="${VMT_WINEPREFIX:-$here/../build/win32/wineprefix}"
if [ "${1:-}" = "--prefix" ]; then prefix=$2; shift 2; fi
fresh=""
if [ "${1:-}" = "--fresh" ]; then fresh=1; shift; fi
[ $# -ge 1 ] || { echo "usage: wine-run.sh [--prefix DIR] PROGRAM [ARGS...]" >&2; exit 2; }

export WINEPREFIX=$(mkdir -p "$prefix" && cd "$prefix" && pwd)
export WINEARCH=win32
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  ( flock 9
    [ -f "$WINEPREFIX/system.reg" ] || wineboot -i </dev/null >/dev/null 2>&1
    wineserver -w
  ) 9>"$WINEPREFIX.lock"
fi

if [ -n "$fresh" ]; then
  wineserver -k 2>/dev/null
  wineserver -w
fi

own_xvfb=""
if [ -z "${DISPLAY:-}" ]; then
  exec 8< <(Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp 2>/dev/null & echo "pid $!")
  read -r _ xpid <&8
  read -r dnum <&8
  export DISPLAY=":$dnum"
  own_xvfb=$xpid
fi

# Wine's service processes inherit the output: give them a file, not a pipe.
out=$(mktemp)
wine "$@" </dev/null >"$out" 2>&1
rc=$?
cat "$out"
rm -f "$out"
if [ -n "$own_xvfb" ]; then
  wineserver -w
  kill "$own_xvfb" 2>/dev/null
fi
exit $rc
