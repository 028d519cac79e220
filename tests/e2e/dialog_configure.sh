#!/usr/bin/env bash
# `tavrik -c` opens the settings dialog: the keyboard changes the count and the formation, OK
# stores them; `tavrik -c ID` with an owner window and Esc leaves the file as it was.
source "$(dirname "$0")/lib.sh"

# GTK keeps caches for the life of the process, which the leak checker of a sanitizer build
# would report; every other check stays on. The dialog inherits this from tavrik.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

# The build puts the dialog beside tavrik, where tavrik looks first.
: "${TAVRIK_SETTINGS_BIN:?TAVRIK_SETTINGS_BIN must name the tavrik-settings binary}"
[ "$(dirname "$TAVRIK_SETTINGS_BIN")" = "$(dirname "$TAVRIK_BIN")" ] ||
  fail "tavrik-settings is not beside tavrik: $TAVRIK_SETTINGS_BIN"

dialog_window() {
  xdotool search --onlyvisible --name '^TAVRIK$'
}

# Runs tavrik with the given arguments and waits until the dialog's window has the focus.
start_configure() {
  "$TAVRIK_BIN" "$@" >"$E2E_DIR/tavrik.log" 2>&1 &
  TAVRIK_PID=$!
  E2E_PIDS+=("$TAVRIK_PID")
  wait_for 60 dialog_window || fail "tavrik $* showed no window titled TAVRIK: $(cat "$E2E_DIR/tavrik.log")"
  xdotool windowfocus --sync "$(dialog_window | head -n 1)"
}

expect_exit_0() {
  wait_for 60 bash -c "! kill -0 $TAVRIK_PID" || fail "tavrik did not end with the dialog"
  local code=0
  wait "$TAVRIK_PID" || code=$?
  [ "$code" = 0 ] || fail "tavrik ended with $code: $(cat "$E2E_DIR/tavrik.log")"
}

start_xvfb

start_configure -c
wait_for 30 test -e "$SETTINGS" || fail "opening the dialog did not create the settings file"
expect_settings $'numHarriers=15\nmode=3\ncloudSurface=1\nwithGround=1\nformation=0\nnumHARRIERStriangle=16'
# From OK: CANCEL, the count's up arrow, its down arrow, the formation group ("triangle").
xdotool key Tab Tab Up Tab Tab Down
sleep 1
import -window root "$E2E_DIR/configure.png"
xdotool key Return
expect_exit_0
STORED=$'numHarriers=16\nmode=3\ncloudSurface=1\nwithGround=1\nformation=1\nnumHARRIERStriangle=16'
expect_settings "$STORED"

owner=$(xwininfo -root | awk '/Window id:/ {print $4}')
start_configure -c "$((owner))"
xprop -id "$(dialog_window | head -n 1)" WM_TRANSIENT_FOR | grep -q "$owner" ||
  fail "the dialog is not a transient of window $owner"
xdotool key Tab Tab Up Up Escape
expect_exit_0
expect_settings "$STORED"

echo "PASS"
