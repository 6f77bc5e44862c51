#!/usr/bin/env bash
# Sets up a fresh Debian machine, builds Brantel and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/bootstrap.sh
bash scripts/build.sh
cd "${BRANTEL_BUILD_DIR:-build}"
ctest --output-on-failure -j2
