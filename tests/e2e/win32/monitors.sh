#!/usr/bin/env bash
# tavrik.scr /s on more than one monitor: every monitor but the primary gets a black, topmost
# "TavrikWindow" that ends the run on the same input, and on one monitor nothing changes.
# Xvfb places all its screens at the origin, so Wine can report a second monitor but only on top
# of the first: that run checks the windows against the monitors Wine reports. The pictures are
# checked on one wide screen, with two monitors side by side given to the saver in
# TAVRIK_TEST_MONITORS in place of the system's.
source "$(dirname "$0")/win_lib.sh"
cd "$E2E_DIR"
reset_settings

# Two Xvfb screens joined by Xinerama, without RandR, which Wine would ask first.
two_screens() {
  local base=${E2E_DISPLAY_BASE:-90} n
  end_wine
  for n in $(seq "$base" $((base + 50))); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
      Xvfb ":$n" -screen 0 640x480x24 -screen 1 800x600x24 +xinerama -extension RANDR \
        -nolisten tcp -noreset >"$E2E_DIR/xvfb.log" 2>&1 &
      E2E_PIDS+=($!)
      export DISPLAY=":$n"
      wait_for 5 xdpyinfo || fail "Xvfb did not start on :$n"
      return 0
    fi
  done
  fail "no free X display"
}

start_saver() {
  xdotool mousemove 100 100
  start_scr /s
  wait_for 20 probe find-class TavrikWindow || fail "no TavrikWindow window appeared"
  sleep 2
}

expect_ended() {
  wait_exit "$SAVER" 10
  [ "$EXIT_STATUS" = 0 ] || fail "$1: expected the saver to end with 0, got '$EXIT_STATUS'"
}

# The saver's windows as "rect exstyle" lines.
saver_windows() {
  probe all-of-class TavrikWindow | awk -F= '/^rect=/ {r = $2} /^exstyle=/ {print r, $2}' | sort
}

# has_window "RECT EXSTYLE": one of the saver's windows is that. The covers take their place
# only once the run is up, which under load comes well after the first window shows.
has_window() {
  saver_windows | grep -qx "$1"
}

# The lit pixels of one part of a screenshot.
lit_in() {
  convert "$1" -crop "$2" +repage part.png
  count_lit_pixels part.png
}

# Wine's two monitors: the second gets a topmost window of its own size.
two_screens
probe monitors >monitors.txt
grep -qx 'count=2' monitors.txt || fail "Wine reports other than two monitors: $(cat monitors.txt)"
start_saver
wait_for 20 has_window '0,0,800,600 0x00000008' || fail "no topmost window over the second
monitor: $(saver_windows)"
saver_windows >windows.txt
[ "$(wc -l <windows.txt)" = 2 ] || fail "expected two windows: $(cat windows.txt)"
xdotool key a
expect_ended "a key press with two monitors"

# One monitor: one window, and the picture reaches the right half of the wide screen (its 4:3
# picture fills the middle, x 320 to 960).
win_display 1280x480x24
start_saver
[ "$(saver_windows | wc -l)" = 1 ] || fail "more than one window on one monitor: $(saver_windows)"
right=0
for shot in $(seq 1 30); do
  import -window root "one-$shot.png"
  right=$(lit_in "one-$shot.png" 640x480+640+0)
  [ "$right" -gt 100 ] && break
  sleep 0.5
done
echo "one monitor: $right lit pixels in the right half"
[ "$right" -gt 100 ] || fail "the picture never reached the right half"
xdotool key a
expect_ended "a key press on one monitor"

# Two monitors side by side: the right one stays black while the left shows the scene.
export TAVRIK_TEST_MONITORS="0,0,640,480;640,0,1280,480"
start_saver
wait_for 20 has_window '640,0,1280,480 0x00000008' || fail "no topmost window over the right
monitor: $(saver_windows)"
best=0
for shot in $(seq 1 30); do
  import -window root "two-$shot.png"
  right=$(lit_in "two-$shot.png" 640x480+640+0)
  [ "$right" = 0 ] || fail "the right monitor is not black in two-$shot.png: $right lit pixels"
  left=$(lit_in "two-$shot.png" 640x480+0+0)
  [ "$left" -gt "$best" ] && best=$left
  [ "$best" -gt 100 ] && [ "$shot" -ge 10 ] && break
  sleep 0.5
done
echo "two monitors: the right one black, up to $best lit pixels on the left"
[ "$best" -gt 100 ] || fail "the primary shows no scene"
xdotool key a
expect_ended "a key press with two monitors side by side"

# A button over the other monitor ends the run too.
start_saver
xdotool mousemove 960 240 click 1
expect_ended "a click on the other monitor"
echo "PASS"
