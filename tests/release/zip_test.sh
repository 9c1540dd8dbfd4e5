#!/usr/bin/env bash
# The release zip as a user meets it: unpacked into an empty folder, the driver installed into a fresh
# prefix by its own script.  Of the build tree only LOOK.EXE (look.c), the test's eyes, is used.
#   zip_test.sh ZIP LOOK.EXE     (WINEARCH set; without DISPLAY, a private Xvfb)
set -u
name=$(basename "$1" .zip) look=$2 tmp=$(mktemp -d)
version=${name#VMT-} && version=${version%-*} && journal=$tmp/prefix/drive_c/acpisim-journal.txt
trap 'WINEPREFIX=$tmp/prefix wineserver -k 2>/dev/null; kill ${XVFB_PID:-} 2>/dev/null; rm -rf "$tmp"' EXIT
fail() { echo "FAILED: $*"; cat "$tmp/out" 2>/dev/null; exit 1; }
run() { vmt_wine "$@" </dev/null >"$tmp/out" 2>&1; }
cd "$tmp" && unzip -q "$1" || fail "unzip $1"
[ "$(ls)" = "$name" ] || fail "the zip's top is not one folder $name: $(ls)"
cd "$name" && [ -s README.TXT ] && ! grep -qv $'\r$' README.TXT || fail "no README.TXT in CRLF"
standin-driver/install.sh "$tmp/prefix" || fail "the zip's install.sh"
. standin-driver/prefix-common.sh && prefix_create "$tmp/prefix" || fail "the zip's prefix-common.sh"
[ -n "${DISPLAY:-}" ] || start_xvfb || fail "no display"
for exe in VERUVEZ.EXE VMTCYCLE.EXE; do
  run "$look" version $exe && grep -qx "$version.0 $version"$'\r' "$tmp/out" || fail "$exe: its version resource is not $version"
done
vmt_wine VERUVEZ.EXE </dev/null >"$tmp/app" 2>&1 &
run "$look" banner && grep -q "^Advanced Configuration and Power Interface functional Velmont Test" "$tmp/out" ||
  fail "VERUVEZ.EXE showed no banner"
wait $! || fail "VERUVEZ.EXE: exit $?"
grep -qx $'IOCTL_GET_CAPABILITIES 0 0x00000000 reply=55\r' "$journal" || fail "no capability query in the journal"
run VMTCYCLE.EXE /?; grep -qF "$version" "$tmp/out" || fail "VMTCYCLE /? does not say $version"
run reg add "$ACPISIM_PARAMETERS_KEY" /v SleepWake /t REG_DWORD /d 1 /f || fail "reg add SleepWake"
run VMTCYCLE.EXE /sleep:S3 /count:1 /wake:1 || fail "VMTCYCLE /sleep:S3 /count:1 /wake:1: exit $?"
grep -q '^IOCTL_SET_SLEEP_STATE 4 0x00000000 woke=alarm' "$journal" || fail "VMTCYCLE's cycle did not sleep until its alarm"
standin-driver/uninstall.sh "$tmp/prefix" || fail "the zip's uninstall.sh"
echo "$name: unpacked, driver installed, version $version, banner and capability query, a cycle; driver removed"
