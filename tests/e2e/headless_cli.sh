#!/usr/bin/env bash
# The headless runner from the command line: a reproducible header, clear one-line errors, and
# a progress line on a terminal only.
source "$(dirname "$0")/lib.sh"

cd "$E2E_DIR"
"$TAVRIK_BIN" --seed 12345 --frames 0 --trace a.jsonl || fail "headless run failed"
"$TAVRIK_BIN" --seed 12345 --frames 0 --trace b.jsonl || fail "second headless run failed"
[ "$(wc -l <a.jsonl)" -eq 1 ] || fail "expected exactly one header line"
# Without --frame-ms the real timer stamps the start: compare all but that.
sed 's/"startMs":[0-9]*,//' a.jsonl >a.cmp
sed 's/"startMs":[0-9]*,//' b.jsonl >b.cmp
cmp -s a.cmp b.cmp || fail "the same seed gave different headers"
grep -q '^{"seed":12345,"numHarriers":15,' a.jsonl || fail "unexpected header: $(head -c 200 a.jsonl)"

"$TAVRIK_BIN" --help >help.txt || fail "--help failed"
for word in --seed --frame-ms --frames --trace --clock-start --harriers --formation --triangle \
  --resolution --clouds; do
  grep -q -- "$word" help.txt || fail "--help does not document $word"
done

expect_error() {
  local status=0
  "$TAVRIK_BIN" "$@" >out.txt 2>err.txt || status=$?
  [ "$status" -ne 0 ] || fail "'$*' should have failed"
  [ "$(wc -l <err.txt)" -eq 1 ] || fail "'$*' should print one line, printed: $(cat err.txt)"
  [ ! -s out.txt ] || fail "'$*' wrote to standard output"
}
expect_error --frames
expect_error --frames ten
expect_error --frames $'5\n'
expect_error --harriers 99 --frames 1
expect_error --formation hexagon
expect_error --no-such-option
expect_error --trace /nonexistent/dir/t.jsonl --frames 1
for size in 0x480 640x0 8193x100 640x480x2 -640x480 x480; do
  expect_error --resolution "$size" --frames 1
done

# Any size is drawn as a window of that size would draw it, at its own size.
"$TAVRIK_BIN" --seed 1 --frame-ms 16 --frames 2 --resolution 1920x1080 --output hd ||
  fail "a 1920x1080 run failed"
[ "$(identify -format '%wx%h' hd/frame-00002.png)" = 1920x1080 ] || fail "the frame is not 1920x1080"
# On a terminal (a pseudo-terminal of script's) a line rewrites itself with the progress, and
# gives way at the end; elsewhere standard error stays empty.
run=(--seed 3 --frame-ms 16 --frames 120 --resolution 640x480 --output progress)
script -qec "$(printf '%q ' "$TAVRIK_BIN" "${run[@]}")" /dev/null >tty.txt || fail "the run on a terminal failed"
grep -aq $'\rtavrik: frame 120 of 120, [0-9.]* frames a second, 0 s left' tty.txt ||
  fail "no progress line on the terminal: $(od -c tty.txt | head -5)"
[ "$(tail -c 4 tty.txt | od -An -c | tr -d ' ')" = '\r033[K' ] || fail "the progress line stays after the run"
"$TAVRIK_BIN" "${run[@]}" 2>quiet.txt
[ ! -s quiet.txt ] || fail "progress written where standard error is no terminal: $(cat quiet.txt)"
echo "headless command line: ok"
