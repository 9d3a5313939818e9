#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ and runs them.
#   scripts/fuzz.sh                 each target for 20 seconds
#   scripts/fuzz.sh 600             each target for 10 minutes
#   scripts/fuzz.sh 60 settings     one target (database, statrecord, settings, ticketjson, topics)
#   scripts/fuzz.sh 3600 "database topics" 1000000
#                                   stop each target after a million inputs
#                                   or an hour, whichever comes first
# The seeds in fuzz/corpus/ are copied into build-fuzz/corpus/, where the
# fuzzer grows them; crashing inputs are written to build-fuzz/crashes/.
source "$(dirname "$0")/common.sh"
seconds="${1:-20}"
targets="${2:-database statrecord settings ticketjson topics}"
runs="${3:--1}"
fuzz_build="$ZELTRAK_ROOT/build-fuzz"

cmake -S "$ZELTRAK_ROOT" -B "$fuzz_build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_COMPILER=clang++ -DZELTRAK_FUZZ=ON \
    -DZELTRAK_BUILD_TESTS=OFF -DZELTRAK_BUILD_BENCHMARKS=OFF -DZELTRAK_FUZZ_ONLY=ON >/dev/null
for target in $targets; do
    cmake --build "$fuzz_build" --target "fuzz_$target" --parallel "$(nproc)"
done

mkdir -p "$fuzz_build/crashes"
for target in $targets; do
    corpus="$fuzz_build/corpus/$target"
    mkdir -p "$corpus"
    cp -n "$ZELTRAK_ROOT/fuzz/corpus/$target/"* "$corpus/"
    # The settings store goes through QSettings, which keeps a process-wide
    # cache of the files it parsed: every input left memory behind that a
    # later input frees, so libFuzzer scanned the whole heap for leaks after
    # nearly every input (five sixths of the time). Leaks are still looked
    # for when the run ends. Its resident size grows by 1–2 KB per input
    # while the live heap stays near 24 MB: the sanitizer's own bookkeeping
    # (quarantine, stack traces), which passes libFuzzer's default limit of
    # 2 GB before a million inputs.
    options=()
    [ "$target" = settings ] && options+=(-detect_leaks=0 -rss_limit_mb=4096)
    echo "== fuzz_$target"
    "$fuzz_build/fuzz/fuzz_$target" -max_total_time="$seconds" -runs="$runs" -max_len=70000 -timeout=10 \
        "${options[@]}" -print_final_stats=1 -artifact_prefix="$fuzz_build/crashes/$target-" "$corpus"
done
