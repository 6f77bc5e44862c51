#!/usr/bin/env bash
# Configures (once) and builds Brantel into ./build; the build directory is kept so
# later runs only rebuild what changed.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BRANTEL_BUILD_DIR:-build}
if [ ! -f "$build/build.ninja" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build" -- -j2
