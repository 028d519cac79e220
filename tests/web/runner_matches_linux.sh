#!/usr/bin/env bash
# One runner on two systems: the headless runner built to WebAssembly, under Node, and the Linux
# program's headless mode, given the same options, write byte-identical traces and PNG frames
# with identical pixels.
#   runner_matches_linux.sh NODE_RUNNER_JS TAVRIK_BIN WORK_DIR
set -euo pipefail
wasm=$1 native=$2 work=$3
support=$(cd "$(dirname "$0")/../support" && pwd)
rm -rf "$work"
mkdir -p "$work"
cd "$work"
# Fresh settings for the Linux program: the Node runner starts from the defaults.
export XDG_CONFIG_HOME="$work/config"
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
node_runner() {
  node --no-experimental-fetch "$wasm" "$@"
}

# The runs every cross-check compares, one set of options a line.
mapfile -t runs <"$support/cross_check_runs.txt"
for i in "${!runs[@]}"; do
  # shellcheck disable=SC2206
  options=(${runs[$i]} --frame-ms 16 --frames 3000)
  node_runner "${options[@]}" --trace "wasm-$i.jsonl" || fail "the Node runner failed: ${runs[$i]}"
  "$native" "${options[@]}" --trace "linux-$i.jsonl" || fail "the Linux runner failed"
  [ "$(wc -l <"linux-$i.jsonl")" -eq 3001 ] || fail "the Linux trace is not 3001 lines"
  cmp "wasm-$i.jsonl" "linux-$i.jsonl" || fail "the traces differ: ${runs[$i]}"
  echo "ok   the traces agree: ${runs[$i]}"
done

# Frames spread over a minute of the scene, so that they show many shots.
for i in 0 2; do
  # shellcheck disable=SC2206
  options=(${runs[$i]} --frame-ms 3000 --frames 20)
  node_runner "${options[@]}" --output "wasm-frames-$i" || fail "the Node runner failed"
  "$native" "${options[@]}" --output "linux-frames-$i" || fail "the Linux runner failed"
  [ "$(find "wasm-frames-$i" -name 'frame-*.png' | wc -l)" -eq 20 ] ||
    fail "the Node runner wrote other frames than 20"
  for frame in "linux-frames-$i"/frame-*.png; do
    other="wasm-frames-$i/$(basename "$frame")"
    differ=$(compare -metric AE "$frame" "$other" null: 2>&1 || true)
    [ "$differ" = 0 ] || fail "$other differs from $frame in $differ pixels"
  done
  echo "ok   20 frames with the same pixels: ${runs[$i]}"
done
echo "PASS"
