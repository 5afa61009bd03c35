#!/bin/sh
# Builds the component-line fuzz target with libFuzzer and the address and
# undefined-behaviour sanitizers, then runs it.
# Usage: fuzz/run-component-line-fuzz.sh [seconds, default 30]
# The build and the growing corpus live in $VX_FUZZ_BUILD (default build/fuzz).
set -eu
seconds=${1:-30}
repo=$(cd "$(dirname "$0")/.." && pwd)
build=${VX_FUZZ_BUILD:-$repo/build/fuzz}
corpus=$build/component_line_corpus
mkdir -p "$build" "$corpus"

# The reader's error texts come from the message table.
cmake -DMC_FILE="$repo/ui/resources/messages.mc" -DOUTPUT="$build/message_table_data.cpp" \
    -P "$repo/cmake/MessageTable.cmake"

# The model layer and the subspectrum framework below it, with the fit engine's block
# pool that the model evaluates on; compiled side by side, then linked.
objects=$build/component_line_objects
rm -rf "$objects"
mkdir -p "$objects"
flags="-std=c++20 -g -O1 -fsanitize=address,undefined -fno-sanitize-recover=undefined -finput-charset=UTF-8 -DBOOST_UBLAS_NDEBUG -I$repo"
for src in "$repo/fuzz/component_line_fuzz.cpp" "$build/message_table_data.cpp" \
           "$repo"/core/text/*.cpp "$repo"/core/spectrum/*.cpp "$repo"/core/fit/parallel_blocks.cpp \
           "$repo"/core/model/*.cpp "$repo"/subspec/*.cpp; do
    echo "$src"
done | xargs -P 4 -n 1 sh -c 'clang++ '"$flags"' -fsanitize=fuzzer-no-link -c "$0" \
    -o "'"$objects"'/$(basename "$(dirname "$0")")_$(basename "$0").o"'
clang++ -fsanitize=fuzzer,address,undefined -pthread -o "$build/component_line_fuzz" "$objects"/*.o

# Seeds: lines of each component type, with every flag letter.
printf '\000N\342\202\200=1e+06B5T2e6 c=0.001F v\342\202\200=0.5L2*1.0' > "$corpus/seed-baseline"
printf '\001\316\224N\342\202\200=-0.25b c=1t v\342\202\200=1L0.5*2' > "$corpus/seed-auto"
printf '\002extradata=0|Name|speed x=3F' > "$corpus/seed-freevar"
printf '\003I=1 I\342\202\202/I\342\202\201=1 \316\264A=0 \316\265A=0.1 \316\264B=0 \316\265B=0.2 \316\251AB=2' > "$corpus/seed-ln"
printf '\005extradata=3;1;1;1.0e+00;1.0e+00;1.0e+00;0 \316\264L=-1 \316\264R=1B-2' > "$corpus/seed-distribution"
printf '\004S=1 S\302\262/S\302\271=1 \316\264\342\202\201=0 \316\265\342\202\201=0 ln(p\342\202\201\342\202\202)=0.5' > "$corpus/seed-legacy"

"$build/component_line_fuzz" -max_total_time="$seconds" -artifact_prefix="$build/" -dict="$repo/fuzz/component_line.dict" "$corpus"
