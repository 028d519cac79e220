#!/usr/bin/env bash
# Password mode (-a): a message box captioned "TAVRIK" with the Japanese notice; Return closes
# it with 0. Without a display the notice goes to standard error.
source "$(dirname "$0")/lib.sh"
cd "$E2E_DIR"
notice='パスワード機能には対応しておりません'

status=0
env -u DISPLAY "$TAVRIK_BIN" -a 2>err.txt >out.txt || status=$?
[ "$status" = 0 ] || fail "-a without a display ended with $status"
[ "$(cat err.txt)" = "$notice" ] || fail "unexpected notice on standard error: $(cat err.txt)"

start_xvfb 800x600x24
for switch in -a /A; do
  "$TAVRIK_BIN" "$switch" &
  box=$!
  E2E_PIDS+=("$box")
  wait_for 10 xdotool search --name '^TAVRIK$' || fail "no window captioned TAVRIK"
  sleep 0.5
  window=$(xdotool search --name '^TAVRIK$' | head -n 1)
  import -window "$window" box.png
  # Dark text on a light box: both must be there.
  light=$(count_lit_pixels box.png)
  total=$(identify -format '%[fx:w*h]' box.png)
  echo "notice box: $light light pixels of $total"
  [ "$light" -gt $((total / 2)) ] && [ "$light" -lt "$total" ] || fail "the box shows no text"
  kill -0 "$box" 2>/dev/null || fail "the box closed by itself"
  xdotool key Return
  wait_exit "$box" 5
  [ "$EXIT_STATUS" = 0 ] || fail "Return did not close the box with 0 ('$EXIT_STATUS')"
done
# SIGTERM takes the box away and ends with 0.
"$TAVRIK_BIN" -a &
box=$!
E2E_PIDS+=("$box")
wait_for 10 xdotool search --name '^TAVRIK$' || fail "no window captioned TAVRIK"
kill -TERM "$box"
wait_exit "$box" 5
[ "$EXIT_STATUS" = 0 ] || fail "SIGTERM ended the notice with '$EXIT_STATUS'"
xdotool search --name '^TAVRIK$' && fail "the box is still there after SIGTERM"
echo "notice: ok"
