#!/usr/bin/env bash
# The ordinary window (no arguments, or -window): the same picture, kept at 4:3 when the window
# changes shape, placed by -geometry on the -display given; Esc or q close it, and so does its
# destruction by someone else, always with 0.
source "$(dirname "$0")/lib.sh"
start_xvfb 1024x768x24
cd "$E2E_DIR"
export SDL_RENDER_DRIVER=software

start_window() {
  "$TAVRIK_BIN" "$@" &
  SAVER=$!
  E2E_PIDS+=("$SAVER")
  wait_for 10 xdotool search --class TavrikWindow || fail "no TavrikWindow window appeared"
  WINDOW=$(xdotool search --class TavrikWindow | head -n 1)
  # Without a window manager the keyboard follows the pointer.
  xdotool mousemove --window "$WINDOW" 20 20
  sleep 1
}

expect_ended() {
  wait_exit "$SAVER" 15
  [ "$EXIT_STATUS" = 0 ] || fail "$1: expected the window to end with 0, got '$EXIT_STATUS'"
}

start_window --seed 3 --resolution 640x480
size=$(xwininfo -id "$WINDOW" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w "x" h}')
[ "$size" = 640x480 ] || fail "the window opened at $size, not at the picture's 640x480"
best=$(best_lit "$WINDOW" window 1000)
echo "window: $best lit pixels"
[ "$best" -gt 200 ] || fail "the window shows no scene ($best lit pixels)"

# Mouse moves and clicks do not close an ordinary window.
for i in $(seq 1 30); do
  xdotool mousemove --window "$WINDOW" $((20 + i * 5)) $((20 + i * 3))
done
xdotool click 1 click 3
sleep 0.5
kill -0 "$SAVER" 2>/dev/null || fail "mouse input closed the window"

# Wider than 4:3: black bars left and right of the picture.
xdotool windowsize "$WINDOW" 800 300
sleep 1
import -window "$WINDOW" wide.png
[ "$(identify -format '%wx%h' wide.png)" = 800x300 ] || fail "the window was not resized"
convert wide.png -crop 195x300+0+0 left-bar.png
convert wide.png -crop 195x300+605+0 right-bar.png
[ "$(count_lit_pixels left-bar.png)" -eq 0 ] || fail "the left bar is not black"
[ "$(count_lit_pixels right-bar.png)" -eq 0 ] || fail "the right bar is not black"

xdotool mousemove --window "$WINDOW" 400 150 key q
expect_ended "q"

# At the window's own size the picture fills the window, whatever its shape: no bars.
start_window --resolution screen --seed 3
xdotool windowsize "$WINDOW" 800 300
lit=0
for shot in $(seq 1 40); do
  import -window "$WINDOW" screen-wide.png
  convert screen-wide.png -crop 100x300+0+0 screen-left.png
  lit=$(count_lit_pixels screen-left.png)
  [ "$lit" -gt 20 ] && break
  sleep 0.5
done
[ "$(identify -format '%wx%h' screen-wide.png)" = 800x300 ] || fail "the window was not resized"
[ "$lit" -gt 20 ] || fail "at the window's size the picture left its left edge black"
xdotool key q
expect_ended "q, at the window's size"

# -window with -display and -geometry as every X program takes them, $DISPLAY unset.
env -u DISPLAY "$TAVRIK_BIN" -window -display "$DISPLAY" -geometry 400x300+50+60 -delay 20000 &
SAVER=$!
E2E_PIDS+=("$SAVER")
wait_for 10 xdotool search --class TavrikWindow || fail "-display: no TavrikWindow window appeared"
WINDOW=$(xdotool search --class TavrikWindow | head -n 1)
place=$(xwininfo -id "$WINDOW" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4}
  /Width:/{w=$2} /Height:/{h=$2} END{print w "x" h "+" x "+" y}')
[ "$place" = 400x300+50+60 ] || fail "-geometry 400x300+50+60 gave a window at $place"
xdotool mousemove --window "$WINDOW" 20 20
sleep 1
xdotool key Escape
expect_ended "Esc"

# Its window destroyed by another program: it ends, with 0, whatever draws it.
start_window
xdotool windowclose "$WINDOW"
expect_ended "the window's destruction"
(
  unset SDL_RENDER_DRIVER
  export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"  # see host_fullscreen.sh
  start_window
  xdotool windowclose "$WINDOW"
  expect_ended "the window's destruction, default renderer"
)
echo "windowed: ok"
