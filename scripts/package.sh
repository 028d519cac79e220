#!/usr/bin/env bash
# Builds the Debian package of the Linux build: a Release build in build/package for the prefix
# /usr, with Debian's hardening flags, then CPack. Prints the package's path. With --check it
# also lists the package's files against what it must hold and runs lintian on it, whose errors
# fail (tests/package/deb_check.sh).
# Usage: scripts/package.sh [--check]
set -euo pipefail
cd "$(dirname "$0")/.."

check=0
case "${1:-}" in
  --check) check=1 ;;
  "") ;;
  *)
    echo "usage: scripts/package.sh [--check]" >&2
    exit 2
    ;;
esac

scripts/install-deps.sh
build=build/package
# dpkg-buildflags gives what Debian builds its packages with (stack protector, fortified
# functions, read-only relocations); CMake takes CFLAGS, CXXFLAGS and LDFLAGS from the
# environment when it first configures a folder.
eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
export CXXFLAGS="$CPPFLAGS $CXXFLAGS" CFLAGS="$CPPFLAGS $CFLAGS"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DTAVRIK_TESTS=OFF -DTAVRIK_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)"
rm -f "$build"/tavrik_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/tavrik_*.deb)
echo "$deb"
if [ "$check" = 1 ]; then
  tests/package/deb_check.sh "$deb"
fi
