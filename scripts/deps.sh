#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian machine.  Quick when
# everything is there already.
set -eu
pkgs="cmake ninja-build g++ googletest g++-mingw-w64-i686 mingw-w64-i686-dev
      binutils-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-x86-64-dev
      binutils-mingw-w64-x86-64 wine wine64 wine32:i386 xvfb xauth x11-utils imagemagick python3
      clang-14 libclang-rt-14-dev openbox xdotool"
missing=""
for p in $pkgs; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "Installing:$missing"
sudo=""; [ "$(id -u)" = 0 ] || sudo=sudo
$sudo dpkg --add-architecture i386
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq $missing >/dev/null
