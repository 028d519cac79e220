#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz with clang in build/fuzz and runs each for SECONDS
# (default 60), starting from a scratch copy of its seed corpus so that no new input lands in the
# repository. Prints each target's executions and whether it crashed; a crash's input is kept in
# build/fuzz/crashes/TARGET/ and the script exits non-zero.
# Usage: scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
targets=(settings_file_fuzz switches_fuzz linux_command_line_fuzz dialog_fuzz)
build=build/fuzz

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DTAVRIK_FUZZ=ON >/dev/null
cmake --build "$build" -j "$(nproc)"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export UBSAN_OPTIONS=print_stacktrace=1
crashed=0
for target in "${targets[@]}"; do
  work=$scratch/$target
  mkdir -p "$work/corpus" "$work/artifacts" "$work/tmp"
  cp tests/fuzz/corpus/"$target"/* "$work/corpus/"
  status=0
  # The settings target's scratch file goes to TMPDIR, removed with the rest.
  TMPDIR=$work/tmp "$build/tests/fuzz/$target" -max_total_time="$seconds" -timeout=10 \
    -print_final_stats=1 -artifact_prefix="$work/artifacts/" "$work/corpus" >"$work/log" 2>&1 ||
    status=$?
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log" | tail -n 1)
  if [ "$status" -eq 0 ] && [ -z "$(ls -A "$work/artifacts")" ]; then
    printf '%-26s %12s executions, no crash\n' "$target" "${executions:-?}"
  else
    crashed=1
    mkdir -p "$build/crashes/$target"
    cp "$work/artifacts"/* "$build/crashes/$target/" 2>/dev/null || true
    grep -v '^#' "$work/log" | tail -n 40 >&2
    printf '%-26s %12s executions, CRASH (exit %d), input in %s\n' "$target" "${executions:-?}" \
      "$status" "$build/crashes/$target/"
  fi
done
exit "$crashed"
