#!/usr/bin/env bash
# Sets up a fresh Debian machine, builds Brantel and runs the whole test suite.
# Under CI=true (or BRANTEL_HARDEN=1) it also runs scripts/harden.sh: a Makefiles build,
# the sanitizer runs and the fuzz targets.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS
bash scripts/bootstrap.sh
bash scripts/build.sh
build=${BRANTEL_BUILD_DIR:-build}
status=0
# The unplug soak (label "soak") runs in the hardening stage only.
(cd "$build" && ctest --output-on-failure -j2 -LE soak) | tee "$build/ctest-summary.log" || status=$?
# What passing suites measured or built: close and time-out figures, the cross-compiled
# WinUSB backend and its run under wine, the Debian package. Taken now: a later CTest
# run (the soak) writes its own log over this one.
figures=$(grep -hE 'QINFO|x86_64-w64-mingw32-g\+\+|^winusb logic: |^produced |^package: ' \
          "$build/Testing/Temporary/LastTest.log" || true)

hardening=""
if [ "${CI:-}" = true ] || [ "${BRANTEL_HARDEN:-}" = 1 ]; then
    echo
    rc=0
    bash scripts/harden.sh 2>&1 | tee "$build/harden.log" || rc=$?
    hardening=$([ $rc -eq 0 ] && echo passed || echo FAILED)
    [ $rc -eq 0 ] || status=$rc
fi

# For the log: the figures, the hardening stages, then CTest's summary of the main run
# once more as the closing lines.
cd "$build"
echo
[ -z "$figures" ] || echo "$figures"
echo "screenshots: $PWD/artefacts"
if [ -n "$hardening" ]; then
    # harden.sh closes with its summary: the lines after its last blank line.
    tac harden.log | sed '/^$/q' | tac | grep -E '^(stage|fuzz|soak): ' || true
    echo "hardening: $hardening"
fi
echo "test.sh: $((SECONDS - start)) s"
echo
grep -E 'tests passed|tests failed out of|Total Test time' ctest-summary.log | tail -n 2
exit $status
