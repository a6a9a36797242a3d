#!/usr/bin/env bash
# Builds the Debian package build/package/pelorin_<version>_<arch>.deb with
# Debian's hardening flags and checks it with lintian (any error fails).
# Prints the package's path on the last line.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/ensure-packages.sh dpkg-dev lintian binutils xz-utils

build=build/package
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CPPFLAGS=$(dpkg-buildflags --get CPPFLAGS)
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $CPPFLAGS"
LDFLAGS=$(dpkg-buildflags --get LDFLAGS)
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_CXX_FLAGS="$CXXFLAGS" -DCMAKE_EXE_LINKER_FLAGS="$LDFLAGS" \
  -DPELORIN_BUILD_TESTS=OFF -DPELORIN_BUILD_BENCH=OFF >/dev/null
cmake --build "$build"

rm -f "$build"/pelorin_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
debs=("$build"/pelorin_*.deb)
deb=${debs[0]}
[ -f "$deb" ] || { echo "package.sh: cpack made no package" >&2; exit 1; }

echo "== $deb"
dpkg-deb --field "$deb"
echo "== lintian $deb"
lintian --fail-on error --display-info "$deb"
echo "lintian: no error"
echo "$deb"
