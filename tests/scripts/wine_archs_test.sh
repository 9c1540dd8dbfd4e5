#!/usr/bin/env bash
# The choice of Wine architectures and the messages of failed Wine commands
# (cmake/wine-env.sh), against stand-in loaders: a machine that runs both,
# one that cannot execute 32-bit programs, a 64-bit loader that cannot be
# executed, the VMT_WINE_ARCHS limit, a prefix that cannot be made, and an
# Xvfb that cannot start.
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
fails=0

# A stand-in loader: answers --version, otherwise prints $2 and exits $1.
loader() {
  printf '#!/bin/sh\n[ "$1" = --version ] && [ %s = 0 ] && { echo wine-8.0; exit 0; }\necho "%s" >&2\nexit %s\n' \
    "$2" "$3" "$2" >"$tmp/$1"
  chmod +x "$tmp/$1"
}
loader ok 0 ""
loader noexec 126 "$tmp/noexec: cannot execute binary file: Exec format error"
loader broken 1 "err:wineboot: the registry could not be written"
loader denied 126 "$tmp/denied: Permission denied"
mkdir "$tmp/bin"; printf '#!/bin/sh\necho "(EE) Cannot establish any listening sockets" >&2\nexit 1\n' >"$tmp/bin/Xvfb"
chmod +x "$tmp/bin/Xvfb"

# check NAME EXPECTED-EXIT PATTERN... -- COMMAND: runs the command in a shell
# that sourced wine-env.sh; its output must hold every pattern.
check() {
  local name=$1 want=$2 out rc p; shift 2
  local pats=(); while [ "$1" != -- ]; do pats+=("$1"); shift; done; shift
  out=$(bash -c ". '$root/cmake/wine-env.sh'; $*" 2>&1); rc=$?
  [ "$rc" = "$want" ] || { echo "FAIL $name: exit $rc, expected $want"; echo "$out"; fails=$((fails+1)); return; }
  for p in "${pats[@]}"; do
    grep -qF -- "$p" <<<"$out" || { echo "FAIL $name: no '$p' in:"; echo "$out"; fails=$((fails+1)); return; }
  done
  echo "ok   $name"
}

export VMT_WINE32_LOADER=$tmp/ok VMT_WINE64_LOADER=$tmp/ok
unset VMT_WINE_ARCHS WINEARCH
check "both run" 0 "Wine: running win32 and win64" -- 'wine_plan; [ "$WINE_ARCHS" = "win32 win64" ]'
check "no 32-bit programs" 0 \
  "Wine: running win64 (win32 not run: this machine cannot execute 32-bit programs" "exit 126" -- \
  "VMT_WINE32_LOADER=$tmp/noexec wine_plan && [ \"\$WINE_ARCHS\" = win64 ]"
check "32-bit Wine missing" 0 "win32 not run: Wine's win32 loader $tmp/none is not installed" -- \
  "VMT_WINE32_LOADER=$tmp/none wine_plan && [ \"\$WINE_ARCHS\" = win64 ]"
check "64-bit loader not executable" 0 \
  "Wine: running win32 (win64 not run: $tmp/denied could not be executed ($tmp/denied --version: exit 126, Permission denied))" -- \
  "VMT_WINE64_LOADER=$tmp/denied wine_plan"
check "limited to win64" 0 "Wine: running win64 (win32 not run: VMT_WINE_ARCHS=win64)" -- \
  'VMT_WINE_ARCHS=win64 wine_plan && [ "$WINE_ARCHS" = win64 ]'
check "comma list" 0 "Wine: running win32 and win64" -- 'VMT_WINE_ARCHS=win64,win32 wine_plan'
check "unknown architecture" 2 "unknown architecture 'arm64'" -- 'VMT_WINE_ARCHS="win64 arm64" wine_plan'
check "nothing runs" 1 "Wine: no architecture can run here" "win32 not run: this machine cannot" \
  "win64 not run: VMT_WINE_ARCHS=win32" -- "VMT_WINE_ARCHS=win32 VMT_WINE32_LOADER=$tmp/noexec wine_plan"

# A prefix that cannot be made names the command, its exit code, its last
# output and the architecture, and leaves nothing that looks finished.
check "broken prefix" 1 "FAILED (exit 1): vmt_wine wineboot -i" \
  "| err:wineboot: the registry could not be written" "could not create the win64 Wine prefix" -- \
  "VMT_WINE64_LOADER=$tmp/broken prefix_create '$tmp/p64' win64; r=\$?; [ ! -f '$tmp/p64/system.reg' ] || r=99; exit \$r"
check "prefix on a machine without 32-bit" 1 "FAILED (exit 126)" \
  "hint: this machine cannot execute 32-bit programs; run the 64-bit build (VMT_WINE_ARCHS=win64)" -- \
  "VMT_WINE32_LOADER=$tmp/noexec prefix_create '$tmp/p32' win32"
check "64-bit prefix, loader not executable" 1 "FAILED (exit 126)" \
  "hint: the program could not be executed (its message is above)" -- \
  "VMT_WINE64_LOADER=$tmp/denied prefix_create '$tmp/p64denied' win64"
mkdir -p "$tmp/p32old"; printf 'WINE REGISTRY Version 2\n#arch=win32\n' >"$tmp/p32old/system.reg"
check "prefix of the other architecture" 1 "is win32, not win64; delete it" -- \
  "prefix_create '$tmp/p32old' win64"
check "architecture kept from the prefix" 0 "" -- \
  "prefix_create '$tmp/p32old' && [ \"\$WINEARCH\" = win32 ] && [ -z \"\${WINELOADER:-}\" ]"

# An Xvfb that cannot start shows its own error and fails.
check "Xvfb that cannot start" 1 "FAILED (exit 1): Xvfb -displayfd 3" \
  "| (EE) Cannot establish any listening sockets" "Xvfb did not start" -- "PATH='$tmp/bin':\$PATH start_xvfb"

[ $fails = 0 ] || { echo "$fails failed"; exit 1; }
