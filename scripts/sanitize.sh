#!/usr/bin/env bash
# Builds the suite with a sanitizer into ./build-<kind> and runs it. Given a test regex,
# it builds only the programs of the tests the regex selects.
# usage: sanitize.sh address,undefined|thread [ctest -R regex]
# e.g.   sanitize.sh thread 'tst_link|tst_protocol|tst_libusb'
set -euo pipefail
cd "$(dirname "$0")/.."
kind=${1:?usage: sanitize.sh address,undefined|thread [test regex]}
dir=build-${kind//,/-}
bash scripts/bootstrap.sh
# Configured every time: a kept folder must not list tests that are gone.
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRANTEL_SANITIZE="$kind" >/dev/null
targets=()
if [ -n "${2:-}" ]; then
    known=$(cmake --build "$dir" -- -t targets all | sed -n 's/: phony$//p')
    for test in $(cd "$dir" && ctest -N -R "$2" | sed -n 's/^ *Test *#[0-9]*: //p'); do
        grep -qx "$test" <<<"$known" && targets+=("$test")
    done
fi
cmake --build "$dir" ${targets[@]:+--target "${targets[@]}"} -- -j2
cd "$dir"
ctest --output-on-failure -j2 ${2:+-R "$2"} -E '^cli_' -LE soak
