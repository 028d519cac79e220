#!/usr/bin/env bash
# Builds every artifact of a release of the committed sources (HEAD, not the working tree) into
# build/dist/, and checks them (tests/package/release_check.sh):
#   tavrik_V_amd64.deb         the Linux package
#   tavrik-V-windows.zip       the stripped 32-bit tavrik.scr, README.txt, LICENSE.txt
#   tavrik-V.msi               its Windows Installer package
#   tavrik-V.tar.gz            the sources
#   SHA256SUMS
# V is the version in CMakeLists.txt. The build is reproducible: every time stamp is the last
# commit's (SOURCE_DATE_EPOCH), the build folder's path is mapped out of the programs, and the
# archives are written in a fixed order with fixed owners.
# With --check it builds the release twice, in two folders one after the other, and compares
# the artifacts byte for byte (diffoscope, where installed, shows what differs); build/dist then
# holds the first.
# Usage: scripts/release.sh [--check]
set -euo pipefail
cd "$(dirname "$0")/.."

check=0
case "${1:-}" in
  --check) check=1 ;;
  "") ;;
  *)
    echo "usage: scripts/release.sh [--check]" >&2
    exit 2
    ;;
esac

scripts/install-deps.sh
# One commit for the whole run, even if HEAD moves while it builds.
commit=$(git rev-parse HEAD)
version=$(git show "$commit:CMakeLists.txt" | sed -n 's/^project(tavrik VERSION \([0-9.]*\) .*/\1/p')
[ -n "$version" ] || {
  echo "release.sh: no version in CMakeLists.txt" >&2
  exit 1
}
homepage=$(git show "$commit:CMakeLists.txt" | sed -n 's/^project(tavrik .*HOMEPAGE_URL "\([^"]*\)".*/\1/p')
# The homepage and the package's maintainer are placeholders until the project has a public
# address: a check may use them, a release may not.
maintainer=$(git show "$commit:cmake/package.cmake" | sed -n 's/^set(TAVRIK_MAINTAINER "\([^"]*\)".*/\1/p')
for placeholder in "$homepage" "$maintainer"; do
  case "$placeholder" in
    *.invalid/* | *@example.org*)
      if [ "$check" = 0 ]; then
        echo "release.sh: '$placeholder' is a placeholder; name the project's own address in" >&2
        echo "  CMakeLists.txt (HOMEPAGE_URL) and cmake/package.cmake (TAVRIK_MAINTAINER) first" >&2
        exit 1
      fi
      echo "release.sh: checking with the placeholder '$placeholder', which no release ships"
      ;;
  esac
done
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct "$commit")
export SOURCE_DATE_EPOCH TZ=UTC LC_ALL=C.UTF-8
if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
  echo "release.sh: the working tree has uncommitted changes; the release is built from HEAD,"
  echo "  $commit"
fi

# crlf FILE: the file with Windows line ends.
crlf() {
  sed 's/\r*$/\r/' "$1"
}

# build_release WORK DIST: exports the commit into WORK, builds it there and writes the artifacts to
# DIST.
build_release() {
  local work=$1 dist=$2
  local src=$work/tavrik-$version
  rm -rf "$work" "$dist"
  mkdir -p "$work" "$dist"
  git archive --format=tar --prefix="tavrik-$version/" "$commit" | tar -x -C "$work"

  echo "Building the Linux package in $src"
  (cd "$src" && scripts/package.sh >/dev/null)
  cp "$src/build/package/tavrik_${version}_amd64.deb" "$dist/"

  echo "Building the 32-bit Windows saver in $src"
  local flags="-ffile-prefix-map=$src=."
  cmake -S "$src" -B "$src/build/win32" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
    -DCMAKE_BUILD_TYPE=Release -DTAVRIK_TESTS=OFF -DCMAKE_C_FLAGS="$flags" \
    -DCMAKE_CXX_FLAGS="$flags" >/dev/null
  cmake --build "$src/build/win32" -j "$(nproc)" --target tavrik_scr >/dev/null
  local stage=$work/windows
  mkdir -p "$stage"
  i686-w64-mingw32-strip -o "$stage/tavrik.scr" "$src/build/win32/src/host/win32/tavrik.scr"
  sed "s/@VERSION@/$version/g" "$src/resources/win32/README.txt.in" | crlf /dev/stdin \
    >"$stage/README.txt"
  crlf "$src/LICENSE" >"$stage/LICENSE.txt"
  touch --date "@$SOURCE_DATE_EPOCH" "$stage"/*
  (cd "$stage" && zip -X -q "$dist/tavrik-$version-windows.zip" tavrik.scr README.txt LICENSE.txt)
  "$src/scripts/make-msi.sh" "$stage/tavrik.scr" x86 "$version" "$dist/tavrik-$version.msi"

  git archive --format=tar.gz --prefix="tavrik-$version/" -o "$dist/tavrik-$version.tar.gz" \
    "$commit"
  (cd "$dist" && sha256sum -- * >SHA256SUMS)
  tests/package/release_check.sh "$dist" "$version"
}

dist=$PWD/build/dist
if [ "$check" = 0 ]; then
  build_release "$PWD/build/release-work" "$dist"
  echo "The release $version is in $dist:"
  (cd "$dist" && ls -l)
  exit 0
fi

# Two folders at two paths, built one after the other; the first build is the release.
build_release "$PWD/build/release-work" "$dist"
build_release "$PWD/build/release-check/second" "$PWD/build/release-check/dist"
status=0
for file in "$dist"/*; do
  other="$PWD/build/release-check/dist/$(basename "$file")"
  if cmp -s "$file" "$other"; then
    echo "same: $(basename "$file")"
  else
    echo "DIFFERENT: $(basename "$file")"
    if command -v diffoscope >/dev/null; then
      diffoscope --text - "$file" "$other" | head -n 60 || true
    fi
    status=1
  fi
done
[ "$status" = 0 ] && echo "The two builds of release $version are identical."
exit "$status"
