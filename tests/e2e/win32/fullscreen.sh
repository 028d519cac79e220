#!/usr/bin/env bash
# tavrik.scr /s under Wine: a "TavrikWindow" pop-up over the whole screen that shows the scene,
# the exit rules on input, and the single-instance rule. This screen offers no 640 x 480 mode,
# so the run draws in software through GDI: 4:3 with black bars beside it.
source "$(dirname "$0")/win_lib.sh"
win_display 1280x768x24
cd "$E2E_DIR"
reset_settings

start_saver() {
  xdotool mousemove 512 384
  start_scr /s
  wait_for 20 probe find-class TavrikWindow || fail "no TavrikWindow window appeared"
  sleep 1
}

expect_ended() {
  wait_exit "$SAVER" 10
  [ "$EXIT_STATUS" = 0 ] || fail "$1: expected the saver to end with 0, got '$EXIT_STATUS'"
}

expect_running() {
  sleep 1
  kill -0 "$SAVER" 2>/dev/null || fail "$1 ended the saver"
}

# The window and its picture: the whole screen, not black, in the scene's colours.
start_saver
probe find-class TavrikWindow >window.txt
grep -qx 'title=Tavrik' window.txt || fail "the window's title is not Tavrik: $(cat window.txt)"
grep -qx 'rect=0,0,1280,768' window.txt || fail "the window does not cover the screen"
grep -qx 'style=0x9.000000' window.txt || fail "not a visible pop-up window: $(cat window.txt)"
read -r best colours < <(scene_shots fullscreen)
echo "full screen: $best lit pixels, $colours colours"
[ "$best" -gt 200 ] || fail "the screen is (nearly) black: $best lit pixels"
[ "$colours" -gt 4 ] || fail "only $colours colours on the screen"
# The 640 x 480 picture scaled to 1024 x 768 in the middle: the 128 columns on each side are bars.
shot=$(ls -t fullscreen-*.png | head -n 1)
for bar in 128x768+0+0 128x768+1152+0; do
  convert "$shot" -crop "$bar" +repage "bar.png"
  [ "$(count_lit_pixels bar.png)" = 0 ] || fail "the bar $bar is not black"
done

# A second start, with any switch, ends at once while the first runs on.
for switch in /s -s /p /c /a; do
  status=0
  timeout 20 "$WINE" "$TAVRIK_SCR" "$switch" || status=$?
  [ "$status" = 0 ] || fail "a second start with $switch ended with $status"
done
expect_running "a second start"

# The middle button and Alt do not end it; one key press does.
xdotool click 2
xdotool key alt
expect_running "the middle button or Alt"
xdotool key a
expect_ended "a key press"
probe find-class TavrikWindow && fail "the window is still there after the saver ended"

# Left and right buttons end it at once.
for button in 1 3; do
  start_saver
  xdotool click "$button"
  expect_ended "button $button"
done

# 21 mouse-move messages are tolerated and the 22nd ends it. The window gets the first when it
# appears under the pointer, so 20 moves of the pointer leave it running and the 21st ends it.
# Each move is read before the next is made: moves still queued together count as one, and so
# would the window's first with the test's first move.
start_saver
probe sync-class TavrikWindow || fail "the saver takes no messages"
for i in $(seq 1 20); do
  xdotool mousemove $((100 + i * 20)) 300
  probe sync-class TavrikWindow || fail "the saver took no message after pointer move $i"
done
expect_running "20 pointer moves"
xdotool mousemove 700 500
expect_ended "the 21st pointer move"
echo "PASS"
