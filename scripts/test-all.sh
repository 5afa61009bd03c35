#!/usr/bin/env bash
# Installs what is missing, builds the native and the Windows presets, runs every test
# (natively, under the sanitizers, and the Windows programs under Wine), a short fuzz run, and ends with
# the Windows build tested and one summary line of passed and failed tests.
# The Windows tests run on the build this machine's Wine runs (scripts/windows-variant.sh):
# the 32-bit product, or else the 64-bit build, and then the product is built without its
# test programs.
set -uo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh || { echo "error: installing the dependencies failed" >&2; exit 1; }
windows=$(bash scripts/windows-variant.sh)
case "$windows" in
  windows) which="the 32-bit Windows build, under 32-bit Wine" ;;
  *) which="the 64-bit Windows build, under 64-bit Wine" ;;
esac

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

# Configures and builds one build preset; a failed build counts as one failed test.
build() {
  local configure=$1 preset=$2
  step "configure and build: $preset"
  if ! { cmake --preset "$configure" >/dev/null && cmake --build --preset "$preset" -j "$jobs"; } >"$logs/build-$preset.log" 2>&1; then
    tail -n 60 "$logs/build-$preset.log"
    echo "error: the $preset build failed (log: $logs/build-$preset.log)"
    status=1
    failed=$((failed + 1))
    return 1
  fi
}

# The sanitizer builds: every test under ASan and UBSan; the concurrency tests under TSan.
for preset in native "$windows" native-asan native-tsan; do
  build "$preset" "$preset" || continue
  if [ "$preset" = "$windows" ]; then
    # One wineserver for the whole run keeps each test program's start fast.
    "build/$preset/wine-run.sh" wineboot -i >/dev/null 2>&1 || true
    WINEPREFIX=$PWD/build/$preset/wineprefix wineserver -p 300 >/dev/null 2>&1 || true
  fi
  step "test: $preset"
  ctest --preset "$preset" -j "$jobs" 2>&1 | tee "$logs/test-$preset.log" | grep -E 'tests passed|\*\*\*|Not Run|^\s+[0-9]+ - ' || true
  grep -qE '100% tests passed' "$logs/test-$preset.log" || status=1
  count_ctest "$logs/test-$preset.log"
  if [ "$preset" = "$windows" ]; then
    WINEPREFIX=$PWD/build/$preset/wineprefix wineserver -k >/dev/null 2>&1 || true
  fi
done

# The product is built on every machine, even where its tests cannot run.
if [ "$windows" != windows ]; then
  build windows windows-program
fi

# Short fuzz runs: keyword files, component lines, model files (seconds each).
for run in kwfile:30 component-line:20 model-file:20; do
  name=${run%%:*} seconds=${run#*:}
  step "fuzz: $name"
  if bash "fuzz/run-$name-fuzz.sh" "$seconds" >"$logs/fuzz-$name.log" 2>&1; then
    passed=$((passed + 1))
  else
    tail -n 40 "$logs/fuzz-$name.log"
    failed=$((failed + 1)); status=1
  fi
done

echo "Windows tests: $which (preset $windows)"
echo "tests: $passed passed, $failed failed"
exit $status
