#!/usr/bin/env bash
# Installs everything the native and the Windows builds need, on Debian 12 as root.
# Safe to run again: apt-get skips what is there, the cross-built libraries are cached.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

need_pkgs=(
  build-essential cmake ninja-build pkg-config dpkg-dev
  libboost-dev libluajit-5.1-dev luajit libalglib-dev libagg-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev libceres-dev
  clang gcc-multilib g++-multilib
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix mingw-w64-tools binutils-mingw-w64-i686
  wine wine32:i386 xvfb xauth
  fonts-wine  # Wine's own fonts (see cmake/wine-fonts.conf)
  chromium python3  # the report opened in a browser by the Windows tests
)

missing=()
for p in "${need_pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

"$here/build-cross-deps.sh"
