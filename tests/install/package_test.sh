#!/usr/bin/env bash
# Makes the Debian package of the build with CPack, unpacks it into a scratch root as dpkg
# would install it, and checks that the installed batch tool runs and finds its data, and
# that the desktop entry and icons are where a desktop looks for them.
# usage: package_test.sh BUILD_DIR
set -euo pipefail
build=$1
scratch=$(mktemp -d "$build/package-test.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

# An uncompressed package keeps the test short; scripts/package compresses with xz.
cpack --config "$build/CPackConfig.cmake" -B "$scratch/out" -D CPACK_DEBIAN_COMPRESSION_TYPE=none >/dev/null
deb=$(ls "$scratch"/out/*.deb)
dpkg-deb --field "$deb" Package Version Depends
dpkg-deb --field "$deb" Depends | grep -q 'libc6' || { echo "FAIL: no shared-library dependencies"; exit 1; }
dpkg -x "$deb" "$scratch/root"

root="$scratch/root"
"$root/usr/bin/morvane-batch" --version | tee "$scratch/version"
grep -qx "data: $root/usr/share/morvane" "$scratch/version" || { echo "FAIL: data folder"; exit 1; }
for file in usr/share/applications/morvane.desktop usr/share/icons/hicolor/48x48/apps/morvane.png \
            usr/share/icons/hicolor/scalable/apps/morvane.svg usr/share/doc/morvane/manual/index.html; do
  [ -s "$root/$file" ] || { echo "FAIL: package lacks /$file"; exit 1; }
done
echo "package installs and runs"
