#!/usr/bin/env bash
# Embedded runs (-window-id, -root with XSCREENSAVER_WINDOW): the scene inside a window that
# another program owns, following its size, ending with 0 when that window is destroyed and
# killed by SIGTERM or SIGHUP when sent one, and never counting as a running saver. Traced, the
# root window's run and an ordinary window's write the headless runner's trace of their size.
source "$(dirname "$0")/lib.sh"
start_xvfb 1024x768x24
cd "$E2E_DIR"

start_host_window 400 300
"$TAVRIK_BIN" -window-id "$HOST_WINDOW" --resolution 640x480 &
saver=$!
E2E_PIDS+=("$saver")
sleep 1.5
lit=$(best_lit "$HOST_WINDOW" embedded 500)
echo "embedded 400x300: $lit lit pixels"
[ "$lit" -gt 50 ] || fail "the host window shows no scene ($lit lit pixels)"

# Embedded runs do not block a full start: it must not end at once.
SDL_RENDER_DRIVER=software "$TAVRIK_BIN" -s &
full=$!
E2E_PIDS+=("$full")
wait_for 10 xdotool search --class TavrikWindow || fail "-s did not start beside an embedded run"
kill -TERM "$full"
wait_exit "$full" 15
[ "$EXIT_STATUS" = 143 ] || fail "the full-screen run beside it ended with '$EXIT_STATUS'"

# A resize is followed: the whole new area is ours, black bars included (the host window's own
# background is dark grey, #303030).
xdotool windowsize "$HOST_WINDOW" 600 200
sleep 1.5
import -window "$HOST_WINDOW" resized.png
[ "$(identify -format '%wx%h' resized.png)" = 600x200 ] || fail "the host window was not resized"
grey=$(count_colour resized.png '#303030' 1%)
[ "$grey" -lt 100 ] || fail "after the resize $grey pixels still show the host's background"
lit=$(best_lit "$HOST_WINDOW" resized-picture 200)
[ "$lit" -gt 20 ] || fail "after the resize the scene is gone ($lit lit pixels)"
# The 4:3 picture sits in the middle: columns 0 to 99 are a black bar.
convert resized.png -crop 95x200+0+0 bar.png
[ "$(count_lit_pixels bar.png)" -eq 0 ] || fail "the left bar is not black"

# Destroying the host window ends the saver with 0.
kill -TERM "$HOST_WINDOW_PID"
wait_exit "$saver" 15
[ "$EXIT_STATUS" = 0 ] || fail "after its window was destroyed the saver ended with '$EXIT_STATUS'"

# -root draws into XSCREENSAVER_WINDOW (hexadecimal here); SIGTERM ends it.
start_host_window 320 240
XSCREENSAVER_WINDOW=$HOST_WINDOW "$TAVRIK_BIN" -root -fps &
saver=$!
E2E_PIDS+=("$saver")
sleep 1.5
lit=$(best_lit "$HOST_WINDOW" root 500)
# More than the frame-rate readout alone could light.
[ "$lit" -gt 500 ] || fail "-root did not draw into XSCREENSAVER_WINDOW ($lit lit pixels)"
white=$(readout_white "$HOST_WINDOW")
[ "$white" -gt 40 ] || fail "-fps shows no readout in the bottom left corner ($white white pixels)"
# Two side by side, as with one per monitor.
start_host_window 320 240
"$TAVRIK_BIN" --window-id "$(printf '%d' "$HOST_WINDOW")" &
second=$!
E2E_PIDS+=("$second")
sleep 1.5
kill -0 "$second" 2>/dev/null || fail "a second embedded run did not start"
lit=$(best_lit "$HOST_WINDOW" second 500)
[ "$lit" -gt 50 ] || fail "the second embedded run shows no scene ($lit lit pixels)"
kill -TERM "$saver"
kill -HUP "$second"
wait_exit "$saver" 15
[ "$EXIT_STATUS" = 143 ] || fail "SIGTERM ended the -root run with '$EXIT_STATUS'"
wait_exit "$second" 15
[ "$EXIT_STATUS" = 129 ] || fail "SIGHUP ended the second run with '$EXIT_STATUS'"

# drawn_over WINDOW NAME: true once the window shows (nearly) none of the host's grey.
drawn_over() {
  import -window "$1" "$2-drawn.png" && [ "$(count_colour "$2-drawn.png" '#303030' 1%)" -lt 100 ]
}

# Two -root runs started together, as on two monitors, fly differently. With the timer held
# (--frame-ms 0) each shows one still picture that depends on its seed alone: the same --seed
# gives the same picture, which shows that the pictures can be compared.
two_roots() {
  local name=$1 first second pids=() hosts=()
  shift
  start_host_window 320 240
  first=$HOST_WINDOW
  hosts+=("$HOST_WINDOW_PID")
  start_host_window 320 240
  second=$HOST_WINDOW
  hosts+=("$HOST_WINDOW_PID")
  # Side by side: a screenshot of a covered window would show the one above it.
  xdotool windowmove --sync "$second" 400 0
  XSCREENSAVER_WINDOW=$first "$TAVRIK_BIN" -root --frame-ms 0 "$@" &
  pids+=($!)
  XSCREENSAVER_WINDOW=$second "$TAVRIK_BIN" -root --frame-ms 0 "$@" &
  pids+=($!)
  E2E_PIDS+=("${pids[@]}")
  # The host's grey counts as lit: first wait until both have drawn over it.
  wait_for 20 drawn_over "$first" "$name-a" || fail "$name: nothing drawn into the first window"
  wait_for 20 drawn_over "$second" "$name-b" || fail "$name: nothing drawn into the second window"
  best_lit "$first" "$name-a" 50 >/dev/null
  best_lit "$second" "$name-b" 50 >/dev/null
  import -window "$first" "$name-a.png"
  import -window "$second" "$name-b.png"
  kill -TERM "${pids[@]}" "${hosts[@]}"
  DIFFERENT=$(compare -metric AE "$name-a.png" "$name-b.png" null: 2>&1 || true)
}
two_roots seeded --seed 9
[ "$DIFFERENT" = 0 ] || fail "one seed gave two pictures ($DIFFERENT pixels differ)"
two_roots unseeded
# Any difference counts: the same seed gives none at all, and some seeds' first picture is nearly
# all sky, with a few dozen lit pixels.
[ "$DIFFERENT" -gt 0 ] || fail "two -root runs drew the same flight ($DIFFERENT pixels differ)"

# A window far larger than any screen (a virtual root across many monitors, say): the largest
# picture tavrik draws, in its top-left corner, a word on standard error, and SIGTERM still ends
# it cleanly. The screen then shows the picture's black bar instead of the host's grey.
start_host_window 24000 24000
"$TAVRIK_BIN" -window-id "$HOST_WINDOW" 2>huge.txt &
saver=$!
E2E_PIDS+=("$saver")
wait_for 60 grep -q "is 24000x24000; drawing into its top-left 8192x8192" huge.txt ||
  fail "no word about the window's size: $(cat huge.txt)"
for _ in $(seq 120); do
  import -window root huge.png
  [ "$(count_colour huge.png '#303030' 1%)" -lt 100 ] && break
  sleep 0.5
done
[ "$(count_colour huge.png '#303030' 1%)" -lt 100 ] || fail "nothing was drawn into the huge window"
kill -TERM "$saver"
wait_exit "$saver" 30
[ "$EXIT_STATUS" = 143 ] || fail "SIGTERM ended the huge run with '$EXIT_STATUS': $(cat huge.txt)"
kill -TERM "$HOST_WINDOW_PID"

# A window that does not exist ends the run at once with 1 and one line (host_failures.sh has
# every such case).
status=0
timeout 5 "$TAVRIK_BIN" -window-id 0x7ffffff 2>missing.txt || status=$?
[ "$status" = 1 ] || fail "a missing window ended the run with $status"
[ "$(cat missing.txt)" = "tavrik: window 0x7ffffff does not exist" ] || fail "$(cat missing.txt)"
run=(--seed 31 --frame-ms 40 --frames 40 --formation triangle)
for traced in "-root 1024x768" "-window -geometry 400x300 400x300"; do
  words=($traced)
  size=${words[-1]}
  timeout 60 "$TAVRIK_BIN" "${words[@]:0:${#words[@]}-1}" "${run[@]}" --trace window.jsonl ||
    fail "the traced run ($traced) did not end by itself with 0"
  "$TAVRIK_BIN" "${run[@]}" --resolution "$size" --trace headless.jsonl
  cmp window.jsonl headless.jsonl || fail "the trace of $traced differs from the headless runner's"
done
echo "embedded: ok"
