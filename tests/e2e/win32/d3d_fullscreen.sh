#!/usr/bin/env bash
# tavrik.scr /s with Direct3D under Wine, on screens of the modes' own sizes: the run takes the
# display in exclusive full-screen mode and shows the scene, survives another program taking
# the display for a while, keeps the exit rules, and leaves the display as it found it.
source "$(dirname "$0")/win_lib.sh"
cd "$E2E_DIR"
reset_settings

start_saver() {
  xdotool mousemove 200 200
  start_scr /s
  wait_for 20 probe find-class TavrikWindow || fail "no TavrikWindow window appeared"
}

# Exclusive full-screen mode puts the device's window on top of every other. The device comes up
# a while after the window: seconds under Wine on a loaded or emulated machine.
exclusive() {
  probe find-class TavrikWindow >window.txt
  local exstyle
  exstyle=$(sed -n 's/^exstyle=//p' window.txt)
  [ -n "$exstyle" ] && [ $((exstyle & 0x8)) -ne 0 ]
}

expect_exclusive() {
  wait_for 30 exclusive ||
    fail "the run did not take the display (exstyle $(sed -n 's/^exstyle=//p' window.txt))"
  grep -qx "rect=0,0,$1" window.txt || fail "the window does not cover the $1 screen"
}

expect_scene() {
  local best
  best=$(best_lit root "$1" 2000)
  echo "$1: $best lit pixels"
  [ "$best" -gt 200 ] || fail "$1: the screen is (nearly) black"
}

# The default, 640 x 480.
win_display 640x480x24
before=$(probe_value mode display-mode)
start_saver
expect_exclusive 640,480
expect_scene d3d-640
status=0
timeout 20 "$WINE" "$TAVRIK_SCR" /s || status=$?
[ "$status" = 0 ] || fail "a second start ended with $status"

# Another exclusive program takes the display and gives it back: the run restores its surfaces.
win "$TAVRIK_REPLAY" --device d3d --seed 1 --frame-ms 16 --frames 60 2>replay.txt ||
  fail "the second program failed: $(cat replay.txt)"
grep -q "Direct3D at 640x480x16" replay.txt || fail "the second program: $(cat replay.txt)"
kill -0 "$SAVER" 2>/dev/null || fail "losing the display ended the saver"
expect_scene d3d-after-loss

xdotool key a
wait_exit "$SAVER" 10
[ "$EXIT_STATUS" = 0 ] || fail "a key press ended the saver with '$EXIT_STATUS'"
after=$(probe_value mode display-mode)
[ "$after" = "$before" ] || fail "the display is $after after the run, $before before"

# 1024 x 768; the left button ends it.
"$WINE" reg add 'HKCU\Software\Tavrik10618' /v mode /t REG_DWORD /d 2 /f >/dev/null
win_display 1024x768x24
start_saver
expect_exclusive 1024,768
expect_scene d3d-1024
xdotool click 1
wait_exit "$SAVER" 10
[ "$EXIT_STATUS" = 0 ] || fail "the left button ended the saver with '$EXIT_STATUS'"
echo "PASS"
