#!/usr/bin/env bash
# Preview mode (-p ID): the logo stretched over a child window of the host's preview area,
# repainted when exposed; the end when the area is destroyed; a bogus id ends at once.
source "$(dirname "$0")/lib.sh"
logo="$(cd "$(dirname "$0")/../.." && pwd)/resources/logo.bmp"
start_xvfb 800x600x24
cd "$E2E_DIR"

# At the logo's own size the preview is the logo pixel for pixel (within RGB565's rounding).
start_host_window 152 112
"$TAVRIK_BIN" -p "$(printf '%d' "$HOST_WINDOW")" &
preview=$!
E2E_PIDS+=("$preview")
sleep 1
import -window "$HOST_WINDOW" exact.png
differ=$(compare -metric AE -fuzz 4% exact.png "$logo" null: 2>&1 || true)
[ "$differ" = 0 ] || fail "the 152x112 preview differs from the logo in $differ pixels"
kill -TERM "$HOST_WINDOW_PID"
wait_exit "$preview" 15
[ "$EXIT_STATUS" = 0 ] || fail "after its area was destroyed the preview ended with '$EXIT_STATUS'"

# Stretched to 200x150: light blue where the dart is, grey in the top right corner.
start_host_window 200 150
"$TAVRIK_BIN" /p "$(printf '%d' "$HOST_WINDOW")" &
preview=$!
E2E_PIDS+=("$preview")
sleep 1
import -window "$HOST_WINDOW" stretched.png
[ "$(identify -format '%wx%h' stretched.png)" = 200x150 ] || fail "unexpected preview size"
blue=$(count_colour stretched.png '#8cc8ff' 6%)
grey=$(count_colour stretched.png '#969696' 6%)
echo "preview 200x150: $blue light-blue and $grey grey pixels"
[ "$blue" -gt 4000 ] || fail "the dart is missing: $blue light-blue pixels"
[ "$grey" -gt 300 ] || fail "the grey block is missing: $grey grey pixels"
convert stretched.png -crop 20x20+170+10 corner.png
[ "$(count_colour corner.png '#969696' 6%)" -gt 300 ] || fail "no grey block in the top right"
# The cursor stays usable and the preview takes no input: clicks leave it running.
xdotool mousemove 100 80 click 1 key a
sleep 0.3
kill -0 "$preview" 2>/dev/null || fail "input ended the preview"

# The preview's own window is a child, so it does not count as a running saver.
SDL_RENDER_DRIVER=software "$TAVRIK_BIN" -s &
full=$!
E2E_PIDS+=("$full")
sleep 1.5
kill -0 "$full" 2>/dev/null || fail "a running preview stopped a full-screen start"
kill -TERM "$full"
wait_exit "$full" 15
[ "$EXIT_STATUS" = 143 ] || fail "the full-screen run beside the preview ended with '$EXIT_STATUS'"

# Covering and uncovering repaints it.
xdotool windowunmap --sync "$HOST_WINDOW"
xdotool windowmap --sync "$HOST_WINDOW"
sleep 0.5
import -window "$HOST_WINDOW" repainted.png
blue=$(count_colour repainted.png '#8cc8ff' 6%)
[ "$blue" -gt 4000 ] || fail "the preview was not repainted after being exposed ($blue)"
kill -TERM "$preview"
wait_exit "$preview" 15
[ "$EXIT_STATUS" = 143 ] || fail "SIGTERM ended the preview with '$EXIT_STATUS'"

# A bogus id, or no id with no foreground window, ends at once with 0.
for args in "-p 12345" "-p 0x7ffffff" "/p 99999999" "-p"; do
  status=0
  # shellcheck disable=SC2086
  timeout 3 "$TAVRIK_BIN" $args || status=$?
  [ "$status" = 0 ] || fail "'$args' ended with $status"
done
echo "preview: ok"
