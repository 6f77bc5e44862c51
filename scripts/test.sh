#!/usr/bin/env bash
# Sets up a fresh Debian machine, builds Brantel and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/bootstrap.sh
bash scripts/build.sh
cd "${BRANTEL_BUILD_DIR:-build}"
status=0
ctest --output-on-failure -j2 | tee ctest-summary.log || status=$?
# What passing suites measured or built, for the log: close and time-out figures and the
# cross-compiled WinUSB backend; then CTest's summary once more as the closing lines.
echo
grep -hE 'QINFO|x86_64-w64-mingw32-g\+\+|^produced ' Testing/Temporary/LastTest.log || true
echo "screenshots: $PWD/artefacts"
echo
grep -E 'tests passed|tests failed out of|Total Test time' ctest-summary.log | tail -n 2
exit $status
