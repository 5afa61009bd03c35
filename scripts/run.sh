#!/usr/bin/env bash
# Builds the Windows program that this machine's Wine runs (scripts/windows-variant.sh:
# the 32-bit product, or else the 64-bit build), says which, and starts it under Wine
# (in Xvfb when there is no display).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
windows=$(bash scripts/windows-variant.sh)
case "$windows" in
  windows) which="the 32-bit Windows build, under 32-bit Wine" ;;
  *) which="the 64-bit Windows build, under 64-bit Wine" ;;
esac
cmake --preset "$windows" >/dev/null
cmake --build --preset "$windows" -j "$(nproc)"
exe=build/$windows/ui/Vexmoor.exe
if [ ! -f "$exe" ]; then
  echo "Vexmoor: the build made no $exe" >&2
  exit 1
fi
echo "Vexmoor: starting $which"
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a "build/$windows/wine-run.sh" "$exe"
fi
exec "build/$windows/wine-run.sh" "$exe"
