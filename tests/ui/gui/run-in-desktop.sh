#!/bin/sh
# Runs a GUI test program of the Windows build inside a Wine virtual desktop on a
# virtual X display of its own. Without a window manager the X server would show
# windows without frames; in the desktop Wine draws frames and captions itself, as
# Windows does, so screenshots show the windows as users see them.
#   run-in-desktop.sh EMULATOR WIDTHxHEIGHT PROGRAM [ARGUMENTS...]
# EMULATOR is the build's own Wine launcher. The desktop does not pass on the test
# program's exit code, so the program writes its result as XML, read here.
set -eu
emulator=$1 size=$2 program=$3
shift 3
results=$(mktemp -d)
trap 'rm -rf "$results"' EXIT
# Tests start side by side: two servers may pick the same free display number at once,
# and one of them fails to start, as Wine sometimes does on a busy machine before the
# program runs. Each try takes another number; a program that ran and wrote no result
# (it crashed) is not tried again.
for try in 1 2 3; do
  display=$(( 100 + ($$ * 7 + try * 131) % 800 ))
  [ -e "/tmp/.X$display-lock" ] && continue
  xvfb-run -n "$display" -s "-screen 0 ${size}x24" \
    "$emulator" explorer "/desktop=vxtest$$,$size" "$program" "--gtest_output=xml:Z:$results/result.xml" "$@" \
    2>"$results/stderr" || true
  cat "$results/stderr" >&2
  [ -f "$results/result.xml" ] && break
  grep -qE "Xvfb failed to start|wine client error:0:" "$results/stderr" || break
done
if [ ! -f "$results/result.xml" ]; then
  echo "run-in-desktop: $program wrote no result" >&2
  exit 1
fi
if grep -qE '(failures|errors)="[1-9]' "$results/result.xml"; then
  grep -E '<testcase|<failure' "$results/result.xml" >&2
  exit 1
fi
grep -E '<testsuites' "$results/result.xml"
