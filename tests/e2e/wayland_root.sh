#!/usr/bin/env bash
# -root on a Wayland session: a background layer surface on both outputs, under the windows (a
# foot terminal stays in front of it), deaf to keys and the pointer, and ended by SIGTERM, by
# that signal. With -fps one line names what it draws with. With a fixed seed, a simulated clock
# and a trace, it writes for the first output the trace the headless runner writes of that size.
source "$(dirname "$0")/wayland_lib.sh"
start_sway "output HEADLESS-1 resolution 1280x720 position 0 0" \
  "output HEADLESS-2 resolution 1280x720 position 1280 0" "focus output HEADLESS-1"
start_input_devices
cd "$E2E_DIR"

start_watched root sh -c 'exec "$0" -root -fps 2>root.err' "$TAVRIK_BIN"
ROOT=$WATCHED
for output in HEADLESS-1 HEADLESS-2; do
  best=$(output_lit "$output" "$output.png")
  echo "$output: $best lit pixels"
  [ "$best" -gt 2000 ] || fail "$output is (nearly) black under -root: $best lit pixels"
done
grep -q "drawing with the software device on Wayland: a layer-shell background on each output" \
  root.err || fail "-fps did not say how it draws: $(cat root.err)"

# Keys and pointer moves do not end it.
wtype a
wtype -k Escape
for i in $(seq 1 30); do
  pointer_do move 5 3
done
pointer_do button 272
kill -0 "$ROOT" && [ ! -e root.end ] || fail "input ended -root"

# A terminal on the first output covers the picture there; the second still shows it.
# (The test user has no login shell: foot runs cat instead, which waits.)
swaymsg exec "foot cat" >/dev/null
foot_shown() {
  local colour share
  shot HEADLESS-1 covered.png && read -r colour share < <(dominant_colour covered.png) &&
    [ "$colour" = "#111111" ] && [ "$share" -gt 95 ]
}
wait_for 20 foot_shown || fail "the foot window is not in front of the picture: $(dominant_colour covered.png)"
best=$(output_lit HEADLESS-2 beside.png)
[ "$best" -gt 2000 ] || fail "the second output went dark with a window on the first"
kill -0 "$ROOT" || fail "-root ended with a window over it"

kill -TERM "$ROOT"
expect_watched_end root "signal 15" 15

run=(--seed 77 --frame-ms 40 --frames 60 --harriers 9)
timeout 60 "$TAVRIK_BIN" -root "${run[@]}" --trace wayland.jsonl ||
  fail "the traced -root run did not end by itself with 0"
"$TAVRIK_BIN" "${run[@]}" --resolution 1280x720 --trace headless.jsonl
[ "$(wc -l <wayland.jsonl)" -eq 61 ] || fail "the trace has $(wc -l <wayland.jsonl) lines, not 61"
cmp wayland.jsonl headless.jsonl || fail "the Wayland run's trace differs from the headless runner's"
echo "wayland root: ok"
