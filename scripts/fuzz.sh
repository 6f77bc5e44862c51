#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, ASan and UBSan into ./build-fuzz and runs each
# for the given number of seconds (default 60).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/bootstrap.sh
command -v clang++ >/dev/null || { echo "clang++ is needed (apt-get install clang)"; exit 1; }
[ -f build-fuzz/build.ninja ] || cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DBRANTEL_FUZZ=ON \
    -DBRANTEL_SANITIZE="fuzzer-no-link,address,undefined"
cmake --build build-fuzz --target fuzz_replies -- -j2
mkdir -p build-fuzz/corpus/replies
build-fuzz/fuzz/fuzz_replies -max_total_time="${1:-60}" -max_len=64 build-fuzz/corpus/replies
