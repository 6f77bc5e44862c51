#!/usr/bin/env bash
# Builds the Debian package of a finished build, prints its control fields and contents,
# unpacks it into a scratch root and checks that every file is in its place, then has
# lintian check it: any error or warning fails (informational tags are printed only).
# lintian also finds a program without a manual page and groff's complaints about one.
# usage: check_package.sh <build dir> <version>
set -euo pipefail
build=$1
version=$2
work=$(mktemp -d /tmp/brantel-package.XXXXXX)
trap 'rm -rf "$work"' EXIT
say() { sed 's/^/package: /'; }

if ! (cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1); then
    cat "$work/cpack.log"
    exit 1
fi
deb=$(echo "$work"/out/*.deb)
echo "produced $(basename "$deb")" | say
dpkg-deb -f "$deb" Package Version Architecture Depends | say
dpkg-deb -c "$deb" | say
dpkg -x "$deb" "$work/root"
root=$work/root

status=0
fail() { echo "package: FAILED: $*"; status=1; }

for f in usr/bin/brantel \
         usr/share/applications/brantel.desktop \
         usr/share/icons/hicolor/{48x48,128x128,256x256}/apps/brantel.png \
         usr/lib/udev/rules.d/60-brantel.rules \
         usr/share/man/man1/brantel.1.gz \
         usr/share/doc/brantel/copyright usr/share/doc/brantel/changelog.gz; do
    if [ -s "$root/$f" ]; then echo "package: installed /$f"; else fail "missing /$f"; fi
done

depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt5widgets5 libqt5gui5 libqt5core5a libusb-1.0-0 libc6; do
    [[ "$depends" == *"$lib"* ]] || fail "Depends lacks $lib"
done
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "version is not $version"

desktop-file-validate "$root/usr/share/applications/brantel.desktop" || fail "desktop entry"
icon=$(sed -n 's/^Icon=//p' "$root/usr/share/applications/brantel.desktop")
[ -f "$root/usr/share/icons/hicolor/48x48/apps/$icon.png" ] || fail "no icon named $icon"
page=$(zcat "$root/usr/share/man/man1/brantel.1.gz")
grep -q '^\.TH BRANTEL 1 .*'"$version" <<<"$page" || fail "manual page version"
# A new version comes with its changelog entry.
zcat "$root/usr/share/doc/brantel/changelog.gz" | head -n 1 | grep -q "^brantel ($version) " \
    || fail "changelog does not start with version $version"
# The unpacked program runs from the scratch root with the system's libraries.
answer=$(env -u DISPLAY "$root/usr/bin/brantel" --version)
[ "$answer" = "Brantel $version" ] || fail "installed program answered '$answer'"

[ $status -eq 0 ] && echo "package: scratch install complete"

if command -v lintian >/dev/null; then
    rc=0
    lintian --fail-on error,warning --display-info "$deb" >"$work/lintian.log" 2>&1 || rc=$?
    grep -v 'running with root privileges' "$work/lintian.log" | say || true
    if [ $rc -eq 0 ]; then
        echo "package: lintian: no errors, no warnings"
    else
        fail "lintian reports errors or warnings (exit $rc)"
    fi
else
    fail "lintian is missing (the bootstrap installs it)"
fi
exit $status
