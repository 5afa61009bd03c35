#!/usr/bin/env bash
# Prints the Windows preset whose tests this machine runs: "windows" (the 32-bit product,
# under 32-bit Wine) where 32-bit programs and 32-bit Wine run, else "windows64" (under
# 64-bit Wine). Found by running a small Windows program, in a Wine prefix kept in
# build/wine32-check so that later runs answer at once.
# VEXMOOR_FORCE_64BIT=1 answers "windows64", as a machine without 32-bit execution would.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
check=$here/../build/wine32-check

wine32_runs() {
  [ -x /usr/lib/wine/wine ] && command -v i686-w64-mingw32-gcc-posix >/dev/null || return 1
  mkdir -p "$check" || return 1
  if [ ! -f "$check/probe.exe" ]; then
    printf 'int main(void) { return sizeof(void *) == 4 ? 0 : 1; }\n' >"$check/probe.c"
    i686-w64-mingw32-gcc-posix -o "$check/probe.exe" "$check/probe.c" 2>/dev/null || return 1
  fi
  WINEPREFIX=$check/prefix WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
    /usr/lib/wine/wine "$check/probe.exe" >/dev/null 2>&1
}

if bash "$here/runs-32bit.sh" && wine32_runs; then
  echo windows
else
  echo windows64
fi
