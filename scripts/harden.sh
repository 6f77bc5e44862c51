#!/usr/bin/env bash
# The stages CI runs after the main suite: a build of every target with CMake's default
# generator (Unix Makefiles) into ./build-make, the unplug soak (CTest label "soak") in
# the main build, the whole suite under AddressSanitizer + UndefinedBehaviorSanitizer,
# the threaded device, link and monitor tests under ThreadSanitizer, and every fuzz
# target for FUZZ_SECONDS (default 30) each.
# Prints one line per stage with its result and time; fails when a stage failed.
set -uo pipefail
cd "$(dirname "$0")/.."

status=0
summary=()
log=$(mktemp)
trap 'rm -f "$log"' EXIT
# Runs one stage; its summary line carries CTest's verdict or the fuzz figures.
stage() {
    local name=$1 start=$SECONDS rc=0
    shift
    echo "=== $name"
    "$@" 2>&1 | tee "$log" || rc=$?
    local line="stage: $name: $([ $rc -eq 0 ] && echo passed || echo "FAILED (exit $rc)") in $((SECONDS - start)) s"
    local verdict
    verdict=$(grep -E 'tests passed|tests failed out of' "$log" | tail -n 1)
    [ -z "$verdict" ] || line+=" ($verdict)"
    echo "$line"
    summary+=("$line")
    summary+=("$(grep -E '^(fuzz|soak): ' "$log")")
    [ $rc -eq 0 ] || status=1
}

makefiles_build() {
    # No -G and no CMAKE_GENERATOR: whatever CMake picks by default.
    [ -f build-make/Makefile ] || env -u CMAKE_GENERATOR \
        cmake -S . -B build-make -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build build-make -- -j2
}

# The soak's programs print their figures as "QINFO : ... soak: ..." lines.
unplug_soak() {
    local build=${BRANTEL_BUILD_DIR:-build} rc=0
    bash scripts/build.sh
    (cd "$build" && ctest --output-on-failure -j2 -L soak) || rc=$?
    grep -h 'soak: ' "$build/Testing/Temporary/LastTest.log" | sed 's/^.*soak: /soak: /'
    return $rc
}

stage "Makefiles build" makefiles_build
stage "unplug soak" unplug_soak
stage "address,undefined sanitizers" bash scripts/sanitize.sh address,undefined
stage "thread sanitizer" bash scripts/sanitize.sh thread 'tst_link|tst_protocol|tst_libusb|monitor'
stage "fuzzing" bash scripts/fuzz.sh "${FUZZ_SECONDS:-30}"

echo
printf '%s\n' "${summary[@]}" | grep -v '^$'
exit $status
