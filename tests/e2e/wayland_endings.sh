#!/usr/bin/env bash
# When a run is Wayland's and when it stays on X, and how Wayland runs end: SIGINT and SIGHUP
# end the saver by that signal; -root with XSCREENSAVER_WINDOW, -window-id and -display are X's
# even on a Wayland session; a compositor that does not answer leaves the run to X, quietly;
# a compositor that goes away ends the run with 1 and one line.
source "$(dirname "$0")/wayland_lib.sh"
start_sway "output HEADLESS-1 resolution 1024x768"
SWAY_PID=$(cat "$SWAY_RUNTIME/sway.pid")
cd "$E2E_DIR"

for signal in INT HUP; do
  start_watched "saver-$signal" "$TAVRIK_BIN" -s
  [ "$(output_lit HEADLESS-1 "$signal.png")" -gt 2000 ] || fail "no picture before SIG$signal"
  kill -"$signal" "$WATCHED"
  expect_watched_end "saver-$signal" "signal $(kill -l "$signal")" 15
done

# X's modes on a Wayland session without an X display: the X line, exit 1.
no_x="tavrik: this Wayland session has no X display (XWayland), which tavrik needs: install XWayland (Debian: xwayland) and log in again, or choose an X11 session"
for args in "-root" "-window-id 0x123"; do
  status=0
  # shellcheck disable=SC2086
  XSCREENSAVER_WINDOW=0x456 timeout 5 "$TAVRIK_BIN" $args 2>err.txt || status=$?
  [ "$status" = 1 ] || fail "'$args' with XSCREENSAVER_WINDOW ended with $status"
  [ "$(cat err.txt)" = "$no_x" ] || fail "'$args' with XSCREENSAVER_WINDOW: $(cat err.txt)"
done
status=0
timeout 5 "$TAVRIK_BIN" -display :999 -window 2>err.txt || status=$?
[ "$status" = 1 ] || fail "-display :999 ended with $status"
[ "$(cat err.txt)" = "tavrik: cannot open display ':999'" ] || fail "-display :999: $(cat err.txt)"

# A Wayland socket that no compositor answers: the saver runs on X, and says nothing of it.
session=$WAYLAND_DISPLAY
start_xvfb 800x600x24  # which leaves the Wayland session for the X tests' sake
WAYLAND_DISPLAY=wayland-none start_watched x-saver sh -c 'exec "$0" -s 2>x-saver.err' "$TAVRIK_BIN"
wait_for 10 xdotool search --class TavrikWindow || fail "no X saver window without a compositor"
xdotool key a
expect_watched_end x-saver "exit 0" 15
! grep -q "^tavrik" x-saver.err || fail "the fall back to X was not quiet: $(cat x-saver.err)"
unset DISPLAY
export WAYLAND_DISPLAY=$session

# The compositor goes away under a running saver.
start_watched saver sh -c 'exec "$0" -s 2>saver.err' "$TAVRIK_BIN"
[ "$(output_lit HEADLESS-1 gone.png)" -gt 2000 ] || fail "no picture before the compositor goes"
kill -TERM "$SWAY_PID"
expect_watched_end saver "exit 1" 15
[ "$(cat saver.err)" = "tavrik: the Wayland compositor went away" ] ||
  fail "the compositor's end: $(cat saver.err)"
echo "wayland endings: ok"
