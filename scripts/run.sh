#!/usr/bin/env bash
# Sets up a fresh Debian machine, builds Brantel and starts it on its built-in simulated
# adapter. Extra arguments go to brantel.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/bootstrap.sh
bash scripts/build.sh
exec "${BRANTEL_BUILD_DIR:-build}/src/brantel" --simulate "$@"
