#!/usr/bin/env bash
# The GL device (-device gl) on Xvfb's GL, Mesa's llvmpipe: an ordinary window and a host's window
# show the scene and end on q, SIGTERM and the window's destruction (with 0, or killed by the
# signal); without -device the software device draws, llvmpipe being no hardware. -fps names the
# device on standard error.
source "$(dirname "$0")/lib.sh"
start_xvfb 1024x768x24
cd "$E2E_DIR"

# Mesa's driver is unloaded when the display is closed at the end, and blocks that only its own
# data still pointed to then look leaked, without a name to suppress them by (with the driver
# kept loaded, none is reported). The leak check is off for the runs that draw with GL.
GL_ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

# start_saver LOG ARGS...: starts tavrik -fps, and waits for its word on the device chosen.
start_saver() {
  local log=$1
  shift
  "$TAVRIK_BIN" -fps "$@" 2>"$log" &
  SAVER=$!
  E2E_PIDS+=("$SAVER")
  wait_for 20 grep -q "drawing with" "$log" || fail "no word on the device: $(cat "$log")"
}

# expect_ended WHAT [STATUS]: the run ends, with 0 or the status given.
expect_ended() {
  wait_exit "$SAVER" 15
  [ "$EXIT_STATUS" = "${2:-0}" ] || fail "$1: expected an end with ${2:-0}, got '$EXIT_STATUS'"
}

find_window() {
  wait_for 10 xdotool search --class TavrikWindow || fail "no TavrikWindow window appeared"
  WINDOW=$(xdotool search --class TavrikWindow | head -n 1)
}

# The window shows the scene in its colours, with the readout drawn by GL in the corner.
ASAN_OPTIONS=$GL_ASAN_OPTIONS start_saver window.txt -window -device gl --resolution 640x480 --seed 3
grep -q "drawing with OpenGL (llvmpipe" window.txt || fail "-device gl: $(cat window.txt)"
find_window
read -r best colours < <(scene_shots window)
echo "GL window: $best lit pixels, $colours colours"
[ "$best" -gt 2000 ] || fail "the GL window shows no scene ($best lit pixels)"
[ "$colours" -gt 8 ] || fail "only $colours colours in the GL window"
white=$(readout_white "$WINDOW")
[ "$white" -gt 40 ] || fail "no readout in the bottom left corner ($white white pixels)"
# Wider than 4:3: the picture keeps its shape between black bars, as the software path shows it.
xdotool windowsize "$WINDOW" 800 300
framed=no
for _ in $(seq 1 40); do
  import -window "$WINDOW" wide.png
  convert wide.png -crop 195x270+0+0 left-bar.png  # above the readout
  convert wide.png -crop 195x300+605+0 right-bar.png
  convert wide.png -crop 400x300+200+0 middle.png
  if [ "$(identify -format '%wx%h' wide.png)" = 800x300 ] &&
    [ "$(count_lit_pixels left-bar.png)" -eq 0 ] && [ "$(count_lit_pixels right-bar.png)" -eq 0 ] &&
    [ "$(count_lit_pixels middle.png)" -gt 200 ]; then
    framed=yes
    break
  fi
  sleep 0.25
done
[ "$framed" = yes ] || fail "at 800x300 the picture is not between black bars"
# Keys go to the window under the pointer; the first may come before the pointer is there.
xdotool mousemove --window "$WINDOW" 20 20
for _ in $(seq 1 10); do
  xdotool key q
  wait_exit "$SAVER" 1
  [ "$EXIT_STATUS" = running ] || break
done
[ "$EXIT_STATUS" = 0 ] || fail "q: expected an end with 0, got '$EXIT_STATUS'"

ASAN_OPTIONS=$GL_ASAN_OPTIONS start_saver term.txt -window -device gl --seed 3
find_window
kill -TERM "$SAVER"
expect_ended "SIGTERM" 143

# Its window destroyed by another program while GL draws in it.
ASAN_OPTIONS=$GL_ASAN_OPTIONS start_saver close.txt -window -device gl --seed 3
find_window
xdotool windowclose "$WINDOW"
expect_ended "the window's destruction"

# Without -device, llvmpipe leaves the picture to the software device.
start_saver default.txt -window --seed 3
grep -q "drawing with the software device" default.txt || fail "default: $(cat default.txt)"
kill -TERM "$SAVER"
expect_ended "SIGTERM, software device" 143

# -root into a host's window: drawn by GL, following the window's size, ending with 0 when the
# window goes. The host window's own background is dark grey (#303030).
start_host_window 320 240
XSCREENSAVER_WINDOW=$HOST_WINDOW ASAN_OPTIONS=$GL_ASAN_OPTIONS start_saver root.txt -root -device gl --seed 3
grep -q "drawing with OpenGL" root.txt || fail "-root -device gl: $(cat root.txt)"
lit=$(best_lit "$HOST_WINDOW" root 500)
echo "GL in a host window: $lit lit pixels"
[ "$lit" -gt 500 ] || fail "-root -device gl drew no scene ($lit lit pixels)"
[ "$(readout_white "$HOST_WINDOW")" -gt 40 ] || fail "-root -device gl shows no readout"
xdotool windowsize "$HOST_WINDOW" 600 200
grey=100000
for _ in $(seq 1 40); do
  import -window "$HOST_WINDOW" resized.png
  if [ "$(identify -format '%wx%h' resized.png)" = 600x200 ]; then
    grey=$(count_colour resized.png '#303030' 1%)
    [ "$grey" -lt 100 ] && break
  fi
  sleep 0.25
done
[ "$grey" -lt 100 ] || fail "after the resize $grey pixels still show the host's background"
kill -TERM "$HOST_WINDOW_PID"
expect_ended "the host window's destruction"

start_host_window 320 240
XSCREENSAVER_WINDOW=$HOST_WINDOW start_saver root-default.txt -root
grep -q "drawing with the software device" root-default.txt ||
  fail "-root without -device: $(cat root-default.txt)"
kill -TERM "$SAVER"
expect_ended "SIGTERM, -root" 143
echo "gl: ok"
