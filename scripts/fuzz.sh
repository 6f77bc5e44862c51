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
cmake --build build-fuzz --target fuzz_replies fuzz_filterfile fuzz_configini -- -j2
mkdir -p build-fuzz/corpus/replies
build-fuzz/fuzz/fuzz_replies -max_total_time="${1:-60}" -max_len=64 build-fuzz/corpus/replies
# File readers: the repository's seeds are read too; new inputs go to build-fuzz/corpus.
mkdir -p build-fuzz/corpus/filterfile build-fuzz/corpus/configini
ASAN_OPTIONS=fast_unwind_on_malloc=0 LSAN_OPTIONS=suppressions=fuzz/lsan.supp \
    build-fuzz/fuzz/fuzz_filterfile -max_total_time="${1:-60}" -max_len=4096 \
    build-fuzz/corpus/filterfile fuzz/corpus/filterfile
build-fuzz/fuzz/fuzz_configini -max_total_time="${1:-60}" -max_len=1024 \
    build-fuzz/corpus/configini fuzz/corpus/configini
