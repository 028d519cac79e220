#!/usr/bin/env bash
# The stop signals: SIGTERM, SIGINT and SIGHUP end an embedded run (-root) and the settings
# dialog (-c) cleanly, with the window left to its owner and no dialog left over, and then end
# tavrik by the same signal, as a Unix program does: its parent sees WIFSIGNALED (and a shell's
# $? of 128 + the signal's number), not a success. (headless_endings.sh does the same for a
# headless run, with its files.)
source "$(dirname "$0")/lib.sh"
: "${TAVRIK_SETTINGS_BIN:?TAVRIK_SETTINGS_BIN must name the tavrik-settings binary}"
start_xvfb 800x600x24
cd "$E2E_DIR"
# GTK keeps caches for the life of the process, which the leak checker of a sanitizer build
# would report; every other check stays on.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

# drawn_over WINDOW NAME: true once the window shows (nearly) none of the host's grey.
drawn_over() {
  import -window "$1" "$2.png" && [ "$(count_colour "$2.png" '#303030' 1%)" -lt 100 ]
}

dialog_window() {
  xdotool search --onlyvisible --name '^TAVRIK$'
}

for signal in TERM INT HUP; do
  number=$(kill -l "$signal")

  start_host_window 320 240
  start_watched "root-$signal" env XSCREENSAVER_WINDOW="$HOST_WINDOW" "$TAVRIK_BIN" -root
  wait_for 30 drawn_over "$HOST_WINDOW" "root-$signal" || fail "-root drew nothing"
  kill "-$signal" "$WATCHED"
  expect_watched_end "root-$signal" "signal $number" 15
  # The host's window is still there, and still the host's.
  xwininfo -id "$HOST_WINDOW" >/dev/null || fail "SIG$signal: the host's window went with -root"
  kill -TERM "$HOST_WINDOW_PID"

  # A shell sees 128 + the signal's number.
  start_host_window 320 240
  XSCREENSAVER_WINDOW=$HOST_WINDOW "$TAVRIK_BIN" -root &
  saver=$!
  E2E_PIDS+=("$saver")
  wait_for 30 drawn_over "$HOST_WINDOW" "shell-$signal" || fail "-root drew nothing"
  kill "-$signal" "$saver"
  wait_exit "$saver" 15
  [ "$EXIT_STATUS" = $((128 + number)) ] || fail "SIG$signal: \$? is $EXIT_STATUS for -root"
  kill -TERM "$HOST_WINDOW_PID"

  start_watched "configure-$signal" "$TAVRIK_BIN" -c
  wait_for 60 dialog_window || fail "-c showed no dialog"
  dialog=$(xdotool getwindowpid "$(dialog_window | head -n 1)")
  kill "-$signal" "$WATCHED"
  expect_watched_end "configure-$signal" "signal $number" 15
  wait_for 10 bash -c "! kill -0 $dialog 2>/dev/null" || fail "SIG$signal: the dialog outlived -c"
  dialog_window && fail "SIG$signal: a dialog window is left"
done
echo "signals: ok"
