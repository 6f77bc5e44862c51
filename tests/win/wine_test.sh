#!/usr/bin/env bash
# Builds the WinUSB logic test as a Windows program with the mingw-w64 cross compiler
# and runs it under wine64, in a wine prefix of its own under the build folder (made on
# the first run, without a display and without the .NET and HTML installers).
# Skipped (exit 77) where the cross compiler or wine64 is missing, except under CI=true:
# the bootstrap installs both, so there a missing one is a failure.
# usage: wine_test.sh <source dir> <work dir>
set -uo pipefail
src=$1
work=$2

cxx=$(command -v x86_64-w64-mingw32-g++-posix || command -v x86_64-w64-mingw32-g++)
wine=$(command -v wine64 || ls /usr/lib/wine/wine64 2>/dev/null)
missing=""
[ -n "$cxx" ] || missing="the mingw-w64 cross compiler (Debian package g++-mingw-w64-x86-64)"
[ -n "$wine" ] || missing="${missing:+$missing and }wine64 (Debian package wine64)"
if [ -n "$missing" ]; then
    if [ "${CI:-}" = true ]; then
        echo "FAILED: no $missing, which the bootstrap installs"
        exit 1
    fi
    echo "SKIPPED: no $missing"
    exit 77
fi

mkdir -p "$work"
exe=$work/tst_winusb_logic.exe
"$cxx" -std=c++17 -Wall -Wextra -Werror -O1 -static -I"$src/src" \
    "$src/tests/win/tst_winusb_logic.cpp" \
    "$src/src/device/win/WinUsbBackend.cpp" \
    "$src/src/device/win/DeviceNotification.cpp" \
    "$src/src/device/BroadcastName.cpp" \
    -o "$exe" -lsetupapi -lwinusb || exit 1

export WINEPREFIX=$work/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
"$wine" "$exe"
status=$?
# No wine server outlives the test.
"$(dirname "$wine")/wineserver" -k 2>/dev/null
exit $status
