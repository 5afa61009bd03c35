#!/usr/bin/env bash
# Cross-builds LuaJIT 2.1 and ALGLIB for 32-bit Windows from Debian's source packages,
# once, into a cache that later runs reuse (VEXMOOR_CROSS_PREFIX, default below).
set -euo pipefail
prefix=${VEXMOOR_CROSS_PREFIX:-/var/cache/vexmoor/i686-w64-mingw32}
cross=i686-w64-mingw32
jobs=$(nproc)

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
  # The host tools that generate the VM must have the target's pointer width: gcc -m32.
  make -C "$src" -j"$jobs" HOST_CC="gcc -m32" CROSS="$cross-" TARGET_SYS=Windows \
       BUILDMODE=static XCFLAGS="-msse2 -mfpmath=sse" amalg >/dev/null
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
      "$cross-g++-posix -O2 -msse2 -mfpmath=sse -c '{}' -o \"\$(basename '{}' .cpp).o\"" )
  $cross-ar rcs "$prefix/lib/libalglib.a" "$work"/alglib-obj/*.o
  cp "$src"/src/*.h "$prefix/include/libalglib/"
fi
echo "cross-built libraries are in $prefix"
