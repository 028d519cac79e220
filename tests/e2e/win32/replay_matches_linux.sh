#!/usr/bin/env bash
# One program on two systems: tavrik-replay.exe under Wine and the Linux runner, given the same
# options, write byte-identical traces and PNG frames with identical pixels.
source "$(dirname "$0")/win_lib.sh"
support=$(cd "$(dirname "$0")/../../support" && pwd)
cd "$E2E_DIR"
reset_settings

# The runs every cross-check compares, one set of options a line.
mapfile -t runs <"$support/cross_check_runs.txt"
for i in "${!runs[@]}"; do
  # shellcheck disable=SC2206
  options=(${runs[$i]} --frame-ms 16 --frames 3000)
  win "$TAVRIK_REPLAY" "${options[@]}" --trace "windows-$i.jsonl" || fail "replay failed: ${runs[$i]}"
  "$TAVRIK_BIN" "${options[@]}" --trace "linux-$i.jsonl" || fail "runner failed: ${runs[$i]}"
  [ "$(wc -l <"linux-$i.jsonl")" -eq 3001 ] || fail "the Linux trace is not 3001 lines"
  cmp "windows-$i.jsonl" "linux-$i.jsonl" || fail "the traces differ: ${runs[$i]}"
done

# Frames spread over a minute of the scene, so that they show many shots; only the folders of a
# failed comparison are kept, since they are large.
for i in 0 1; do
  # shellcheck disable=SC2206
  options=(${runs[$i]} --frame-ms 3000 --frames 20)
  win "$TAVRIK_REPLAY" "${options[@]}" --output "windows-frames-$i" || fail "replay failed"
  "$TAVRIK_BIN" "${options[@]}" --output "linux-frames-$i" || fail "runner failed"
  for frame in "linux-frames-$i"/frame-*.png; do
    other="windows-frames-$i/$(basename "$frame")"
    [ -f "$other" ] || fail "$other is missing"
    differ=$(compare -metric AE "$frame" "$other" null: 2>&1 || true)
    [ "$differ" = 0 ] || fail "$other differs from $frame in $differ pixels"
  done
  [ "$(ls "windows-frames-$i" | wc -l)" -eq 20 ] || fail "the replay wrote other frames than 20"
  rm -rf "windows-frames-$i" "linux-frames-$i"
done
echo "PASS"
