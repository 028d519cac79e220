#!/usr/bin/env bash
# -root on a 3840x2160 screen draws at the screen's own size: the picture fills the screen (no
# bars beside a 4:3 picture) and its edges step by single pixels. The 640x480 picture scaled up
# to the same screen, with bars and edges in blocks of four or five pixels, shows the test can
# tell the two apart.
source "$(dirname "$0")/lib.sh"
start_xvfb 3840x2160x24
cd "$E2E_DIR"

# The cloud tiles' colour (one flat colour: they all face up) as a mask, and the number of places
# where a tile's left edge moves by exactly one pixel from one row to the next: a slanted edge
# drawn at the screen's size does so all along; one scaled up from a smaller picture never does.
one_pixel_steps() {
  convert "$1" -fuzz 3% -fill white -opaque '#9C9AAD' -fill black +opaque white \
    -colorspace gray -depth 8 gray:- | python3 -c '
import sys
width = 3840
mask = sys.stdin.buffer.read()
previous, steps = set(), 0
for y in range(len(mask) // width):
    row = mask[y * width:(y + 1) * width]
    edges = set()
    x = row.find(255)
    while x != -1:
        edges.add(x)
        end = row.find(0, x)
        x = -1 if end == -1 else row.find(255, end)
    steps += sum(1 for x in edges if (x - 1) in previous or (x + 1) in previous)
    previous = edges
print(steps)'
}

# Screenshots until one shows cloud tiles with their edges and, at the window's size, something
# lit in the columns where a 4:3 picture has its bars; prints the best figures seen.
look() {
  local name=$1 steps=0 side=0 shot s l
  for shot in $(seq 1 30); do
    import -window root "$name.png"
    s=$(one_pixel_steps "$name.png")
    convert "$name.png" -crop 480x2160+0+0 "$name-side.png"
    l=$(count_lit_pixels "$name-side.png")
    [ "$s" -gt "$steps" ] && steps=$s
    [ "$l" -gt "$side" ] && side=$l
    [ "$steps" -gt 100 ] && [ "$side" -gt 100 ] && break
    [ "$name" = scaled ] && [ "$shot" -ge 3 ] && break
    sleep 0.5
  done
  echo "$steps $side"
}

"$TAVRIK_BIN" -root --seed 5 &
saver=$!
E2E_PIDS+=("$saver")
read -r steps side < <(look native)
echo "at the screen's size: $steps one-pixel steps, $side lit pixels where bars would be"
[ "$side" -gt 100 ] || fail "the picture does not fill the screen ($side lit pixels at its side)"
[ "$steps" -gt 100 ] || fail "the tiles' edges do not step by one pixel ($steps steps)"
kill -TERM "$saver"
wait_exit "$saver" 30
[ "$EXIT_STATUS" = 143 ] || fail "SIGTERM ended the run with '$EXIT_STATUS', not 143"

"$TAVRIK_BIN" -root --seed 5 --resolution 640x480 &
saver=$!
E2E_PIDS+=("$saver")
# The root window shows the last run's picture until the new one's first frame.
bar_black() {
  import -window root bar.png
  convert bar.png -crop 480x2160+0+0 bar-side.png
  [ "$(count_lit_pixels bar-side.png)" -eq 0 ]
}
wait_for 60 bar_black || fail "the 640x480 run never showed its black bar"
read -r steps side < <(look scaled)
echo "640x480 scaled up: $steps one-pixel steps, $side lit pixels in the bar"
[ "$side" -eq 0 ] || fail "the 4:3 picture has no black bar ($side lit pixels)"
[ "$steps" -eq 0 ] || fail "the scaled picture has one-pixel steps ($steps): the test proves nothing"
kill -TERM "$saver"
wait_exit "$saver" 30
echo "root at 3840x2160: ok"
