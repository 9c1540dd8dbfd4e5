#!/usr/bin/env bash
# The choice of Wine architectures and the reports of failed Wine commands
# (cmake/wine-env.sh), against stand-in loaders and a stand-in Xvfb.
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
fails=0
loader() {   # NAME EXIT MESSAGE: answers --version when EXIT is 0, else fails so
  printf '#!/bin/sh\n[ "$1" = --version ] && [ %s = 0 ] && { echo wine-8.0; exit 0; }\necho "%s" >&2\nexit %s\n' \
    "$2" "$3" "$2" >"$tmp/$1"; chmod +x "$tmp/$1"
}
loader ok 0 ""; loader noexec 126 "$tmp/noexec: cannot execute binary file: Exec format error"
loader broken 1 "err:wineboot: the registry could not be written"; loader denied 126 "$tmp/denied: Permission denied"
mkdir "$tmp/bin"; loader bin/Xvfb 1 "(EE) Cannot establish any listening sockets"
check() {   # NAME EXIT TEXT COMMAND: in a shell that sourced wine-env.sh, its output holding TEXT
  local out rc; out=$(bash -c ". '$root/cmake/wine-env.sh'; $4" 2>&1); rc=$?
  if [ "$rc" = "$2" ] && grep -qF -- "$3" <<<"$out"; then echo "ok   $1"
  else echo "FAIL $1: exit $rc (expected $2), no '$3' in:"; echo "$out"; fails=$((fails + 1)); fi
}
export VMT_WINE32_LOADER=$tmp/ok VMT_WINE64_LOADER=$tmp/ok; unset VMT_WINE_ARCHS WINEARCH
check "both run" 0 "Wine: running win32 and win64" 'wine_plan && [ "$WINE_ARCHS" = "win32 win64" ]'
check "no 32-bit programs" 0 "Wine: running win64 (win32 not run: this machine cannot execute 32-bit programs ($tmp/noexec --version: exit 126" \
  "VMT_WINE32_LOADER=$tmp/noexec wine_plan && [ \"\$WINE_ARCHS\" = win64 ]"
check "64-bit loader not executable" 0 "win64 not run: $tmp/denied could not be executed ($tmp/denied --version: exit 126, Permission denied)" \
  "VMT_WINE64_LOADER=$tmp/denied wine_plan && [ \"\$WINE_ARCHS\" = win32 ]"
check "limited to win64" 0 "Wine: running win64 (win32 not run: VMT_WINE_ARCHS=win64)" 'VMT_WINE_ARCHS=win64 wine_plan'
check "unknown architecture" 2 "unknown architecture 'arm64'" 'VMT_WINE_ARCHS="win64 arm64" wine_plan'
check "nothing runs" 1 "Wine: no architecture can run here (win32 not run: this machine cannot" \
  "VMT_WINE_ARCHS=win32 VMT_WINE32_LOADER=$tmp/noexec wine_plan"
check "broken prefix" 1 "| err:wineboot: the registry could not be written" \
  "VMT_WINE64_LOADER=$tmp/broken prefix_create '$tmp/p64' win64 || { [ ! -f '$tmp/p64/system.reg' ] && exit 1; }"
check "prefix without 32-bit" 1 "hint: this machine cannot execute 32-bit programs; run the 64-bit build (VMT_WINE_ARCHS=win64)" \
  "VMT_WINE32_LOADER=$tmp/noexec prefix_create '$tmp/p32' win32"
mkdir -p "$tmp/p32old"; printf 'WINE REGISTRY Version 2\n#arch=win32\n' >"$tmp/p32old/system.reg"
check "prefix of the other architecture" 1 "is win32, not win64; delete it" "prefix_create '$tmp/p32old' win64"
check "Xvfb that cannot start" 1 "| (EE) Cannot establish any listening sockets" "PATH='$tmp/bin':\$PATH start_xvfb"
[ $fails = 0 ] || { echo "$fails failed"; exit 1; }
