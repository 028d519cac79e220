#!/usr/bin/env bash
# The -fps readout stays legible over the lightest part of the scene: two lines, the frame rate
# with the device and the triangles per frame, in white on an opaque dark box in the bottom left
# corner, here over a cloud tile that fills the corner. Seed 12 at 500 ms a frame shows such a
# tile in frame 12 alone. The saver is held with SIGSTOP while the test looks at the window and
# let go for a twentieth of a second between looks: far less than the half second (-delay) from
# one frame to the next, so no frame goes by unseen, however slow the looks are.
source "$(dirname "$0")/lib.sh"
start_xvfb 1024x768x24
cd "$E2E_DIR"
export SDL_RENDER_DRIVER=software

"$TAVRIK_BIN" -window -fps -geometry 640x480+0+0 --resolution 640x480 --seed 12 --frame-ms 500 \
  -delay 500000 2>fps.txt &
saver=$!
E2E_PIDS+=("$saver")
wait_for 10 xdotool search --class TavrikWindow || fail "no window: $(cat fps.txt)"
window=$(xdotool search --class TavrikWindow | head -n 1)

# At 480 lines the cells are 3 pixels: the box is 42 pixels high, 6 above the bottom edge, and
# the strip just above it is the tile's light grey when the tile fills the corner.
light_above() {
  local light
  light=$(import -window "$window" png:- |
    convert - -crop 180x20+8+410 +repage -colorspace gray -threshold 50% \
      -format '%[fx:int(mean*100)]' info:)
  [ "$light" -gt 90 ]
}
found=no
for _ in $(seq 1 600); do
  kill -CONT "$saver"
  sleep 0.05
  kill -STOP "$saver"
  if light_above; then
    found=yes
    break
  fi
done
[ "$found" = yes ] || fail "the tile never filled the corner"
import -window "$window" shot.png
kill -CONT "$saver"
cp shot.png readout-over-tile.png
convert readout-over-tile.png -crop 240x90+0+390 +repage -scale 300% readout-zoom.png
echo "the readout over a light tile: readout-over-tile.png, enlarged in readout-zoom.png"
# Inside the box every pixel is the box's black or the text's white, though the tile is light all
# around it.
convert readout-over-tile.png -crop 170x36+10+435 +repage box.png
black=$(count_colour box.png '#000000' 1%)
white=$(count_colour box.png '#ffffff' 1%)
total=$(identify -format '%[fx:w*h]' box.png)
echo "in the box: $black black, $white white of $total pixels"
[ $((black + white)) -eq "$total" ] || fail "the box lets the scene through"
[ "$white" -gt 400 ] && [ "$black" -gt $((total / 2)) ] || fail "no white text on a dark box"
# Two lines of text: white rows in the upper and in the lower half of the box.
convert box.png -crop 170x18+0+0 +repage upper.png
convert box.png -crop 170x18+0+18 +repage lower.png
[ "$(count_colour upper.png '#ffffff' 1%)" -gt 150 ] || fail "no first line"
[ "$(count_colour lower.png '#ffffff' 1%)" -gt 150 ] || fail "no second line"
kill -TERM "$saver"
wait_exit "$saver" 15
[ "$EXIT_STATUS" = 143 ] || fail "SIGTERM ended the run with '$EXIT_STATUS'"
echo "readout: ok"
