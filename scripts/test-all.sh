#!/usr/bin/env bash
# Installs what is missing, builds the native and the Windows presets, runs every test
# (natively, under the sanitizers, and the Windows programs under Wine), a short fuzz run, and ends with one
# summary line of passed and failed tests.
set -uo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh || { echo "error: installing the dependencies failed" >&2; exit 1; }

jobs=$(nproc)
logs=build/test-logs
mkdir -p "$logs"
status=0
passed=0
failed=0

step() { echo "== $*"; }

# Reads ctest's closing line "NN% tests passed, F tests failed out of T".
count_ctest() {
  local line
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$1" | tail -n 1)
  if [ -z "$line" ]; then failed=$((failed + 1)); return; fi
  local f t
  f=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
  t=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\2/' <<<"$line")
  passed=$((passed + t - f))
  failed=$((failed + f))
}

step "layers: every include points down"
if bash scripts/check-layers.sh >"$logs/layers.log" 2>&1; then
  passed=$((passed + 1))
else
  cat "$logs/layers.log"
  failed=$((failed + 1)); status=1
fi

# The sanitizer builds: every test under ASan and UBSan; the concurrency tests under TSan.
for preset in native windows native-asan native-tsan; do
  step "configure and build: $preset"
  if ! { cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" -j "$jobs"; } >"$logs/build-$preset.log" 2>&1; then
    tail -n 60 "$logs/build-$preset.log"
    echo "error: the $preset build failed (log: $logs/build-$preset.log)"
    status=1
    failed=$((failed + 1))
    continue
  fi
  if [ "$preset" = windows ]; then
    # One wineserver for the whole run keeps each test program's start fast.
    build/windows/wine-run.sh wineboot -i >/dev/null 2>&1 || true
    WINEPREFIX=$PWD/build/windows/wineprefix wineserver -p 300 >/dev/null 2>&1 || true
  fi
  step "test: $preset"
  ctest --preset "$preset" -j "$jobs" 2>&1 | tee "$logs/test-$preset.log" | grep -E 'tests passed|\*\*\*|Not Run|^\s+[0-9]+ - ' || true
  grep -qE '100% tests passed' "$logs/test-$preset.log" || status=1
  count_ctest "$logs/test-$preset.log"
  if [ "$preset" = windows ]; then
    WINEPREFIX=$PWD/build/windows/wineprefix wineserver -k >/dev/null 2>&1 || true
  fi
done

if [ -x fuzz/run-kwfile-fuzz.sh ]; then
  step "fuzz: keyword files"
  if bash fuzz/run-kwfile-fuzz.sh 30 >"$logs/fuzz.log" 2>&1; then
    passed=$((passed + 1))
  else
    tail -n 40 "$logs/fuzz.log"
    failed=$((failed + 1)); status=1
  fi
fi

if [ -x fuzz/run-component-line-fuzz.sh ]; then
  step "fuzz: component lines"
  if bash fuzz/run-component-line-fuzz.sh 20 >"$logs/fuzz-component-line.log" 2>&1; then
    passed=$((passed + 1))
  else
    tail -n 40 "$logs/fuzz-component-line.log"
    failed=$((failed + 1)); status=1
  fi
fi

echo "tests: $passed passed, $failed failed"
exit $status
