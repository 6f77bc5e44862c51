#!/bin/sh
# Runs a test program under umockdev-wrapper with a testbed folder of its own.
# usage: umockdev-run.sh [--unprivileged] <program> [arguments...]
#
# The testbed, and with it umockdev's ioctl sockets, lives under TMPDIR. A fresh folder
# in /tmp keeps the socket paths under their 108-byte limit (a deep build tree would
# not) and apart from other runs and other users; it is removed afterwards.
#
# --unprivileged: as root, run the program as user nobody with setpriv (util-linux; root
# opens any device node, so a refused access can only be seen without it); skipped for
# other users, who are refused on their own. The checkout may lie in a folder nobody
# cannot enter (root's home, a mktemp -d folder), so a copy of the program runs from the
# scratch folder.
set -u
unprivileged=
if [ "${1:-}" = --unprivileged ]; then
    unprivileged=1
    shift
fi
program=${1:?usage: umockdev-run.sh [--unprivileged] <program> [arguments...]}
shift

if [ -n "$unprivileged" ]; then
    if [ "$(id -u)" != 0 ]; then
        echo "SKIPPED: not root; the refused-access case already ran as this user"
        exit 77
    fi
fi

scratch=$(mktemp -d /tmp/brantel-umockdev.XXXXXX) || exit 1
trap 'rm -rf "$scratch"' EXIT

if [ -z "$unprivileged" ]; then
    TMPDIR=$scratch umockdev-wrapper "$program" "$@"
    exit $?
fi

nobody=65534
chmod 755 "$scratch"
copy=$scratch/$(basename "$program")
cp "$program" "$copy" && chmod 755 "$copy" || exit 1
mkdir "$scratch/tmp" && chown "$nobody:$nobody" "$scratch/tmp" || exit 1
# A sanitizer's suppressions file in the checkout is out of reach as well.
case "${LSAN_OPTIONS:-}" in
*suppressions=*)
    supp=$(printf '%s\n' "$LSAN_OPTIONS" | sed -n 's/.*suppressions=\([^:]*\).*/\1/p')
    cp "$supp" "$scratch/lsan.supp" && chmod 644 "$scratch/lsan.supp" || exit 1
    LSAN_OPTIONS=$(printf '%s\n' "$LSAN_OPTIONS" | sed "s|suppressions=[^:]*|suppressions=$scratch/lsan.supp|")
    export LSAN_OPTIONS
    ;;
esac

cd "$scratch" || exit 1
setpriv --reuid=$nobody --regid=$nobody --clear-groups \
    env TMPDIR="$scratch/tmp" umockdev-wrapper "$copy" "$@"
rc=$?
# env's answer when it cannot start the program at all.
if [ $rc -eq 126 ]; then
    echo "SKIPPED: user nobody may not run programs from $scratch (is /tmp mounted noexec?)"
    exit 77
fi
exit $rc
