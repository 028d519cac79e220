#!/usr/bin/env bash
# tavrik.scr /p HWND under Wine: a child window of class "TavrikWindow" over the whole of the
# host's preview area, and exit code 0 when the host takes the area away; a window that does not
# exist ends it at once. (The logo's pixels are checked by the preview's unit test: Wine does
# not show another process's child window on the X display.)
source "$(dirname "$0")/win_lib.sh"
win_display 1024x768x24
cd "$E2E_DIR"

host_file="$E2E_DIR/host.txt"
probe host-window 320 240 "$host_file" >/dev/null &
E2E_PIDS+=($!)
wait_for 20 test -s "$host_file" || fail "the host window did not open"
host=$(cat "$host_file")

start_scr /p "$host"
wait_for 20 probe find-child "$host" TavrikWindow || fail "no preview window in the host's"
probe find-child "$host" TavrikWindow >child.txt
cat child.txt
grep -qx "parent=$host" child.txt || fail "the preview is not a child of the host's window"
grep -qx 'rect=100,100,420,340' child.txt || fail "the preview does not cover the host's area"
grep -qx 'style=0x56000000' child.txt || fail "the preview's style is wrong"
probe find-class TavrikWindow && fail "the preview was found as a top-level window"
kill -0 "$SAVER" 2>/dev/null || fail "the preview ended on its own"

touch "$host_file.close"
wait_exit "$SAVER" 10
[ "$EXIT_STATUS" = 0 ] || fail "taking the host's window away ended the preview with '$EXIT_STATUS'"

# A parent window that does not exist: nothing could ever end the preview, so it ends at once.
status=0
timeout 20 "$WINE" "$TAVRIK_SCR" /p 123456789 || status=$?
[ "$status" = 0 ] || fail "a preview into a missing window ended with $status"
echo "PASS"
