#!/usr/bin/env bash
# Builds the libFuzzer target with clang into build-fuzz/ and runs it.
#   scripts/fuzz.sh            run for 20 seconds
#   scripts/fuzz.sh 600        run for 10 minutes
# Crashing inputs are written to build-fuzz/crashes/.
source "$(dirname "$0")/common.sh"
seconds="${1:-20}"
fuzz_build="$ZELTRAK_ROOT/build-fuzz"

cmake -S "$ZELTRAK_ROOT" -B "$fuzz_build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_COMPILER=clang++ -DZELTRAK_FUZZ=ON \
    -DZELTRAK_BUILD_TESTS=OFF -DZELTRAK_BUILD_BENCHMARKS=OFF -DZELTRAK_FUZZ_ONLY=ON >/dev/null
cmake --build "$fuzz_build" --target fuzz_database --parallel "$(nproc)"

corpus="$fuzz_build/corpus"
mkdir -p "$corpus" "$fuzz_build/crashes"
# Seed with the test database when there is one, so the fuzzer starts from a
# well-formed file.
if [ -f "$ZELTRAK_BUILD/testdata.dbv" ] && [ -z "$(ls -A "$corpus")" ]; then
    head -c 60000 "$ZELTRAK_BUILD/testdata.dbv" > "$corpus/testdata-head.dbv"
fi
"$fuzz_build/fuzz/fuzz_database" -max_total_time="$seconds" -max_len=70000 -timeout=10 \
    -artifact_prefix="$fuzz_build/crashes/" "$corpus"
