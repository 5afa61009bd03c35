#!/usr/bin/env bash
# Builds the Windows program and starts it under Wine (in Xvfb when there is no display).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)"
exe=build/windows/ui/Vexmoor.exe
if [ ! -f "$exe" ]; then
  echo "Vexmoor: the build made no $exe" >&2
  exit 1
fi
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a build/windows/wine-run.sh "$exe"
fi
exec build/windows/wine-run.sh "$exe"
