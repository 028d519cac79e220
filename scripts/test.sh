#!/usr/bin/env bash
# Builds TAVRIK for Linux twice (optimised, and with AddressSanitizer +
# UndefinedBehaviorSanitizer) and runs the whole test suite on both, end-to-end tests included;
# builds the release twice and compares the builds, and installs and removes its Debian package;
# then builds the Windows programs, 32-bit as shipped and 64-bit, and runs the Windows tests under
# Wine on the 64-bit build (and on the 32-bit one too where the machine can run 32-bit code);
# builds the browser version and tests it under Node and in headless Chromium.
# Checks the formatting first.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

# Run from an unpacked source tarball there is no git: the sources are then the tree's files, and
# the release check, which builds a commit, gives way to building and checking the package.
if [ "$(git rev-parse --show-toplevel 2>/dev/null)" = "$PWD" ]; then
  from_git=1
  sources() { git ls-files '*.cpp' '*.h'; }
else
  from_git=0
  sources() { find . -path ./build -prune -o -type f \( -name '*.cpp' -o -name '*.h' \) -print; }
fi

unformatted=$(sources | xargs -r clang-format --dry-run -Werror 2>&1 | grep -c 'error:' || true)
if [ "$unformatted" != "0" ]; then
  sources | xargs -r clang-format --dry-run -Werror
  echo "clang-format: $unformatted places are not formatted" >&2
  exit 1
fi

jobs=$(nproc)
run_suite() {
  local dir=$1
  shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  ctest --test-dir "$dir" --output-on-failure -j "$jobs" --timeout 300
}

run_suite build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  run_suite build/asan -DCMAKE_BUILD_TYPE=Debug -DTAVRIK_SANITIZE=ON -DTAVRIK_BENCH=OFF

# The release (build/dist): each artifact built twice, in two folders, and compared byte for byte;
# each build checked (tests/package/release_check.sh). Then its Debian package installed with apt
# and removed again, where that cannot disturb an installed tavrik.
if [ "$from_git" = 1 ]; then
  scripts/release.sh --check
  tests/package/deb_install.sh build/dist/tavrik_*_amd64.deb
else
  echo "No git here (an unpacked source tarball): the release check, which builds a commit, is left out."
  scripts/package.sh --check
  tests/package/deb_install.sh build/package/tavrik_*_amd64.deb
fi

# The Windows tests compare runs with the optimised Linux build.
windows=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVRIK_LINUX_BUILD="$PWD/build/release")
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  run_suite build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake "${windows[@]}"
else
  cmake -S . -B build/win32 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
    "${windows[@]}" >/dev/null
  cmake --build build/win32 -j "$jobs"
  echo "This machine runs no 32-bit code: the 32-bit Windows build is built, not run."
fi
run_suite build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake "${windows[@]}"

# The browser version: its Node runner against the optimised Linux build, its page in Chromium.
TAVRIK_LINUX_BUILD="$PWD/build/release" TAVRIK_WIN_BUILD="$PWD/build/win64" scripts/test-web.sh

# The fuzz targets, a minute each.
scripts/fuzz.sh 60
