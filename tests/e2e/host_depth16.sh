#!/usr/bin/env bash
# A 16-bit X display (RGB565 visuals, as Xvfb's -screen 0 WxHx16 and older hardware give): the
# ordinary window, full screen, -root and the preview all draw a lit picture, and end as on any
# other display.
source "$(dirname "$0")/lib.sh"
start_xvfb 1024x768x16
cd "$E2E_DIR"
[ "$(xwininfo -root | awk '/Depth:/ {print $2}')" = 16 ] || fail "the display is not 16-bit"

# -window: the scene in an ordinary window; q ends it with 0.
"$TAVRIK_BIN" -window --seed 3 --resolution 640x480 2>window.txt &
saver=$!
E2E_PIDS+=("$saver")
wait_for 10 xdotool search --class TavrikWindow || fail "-window: no window: $(cat window.txt)"
window=$(xdotool search --class TavrikWindow | head -n 1)
lit=$(best_lit "$window" window 2000)
echo "16-bit -window: $lit lit pixels"
[ "$lit" -gt 2000 ] || fail "-window drew no scene on a 16-bit display ($lit lit pixels)"
xdotool mousemove --window "$window" 20 20
sleep 0.5
xdotool key q
wait_exit "$saver" 15
[ "$EXIT_STATUS" = 0 ] || fail "-window ended with '$EXIT_STATUS': $(cat window.txt)"

# -s: the scene over the whole screen; a key ends it with 0.
xdotool mousemove 512 384
"$TAVRIK_BIN" -s --seed 7 2>full.txt &
saver=$!
E2E_PIDS+=("$saver")
wait_for 10 xdotool search --class TavrikWindow || fail "-s: no window: $(cat full.txt)"
read -r best colours < <(scene_shots full)
echo "16-bit -s: $best lit pixels, $colours colours"
[ "$best" -gt 2000 ] || fail "-s drew no scene on a 16-bit display ($best lit pixels)"
[ "$colours" -gt 8 ] || fail "-s shows only $colours colours"
xdotool key a
wait_exit "$saver" 15
[ "$EXIT_STATUS" = 0 ] || fail "-s ended with '$EXIT_STATUS': $(cat full.txt)"

# -root into a host's window: drawn over the host's grey, with the readout; SIGTERM ends it.
drawn_over() {
  import -window "$1" "$2.png" && [ "$(count_colour "$2.png" '#303030' 2%)" -lt 100 ]
}
start_host_window 320 240
XSCREENSAVER_WINDOW=$HOST_WINDOW "$TAVRIK_BIN" -root -fps 2>root.txt &
saver=$!
E2E_PIDS+=("$saver")
wait_for 30 drawn_over "$HOST_WINDOW" root-drawn || fail "-root drew nothing: $(cat root.txt)"
lit=$(best_lit "$HOST_WINDOW" root 500)
echo "16-bit -root: $lit lit pixels"
[ "$lit" -gt 500 ] || fail "-root drew no scene on a 16-bit display ($lit lit pixels)"
[ "$(readout_white "$HOST_WINDOW")" -gt 40 ] || fail "-root -fps shows no readout"
kill -TERM "$saver"
wait_exit "$saver" 15
[ "$EXIT_STATUS" = 143 ] || fail "SIGTERM ended -root with '$EXIT_STATUS': $(cat root.txt)"
kill -TERM "$HOST_WINDOW_PID"

# -p: the logo stretched over the preview area, light blue where the dart is.
start_host_window 200 150
"$TAVRIK_BIN" -p "$(printf '%d' "$HOST_WINDOW")" 2>preview.txt &
saver=$!
E2E_PIDS+=("$saver")
blue=0
for _ in $(seq 1 40); do
  import -window "$HOST_WINDOW" preview.png
  blue=$(count_colour preview.png '#8cc8ff' 6%)
  [ "$blue" -gt 4000 ] && break
  sleep 0.25
done
echo "16-bit -p: $blue light-blue pixels"
[ "$blue" -gt 4000 ] || fail "-p shows no logo on a 16-bit display ($blue light-blue pixels)"
kill -TERM "$HOST_WINDOW_PID"
wait_exit "$saver" 15
[ "$EXIT_STATUS" = 0 ] || fail "-p ended with '$EXIT_STATUS' when its area went: $(cat preview.txt)"
echo "16-bit display: ok"
