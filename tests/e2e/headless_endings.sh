#!/usr/bin/env bash
# How a headless run ends early: on SIGTERM, SIGINT and SIGHUP after its current frame, with a
# trace whose every line parses and a last picture that decodes, and then killed by that signal
# (the shell's $? is 128 + its number, and WIFSIGNALED holds); on a full disk with the unfinished
# picture removed and one line on standard error.
source "$(dirname "$0")/lib.sh"
cd "$E2E_DIR"

check_trace() {
  python3 - "$1" <<'PY' || fail "$1 has a line that does not parse"
import json, sys
for line in open(sys.argv[1]):
    json.loads(line)
PY
}

enough_pictures() {
  [ "$(ls "$1" 2>/dev/null | wc -l)" -ge 3 ]
}
for signal in TERM INT HUP; do
  number=$(kill -l "$signal")
  # Run by the shell, for $?.
  "$TAVRIK_BIN" --seed 7 --frames 1000000 --output "$signal-shell" &
  pid=$!
  wait_for 60 enough_pictures "$signal-shell" || fail "SIG$signal: no pictures in time"
  kill "-$signal" "$pid"
  status=0
  wait "$pid" || status=$?
  [ "$status" -eq $((128 + number)) ] || fail "SIG$signal: \$? is $status, not $((128 + number))"
  # Watched, for WIFSIGNALED, with the trace.
  start_watched "$signal" "$TAVRIK_BIN" --seed 7 --frames 1000000 --output "$signal" \
    --trace "$signal.jsonl"
  wait_for 60 enough_pictures "$signal" || fail "SIG$signal: no pictures in time"
  kill "-$signal" "$WATCHED"
  expect_watched_end "$signal" "signal $number" 30
  check_trace "$signal.jsonl"
  pictures=$(ls "$signal" | wc -l)
  [ "$pictures" -ge 3 ] || fail "SIG$signal: only $pictures pictures"
  [ "$(wc -l <"$signal.jsonl")" -eq $((pictures + 1)) ] ||
    fail "SIG$signal: $(wc -l <"$signal.jsonl") trace lines for $pictures pictures"
  last=$(ls "$signal" | tail -1)
  identify -regard-warnings "$signal/$last" >/dev/null 2>&1 || fail "SIG$signal: $last is broken"
done

# A folder on a 256 KiB file system fills after a few dozen frames. The file system is mounted
# in a mount namespace of its own, so nothing is left mounted; without one the test is skipped.
if unshare -rm true 2>/dev/null; then
  mkdir -p full
  status=0
  unshare -rm bash -c 'mount -t tmpfs -o size=256k tmpfs full && "$@" 2>err.txt;
    status=$?; ls -l full/out >listing.txt; exit $status' _ \
    "$TAVRIK_BIN" --seed 7 --frames 500 --frame-ms 16 --resolution 1024x768 --output full/out ||
    status=$?
  [ "$status" -eq 1 ] || fail "full disk: exit code $status, stderr: $(cat err.txt)"
  [ "$(wc -l <err.txt)" -eq 1 ] || fail "full disk: expected one line, got: $(cat err.txt)"
  grep -q "No space left on device" err.txt || fail "full disk: no reason given: $(cat err.txt)"
  ! grep -q ' 0 .*frame-' listing.txt || fail "full disk: an empty picture was left: $(cat listing.txt)"
  last=$(grep -o 'frame-[0-9]*\.png' listing.txt | tail -1)
  grep -q "frame-" err.txt && ! grep -q "$last" err.txt ||
    fail "full disk: the picture named in the error ($(cat err.txt)) was left behind"
else
  echo "no mount namespace here: the full-disk case is skipped"
fi
echo "headless endings: ok"
