#!/usr/bin/env bash
# Runs a command on a display of its own under the openbox window manager, as
# on a user's desktop: frames, and the focus where openbox puts it.  Wine in
# PREFIX starts afresh there.   openbox-run.sh PREFIX COMMAND [ARGS...]
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
prefix=$(cd "$1" && pwd); shift
. "$here/cmake/wine-env.sh"
WINEPREFIX=$prefix wineserver -w 2>/dev/null   # a session of the prefix on another display
start_xvfb 1024x768x24
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
  sleep 0.1
done
"$@"
rc=$?
WINEPREFIX=$prefix wineserver -w 2>/dev/null
kill $wm $XVFB_PID 2>/dev/null
exit $rc
