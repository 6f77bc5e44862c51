#!/usr/bin/env bash
# Builds every libFuzzer target (fuzz/fuzz_*.cpp) with clang, ASan and UBSan into
# ./build-fuzz and runs each for the given number of seconds (default 60), starting from
# its seeds in fuzz/corpus/<name without "fuzz_">. Prints each target's executions and
# crashes; fails when a target crashed. Findings stay in build-fuzz/artifacts/<name>/.
# usage: fuzz.sh [seconds] [fuzz_target...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
bash scripts/bootstrap.sh
command -v clang++ >/dev/null || { echo "clang++ is needed (apt-get install clang libclang-rt-14-dev)"; exit 1; }

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for source in fuzz/fuzz_*.cpp; do
        targets+=("$(basename "$source" .cpp)")
    done
fi

[ -f build-fuzz/build.ninja ] || cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DBRANTEL_FUZZ=ON \
    -DBRANTEL_SANITIZE="fuzzer-no-link,address,undefined"
cmake --build build-fuzz --target "${targets[@]}" -- -j2

status=0
for target in "${targets[@]}"; do
    name=${target#fuzz_}
    corpus=build-fuzz/corpus/$name
    artifacts=build-fuzz/artifacts/$name
    log=build-fuzz/$target.log
    rm -rf "$artifacts"
    mkdir -p "$corpus" "$artifacts"
    seeds=()
    [ -d "fuzz/corpus/$name" ] && seeds=("fuzz/corpus/$name")
    rc=0
    # Full stacks let fuzz/lsan.supp match a leak inside Qt's own JSON parser. They slow
    # every allocation about tenfold, so only the targets that parse JSON take them.
    fast_unwind=1
    case $target in fuzz_settingsfile | fuzz_filterfile) fast_unwind=0 ;; esac
    ASAN_OPTIONS=fast_unwind_on_malloc=$fast_unwind LSAN_OPTIONS=suppressions=fuzz/lsan.supp \
    "build-fuzz/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$artifacts/" "$corpus" "${seeds[@]}" >"$log" 2>&1 || rc=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    crashes=$(find "$artifacts" -type f | wc -l)
    echo "fuzz: $target: ${runs:-0} executions in ${seconds} s, $crashes crashes"
    if [ "$rc" -ne 0 ] || [ "$crashes" -ne 0 ]; then
        status=1
        tail -n 30 "$log"
        find "$artifacts" -type f | sed 's/^/fuzz: finding /'
    fi
done
exit $status
