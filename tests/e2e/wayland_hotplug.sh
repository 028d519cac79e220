#!/usr/bin/env bash
# Outputs that come and go while the saver runs: a new output gets a lit surface of its own, and
# one disabled stops only its own frames; the saver runs on, on the outputs left, and lights the
# output again when it is enabled.
source "$(dirname "$0")/wayland_lib.sh"
start_sway "output HEADLESS-1 resolution 1280x720 position 0 0" \
  "output HEADLESS-2 resolution 1280x720 position 1280 0" \
  "output HEADLESS-3 resolution 1024x768 position 2560 0 scale 2"
start_input_devices
cd "$E2E_DIR"

start_watched saver "$TAVRIK_BIN" -s
SAVER=$WATCHED
for output in HEADLESS-1 HEADLESS-2; do
  [ "$(output_lit "$output" "$output.png")" -gt 2000 ] || fail "$output is (nearly) black"
done

swaymsg create_output >/dev/null
wait_for 10 output_size HEADLESS-3 || fail "no third output"
best=$(output_lit HEADLESS-3 added.png)
echo "HEADLESS-3 ($(output_size HEADLESS-3)), added while the saver runs: $best lit pixels"
[ "$best" -gt 2000 ] || fail "the added output shows no picture: $best lit pixels"
read -r even every < <(edge_steps steps.png -o HEADLESS-3)
[ "$every" -gt 1000 ] || fail "too few edges on the added output to measure ($every)"
[ $((even * 4)) -gt "$every" ] || fail "the added scale-2 output's picture is doubled"

# sway 1.7 has no "unplug" and keeps a headless output's wl_output global while it lives; the
# nearest it offers is disabling the output, which stops its frame callbacks. The saver runs on,
# the other outputs keep showing new frames, and the output enabled again is lit again.
swaymsg output HEADLESS-3 disable >/dev/null
kill -0 "$SAVER" && [ ! -e saver.end ] || fail "disabling an output ended the saver"
new_frames() {
  local output=$1
  shot "$output" before.png
  changed() { shot "$output" after.png && ! cmp -s before.png after.png; }
  wait_for 10 changed
}
for output in HEADLESS-1 HEADLESS-2; do
  new_frames "$output" || fail "$output shows no new frames with HEADLESS-3 disabled"
done
swaymsg output HEADLESS-3 enable >/dev/null
new_frames HEADLESS-3 || fail "HEADLESS-3 shows no new frames once enabled again"
[ "$(output_lit HEADLESS-3 enabled.png)" -gt 2000 ] || fail "HEADLESS-3 is (nearly) black once enabled again"
kill -0 "$SAVER" && [ ! -e saver.end ] || fail "the saver ended"

wtype a
expect_watched_end saver "exit 0" 15
echo "wayland hotplug: ok"
