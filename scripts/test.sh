#!/usr/bin/env bash
# Builds TAVRIK twice (optimised, and with AddressSanitizer + UndefinedBehaviorSanitizer) and
# runs the whole test suite on both, end-to-end tests included; checks the formatting first.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

unformatted=$(git ls-files '*.cpp' '*.h' | xargs -r clang-format --dry-run -Werror 2>&1 | grep -c 'error:' || true)
if [ "$unformatted" != "0" ]; then
  git ls-files '*.cpp' '*.h' | xargs -r clang-format --dry-run -Werror
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
