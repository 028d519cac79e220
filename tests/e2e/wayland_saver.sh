#!/usr/bin/env bash
# The saver (-s) on a Wayland session: an overlay on both outputs, drawn at each output's own
# pixels (the scale-2 output at its full size, not doubled), and the exit rules on input: a key
# ends it, 21 pointer moves, the middle button and the wheel are tolerated and the 22nd move
# ends it, and the left and right buttons end it at once. A second saver or window started
# meanwhile ends at once.
source "$(dirname "$0")/wayland_lib.sh"
start_sway "output HEADLESS-1 resolution 2560x1440 position 0 0 scale 2" \
  "output HEADLESS-2 resolution 1280x720 position 1280 0"
start_input_devices
cd "$E2E_DIR"

start_saver() {
  start_watched saver "$TAVRIK_BIN" -s
  SAVER=$WATCHED
}

expect_running() {
  kill -0 "$SAVER" 2>/dev/null && [ ! -e saver.end ] || fail "$1 ended the saver"
}

start_saver
for output in HEADLESS-1 HEADLESS-2; do
  best=$(output_lit "$output" "$output.png")
  echo "$output ($(output_size "$output")): $best lit pixels"
  [ "$best" -gt 2000 ] || fail "$output is (nearly) black: $best lit pixels"
done
[ "$(identify -format '%wx%h' HEADLESS-1.png)" = 2560x1440 ] || fail "the scale-2 shot is not 2560x1440"
read -r even every < <(edge_steps steps.png -o HEADLESS-1)
echo "scale-2 output: $every steps between neighbours, $even of them inside a pixel pair"
[ "$every" -gt 1000 ] || fail "too few edges on the scale-2 output to measure ($every)"
# A picture doubled from half the size changes colour only between pixel pairs; one drawn at
# the full size steps by single pixels, so about half of its steps fall inside the pairs.
[ $((even * 4)) -gt "$every" ] || fail "the scale-2 output is doubled: $even of $every steps"

# A second start, of the saver or a window, ends at once while the first runs on.
for args in -s -window ""; do
  status=0
  # shellcheck disable=SC2086
  timeout 5 "$TAVRIK_BIN" $args || status=$?
  [ "$status" = 0 ] || fail "a second start with '$args' ended with $status"
done
expect_running "a second start"

wtype a
expect_watched_end saver "exit 0" 15

start_saver
[ "$(output_lit HEADLESS-2 moves.png)" -gt 2000 ] || fail "no picture before the moves"
for i in $(seq 1 21); do
  pointer_do move 3 2
done
pointer_do button 274  # the middle button
pointer_do wheel
expect_running "21 pointer moves, the middle button and the wheel"
pointer_do move 3 2
expect_watched_end saver "exit 0" 15

for button in 272 273; do  # left, right
  start_saver
  [ "$(output_lit HEADLESS-2 "button-$button.png")" -gt 2000 ] || fail "no picture before button $button"
  pointer_do button "$button"
  expect_watched_end saver "exit 0" 15
done
echo "wayland saver: ok"
