#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Brantel need.
# Idempotent: packages already present are not touched, so a second run is quick.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qtbase5-dev qttools5-dev-tools qttools5-dev
    libusb-1.0-0-dev
    umockdev libumockdev-dev gir1.2-umockdev-1.0 libglib2.0-dev
    xvfb xauth x11-utils xdotool imagemagick fonts-wqy-microhei
    g++-mingw-w64-x86-64 wine64
    python3
    dpkg-dev file desktop-file-utils groff-base lintian
    can-utils python3-can python3-serial tshark
    libqt5charts5-dev
)
# The hardening stages that CI runs (scripts/harden.sh) also fuzz with clang's libFuzzer.
if [ "${CI:-}" = true ] || [ "${BRANTEL_HARDEN:-}" = 1 ]; then
    packages+=(clang libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
