#!/usr/bin/env bash
# Builds the threaded device suites with the thread sanitizer into ./build-tsan and runs
# them; any report about our code fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/bootstrap.sh
[ -f build-tsan/build.ninja ] || cmake -S . -B build-tsan -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRANTEL_SANITIZE=thread
suites=(${@:-tst_link tst_simfirmware})
cmake --build build-tsan --target "${suites[@]}" -- -j2
cd build-tsan
TSAN_OPTIONS="halt_on_error=1 suppressions=$PWD/../tests/tsan.supp" \
    ctest --output-on-failure -R "^($(IFS='|'; echo "${suites[*]}"))$"
