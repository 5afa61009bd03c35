#!/bin/sh
# Builds the keyword-file fuzz target with libFuzzer and the address and
# undefined-behaviour sanitizers, then runs it.
# Usage: fuzz/run-kwfile-fuzz.sh [seconds, default 30]
# The build and the growing corpus live in $VX_FUZZ_BUILD (default build/fuzz).
set -eu
seconds=${1:-30}
repo=$(cd "$(dirname "$0")/.." && pwd)
build=${VX_FUZZ_BUILD:-$repo/build/fuzz}
corpus=$build/kwfile_corpus
mkdir -p "$build" "$corpus"

# The reader's error texts come from the message table.
cmake -DMC_FILE="$repo/ui/resources/messages.mc" -DOUTPUT="$build/message_table_data.cpp" \
    -P "$repo/cmake/MessageTable.cmake"

clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -finput-charset=UTF-8 -I"$repo" -o "$build/kwfile_fuzz" \
    "$repo/fuzz/kwfile_fuzz.cpp" "$repo/core/text/kwfile.cpp" "$repo/core/text/kwlist.cpp" \
    "$repo/core/text/kwlist_string.cpp" "$repo/core/text/text.cpp" "$repo/core/text/messages.cpp" \
    "$build/message_table_data.cpp"

# Seeds: the test files and a few one-line texts.
cp "$repo"/tests/data/kwfile/* "$corpus/"
printf '0|Points|100|2|Comment|a$0020b' > "$corpus/seed-oneline"
printf 'Comment:x\nData:\na:1\nEndData:\nName:$$a$000ab\n' > "$corpus/seed-blocks"

"$build/kwfile_fuzz" -max_total_time="$seconds" -dict="$repo/fuzz/kwfile.dict" "$corpus"
