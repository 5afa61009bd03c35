#!/usr/bin/env bash
# Cross-builds LuaJIT 2.1 and ALGLIB for Windows from Debian's source packages, once, into
# a cache that later runs reuse: one folder per target under VEXMOOR_CROSS_PREFIX
# (default /var/cache/vexmoor).
# Usage: scripts/build-cross-deps.sh [i686-w64-mingw32 (default) | x86_64-w64-mingw32]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cross=${1:-i686-w64-mingw32}
prefix=${VEXMOOR_CROSS_PREFIX:-/var/cache/vexmoor}/$cross
jobs=$(nproc)

# LuaJIT's host tools generate the VM and must have the target's pointer width. Where
# this machine cannot run 32-bit programs, qemu-user runs them.
case "$cross" in
  i686-w64-mingw32)
    arch_flags=(-msse2 -mfpmath=sse)
    luajit_host=(HOST_CC="gcc -m32")
    if ! bash "$here/runs-32bit.sh"; then
      command -v qemu-i386 >/dev/null || { echo "error: qemu-i386 (package qemu-user) is needed to run LuaJIT's 32-bit host tools" >&2; exit 1; }
      luajit_host+=(MINILUA_X="qemu-i386 host/minilua" BUILDVM_X="qemu-i386 host/buildvm")
    fi ;;
  x86_64-w64-mingw32)
    arch_flags=()
    luajit_host=(HOST_CC=gcc) ;;
  *) echo "error: unknown target '$cross' (i686-w64-mingw32 or x86_64-w64-mingw32)" >&2; exit 2 ;;
esac

have() { [ -f "$prefix/lib/$1" ]; }
if have libluajit.a && have libalglib.a; then exit 0; fi

# apt-get source needs deb-src entries next to the machine's own deb entries.
ensure_deb_src() {
  if ! grep -rqs '^Types:.*deb-src\|^deb-src ' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
      sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
        > /etc/apt/sources.list.d/vexmoor-src.sources
    else
      grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' > /etc/apt/sources.list.d/vexmoor-src.list
    fi
    apt-get update -qq
  fi
}

fetch_source() {
  local pkg=$1 dir=$2
  mkdir -p "$dir"
  ( cd "$dir" && apt-get source -qq "$pkg" >/dev/null 2>&1 ) || {
    echo "error: could not fetch Debian's source package '$pkg' (apt-get source $pkg); check the deb-src entries and the network" >&2
    exit 1
  }
}

ensure_deb_src
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$prefix/lib" "$prefix/include"

if ! have libluajit.a; then
  fetch_source luajit "$work/luajit"
  src=$(find "$work/luajit" -maxdepth 1 -mindepth 1 -type d | head -n 1)
  make -C "$src" -j"$jobs" "${luajit_host[@]}" CROSS="$cross-" TARGET_SYS=Windows \
       BUILDMODE=static XCFLAGS="${arch_flags[*]}" amalg >/dev/null
  mkdir -p "$prefix/include/luajit-2.1"
  cp "$src"/src/{lua.h,lualib.h,lauxlib.h,luaconf.h,lua.hpp,luajit.h} "$prefix/include/luajit-2.1/"
  cp "$src/src/libluajit.a" "$prefix/lib/libluajit.a"
fi

if ! have libalglib.a; then
  fetch_source alglib "$work/alglib"
  src=$(find "$work/alglib" -maxdepth 1 -mindepth 1 -type d | head -n 1)
  mkdir -p "$work/alglib-obj" "$prefix/include/libalglib"
  ( cd "$work/alglib-obj" && for f in "$src"/src/*.cpp; do
      echo "$f"
    done | xargs -P "$jobs" -I{} sh -c \
      "$cross-g++-posix -O2 ${arch_flags[*]} -c '{}' -o \"\$(basename '{}' .cpp).o\"" )
  $cross-ar rcs "$prefix/lib/libalglib.a" "$work"/alglib-obj/*.o
  cp "$src"/src/*.h "$prefix/include/libalglib/"
fi
echo "cross-built libraries are in $prefix"
