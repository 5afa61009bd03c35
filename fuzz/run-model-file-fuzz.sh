#!/bin/sh
# Builds the model-file fuzz target with libFuzzer and the address and
# undefined-behaviour sanitizers, then runs it.
# Usage: fuzz/run-model-file-fuzz.sh [seconds, default 30]
# The build and the growing corpus live in $VX_FUZZ_BUILD (default build/fuzz).
set -eu
seconds=${1:-30}
repo=$(cd "$(dirname "$0")/.." && pwd)
build=${VX_FUZZ_BUILD:-$repo/build/fuzz}
corpus=$build/model_file_corpus
mkdir -p "$build" "$corpus"

# The reader's error texts come from the message table.
cmake -DMC_FILE="$repo/ui/resources/messages.mc" -DOUTPUT="$build/message_table_data.cpp" \
    -P "$repo/cmake/MessageTable.cmake"

# The document, the model and the subspectrum framework below it, without the fit
# engine; compiled side by side, then linked.
objects=$build/model_file_objects
rm -rf "$objects"
mkdir -p "$objects"
# The stand-in catalogue reads the program's isotope table through the tests' data folder.
printf '#define VX_TEST_DATA_DIR "%s/tests/data"\n' "$repo" > "$build/model_file_data_dir.h"
flags="-std=c++20 -g -O1 -fsanitize=address,undefined -fno-sanitize-recover=undefined -finput-charset=UTF-8 -DBOOST_UBLAS_NDEBUG -I$repo -include $build/model_file_data_dir.h"
for src in "$repo/fuzz/model_file_fuzz.cpp" "$build/message_table_data.cpp" \
           "$repo"/core/text/*.cpp "$repo"/core/spectrum/*.cpp "$repo"/core/model/*.cpp "$repo"/subspec/*.cpp \
           "$repo"/core/document/*.cpp; do
    echo "$src"
done | xargs -P 4 -n 1 sh -c 'clang++ '"$flags"' -fsanitize=fuzzer-no-link -c "$0" \
    -o "'"$objects"'/$(basename "$(dirname "$0")")_$(basename "$0").o"'
clang++ -fsanitize=fuzzer,address,undefined -fopenmp -o "$build/model_file_fuzz" "$objects"/*.o

# Seeds: a model with every kind of key.
printf 'Component = 01-Baseline:N\342\202\200=1000 c=0F v\342\202\200=0\nComponent = 02-Lorentz singlet (57Fe):I=1L2*1.0 \316\264=0.5B-1T1 \316\223=0.25\nComponent = 03-[D] Lorentz singlet:extradata=3;1;1;1.0e+00;1.0e+00;1.0e+00;0 \316\264L=0 \316\264R=1 \316\223=0.3 I0=1 I1=1L1*2.0 I2=1\nExpression = 01:A=[1:I]*2\nColor = 02:00ff00\nGLock = 01:1\nXRange = 01:1 2\nDirection:1\n' > "$corpus/seed-model"

"$build/model_file_fuzz" -max_total_time="$seconds" -artifact_prefix="$build/" -dict="$repo/fuzz/model_file.dict" "$corpus"
