#!/usr/bin/env bash
# Runs a command on a display of its own under the openbox window manager,
# as a user's desktop has it: the windows get frames, and the keyboard focus
# follows the window manager.  Wine in PREFIX starts afresh on that display
# and has ended when the display goes.
#
#   openbox-run.sh PREFIX COMMAND [ARGS...]
set -u
[ $# -ge 2 ] || { echo "usage: openbox-run.sh PREFIX COMMAND [ARGS...]" >&2; exit 2; }
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
prefix=$1; shift
. "$here/cmake/wine-env.sh"
for tool in openbox xdotool; do
  command -v $tool >/dev/null || { echo "openbox-run.sh: $tool is missing (scripts/deps.sh installs it)" >&2; exit 1; }
done

# A Wine session of the prefix still running belongs to another display.
WINEPREFIX=$(cd "$prefix" && pwd) wineserver -w 2>/dev/null

start_xvfb 1024x768x24
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
  sleep 0.1
done
xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" \
  || { echo "openbox-run.sh: openbox did not start on $DISPLAY" >&2; kill $wm $XVFB_PID; exit 1; }

"$@"
rc=$?
WINEPREFIX=$(cd "$prefix" && pwd) wineserver -w 2>/dev/null
kill $wm $XVFB_PID 2>/dev/null
exit $rc
