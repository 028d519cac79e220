#!/usr/bin/env bash
# Outputs that come and go while the saver runs. A headless sway cannot unplug its outputs, so
# the saver runs in a second sway nested in the first, whose outputs are windows there: a new
# output gets a lit surface of its own at its scale, and an output unplugged (its window
# closed) takes only its own surface away; the saver runs on, on the outputs left. A headless
# output disabled and enabled again is lit again.
source "$(dirname "$0")/wayland_lib.sh"
start_sway "output HEADLESS-1 resolution 1600x900 position 0 0"
start_nested_sway 2 "output WL-3 scale 2"
start_input_devices
cd "$E2E_DIR"

# outer COMMAND...: the command on the outer sway.
outer() { WAYLAND_DISPLAY=$OUTER_WAYLAND_DISPLAY SWAYSOCK=$OUTER_SWAYSOCK "$@"; }
# new_frames OUTPUT: the output shows a new frame within 10 s.
new_frames() {
  FRAMES_OUTPUT=$1
  shot "$FRAMES_OUTPUT" before.png
  wait_for 10 frame_changed
}
frame_changed() { shot "$FRAMES_OUTPUT" after.png && ! cmp -s before.png after.png; }
running() { kill -0 "$SAVER" && [ ! -e saver.end ]; }

start_watched saver "$TAVRIK_BIN" -s
SAVER=$WATCHED
for output in WL-1 WL-2; do
  best=$(output_lit "$output" "$output.png")
  echo "$output ($(output_size "$output")): $best lit pixels"
  [ "$best" -gt 2000 ] || fail "$output is (nearly) black: $best lit pixels"
done

swaymsg create_output >/dev/null
wait_for 10 output_size WL-3 || fail "no third output"
best=$(output_lit WL-3 added.png)
echo "WL-3 ($(output_size WL-3), scale 2), added while the saver runs: $best lit pixels"
[ "$best" -gt 2000 ] || fail "the added output shows no picture: $best lit pixels"
read -r even every < <(edge_steps steps.png -o WL-3)
[ "$every" -gt 1000 ] || fail "too few edges on the added output to measure ($every)"
[ $((even * 4)) -gt "$every" ] || fail "the added scale-2 output's picture is doubled"

# Closing WL-2's window in the outer sway unplugs it.
outer swaymsg '[title="wlroots - WL-2"] kill' >/dev/null
unplugged() { ! swaymsg -t get_outputs -r | grep -q '"WL-2"'; }
wait_for 10 unplugged || fail "WL-2 is still there"
running || fail "unplugging an output ended the saver"
for output in WL-1 WL-3; do
  new_frames "$output" || fail "$output shows no new frames after WL-2 went"
done

# The same with a headless output of the outer sway's, disabled and enabled again (what sway
# 1.7 does to it: its frame callbacks stop and come back).
WAYLAND_DISPLAY=$OUTER_WAYLAND_DISPLAY SWAYSOCK=$OUTER_SWAYSOCK TAVRIK_BIN=$TAVRIK_BIN \
  start_watched outer "$TAVRIK_BIN" -root
OUTER_ROOT=$WATCHED
outer swaymsg create_output >/dev/null
outer_lit() { [ "$(WAYLAND_DISPLAY=$OUTER_WAYLAND_DISPLAY output_lit HEADLESS-2 outer.png)" -gt 2000 ]; }
outer_lit || fail "the outer sway's new output shows no picture"
outer swaymsg output HEADLESS-2 disable >/dev/null
outer swaymsg output HEADLESS-2 enable >/dev/null
WAYLAND_DISPLAY=$OUTER_WAYLAND_DISPLAY new_frames HEADLESS-2 ||
  fail "the outer output shows no new frames once enabled again"
kill -0 "$OUTER_ROOT" || fail "-root ended on the outer sway"
kill -TERM "$OUTER_ROOT"
expect_watched_end outer "signal 15" 15

running || fail "the saver ended"
wtype a
expect_watched_end saver "exit 0" 15
echo "wayland hotplug: ok"
