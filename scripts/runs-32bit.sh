#!/usr/bin/env bash
# Exits 0 when this machine runs 32-bit x86 programs, found by running one: some x86-64
# kernels are built without 32-bit execution, and no version number tells.
# VEXMOOR_FORCE_64BIT=1 answers as such a machine would, so that its path can be tried anywhere.
set -uo pipefail
[ "${VEXMOOR_FORCE_64BIT:-}" = 1 ] && exit 1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
printf 'int main(void) { return sizeof(void *) == 4 ? 0 : 1; }\n' >"$tmp/probe.c"
gcc -m32 -o "$tmp/probe" "$tmp/probe.c" 2>/dev/null && "$tmp/probe" 2>/dev/null
