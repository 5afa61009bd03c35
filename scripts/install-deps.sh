#!/usr/bin/env bash
# Installs everything the native and the Windows builds need, on Debian 12 as root.
# Safe to run again: apt-get skips what is there, the cross-built libraries are cached.
# The 32-bit product is built everywhere; its Windows tests need 32-bit Wine, and where
# that cannot run (see scripts/windows-variant.sh) the 64-bit build and Wine are added.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

base_pkgs=(
  build-essential cmake ninja-build pkg-config dpkg-dev
  libboost-dev libeigen3-dev libluajit-5.1-dev luajit libalglib-dev libagg-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev libceres-dev
  clang gcc-multilib g++-multilib
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix mingw-w64-tools binutils-mingw-w64-i686
  xvfb xauth
  fonts-wine  # Wine's own fonts (see cmake/wine-fonts.conf)
  fonts-dejavu-core  # the Greek letters Wine's Tahoma lacks (see cmake/wine-fonts.reg)
  chromium python3  # the report opened in a browser by the Windows tests
)
# LuaJIT's 32-bit host tools run under qemu-user where the kernel cannot run them.
no32_pkgs=(qemu-user)
wine32_pkgs=(wine wine32:i386)
win64_pkgs=(
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64
)

lists_fresh=no
install() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -gt 0 ] || return 0
  export DEBIAN_FRONTEND=noninteractive
  [ "$lists_fresh" = yes ] || apt-get update -qq
  lists_fresh=yes
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

install "${base_pkgs[@]}"
if bash "$here/runs-32bit.sh"; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
    lists_fresh=no
  fi
  # Without 32-bit Wine the Windows tests run on the 64-bit build instead.
  install "${wine32_pkgs[@]}" || echo "note: 32-bit Wine could not be installed" >&2
else
  install "${no32_pkgs[@]}"
fi
bash "$here/build-cross-deps.sh" i686-w64-mingw32

if [ "$(bash "$here/windows-variant.sh")" = windows64 ]; then
  install "${win64_pkgs[@]}"
  bash "$here/build-cross-deps.sh" x86_64-w64-mingw32
fi
