#!/usr/bin/env bash
# tavrik-settings on its own, driven from the keyboard: OK stores the changes, CANCEL, Esc and
# the close box drop them, the line radio stores the line formation and a stored one checks it
# and survives OK, --owner makes the dialog a
# transient, bad arguments and a missing display end it with a message, and a settings file
# that cannot be written is reported before the dialog closes.
source "$(dirname "$0")/lib.sh"
: "${TAVRIK_SETTINGS_BIN:?TAVRIK_SETTINGS_BIN must name the tavrik-settings binary}"

# GTK keeps caches for the life of the process, which the leak checker of a sanitizer build
# would report; every other check stays on.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

DEFAULTS=$'numHarriers=15\nmode=3\ncloudSurface=1\nwithGround=1\nformation=0\nnumHARRIERStriangle=16'

dialog_window() {
  xdotool search --onlyvisible --name '^TAVRIK$'
}

# A second window of that title: the message about a failed save.
message_window() {
  dialog_window | grep -v "^$DIALOG_WIN\$"
}

# Starts the dialog with the given arguments and waits until its window has the focus.
start_dialog() {
  "$TAVRIK_SETTINGS_BIN" "$@" >"$E2E_DIR/dialog.log" 2>&1 &
  DIALOG_PID=$!
  E2E_PIDS+=("$DIALOG_PID")
  wait_for 60 dialog_window || fail "no window titled TAVRIK appeared"
  DIALOG_WIN=$(dialog_window | head -n 1)
  xdotool windowfocus --sync "$DIALOG_WIN"
}

# Waits for the dialog's process to end and checks its exit code.
expect_exit() {
  local expected=$1
  wait_for 60 bash -c "! kill -0 $DIALOG_PID" || fail "the dialog did not close"
  local code=0
  wait "$DIALOG_PID" || code=$?
  [ "$code" = "$expected" ] || fail "exit code $code, expected $expected: $(cat "$E2E_DIR/dialog.log")"
}

# What the window's close box does: the window manager sends WM_DELETE_WINDOW.
close_box() {
  python3 - "$1" <<'EOF'
import ctypes, sys
x = ctypes.cdll.LoadLibrary("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XInternAtom.restype = ctypes.c_ulong
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("data", ctypes.c_long * 5), ("pad", ctypes.c_long * 24)]
display = x.XOpenDisplay(None)
window = int(sys.argv[1])
event = ClientMessage()
event.type = 33  # ClientMessage
event.window = window
event.message_type = x.XInternAtom(display, b"WM_PROTOCOLS", 0)
event.format = 32
event.data[0] = x.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                         ctypes.c_void_p]
x.XSendEvent(display, window, 0, 0, ctypes.byref(event))
x.XFlush.argtypes = [ctypes.c_void_p]
x.XFlush(display)
EOF
}

echo "bad arguments"
for args in "--bogus" "--owner" "--owner abc" "--owner -5" "--owner= " "extra"; do
  code=0
  # shellcheck disable=SC2086
  DISPLAY= "$TAVRIK_SETTINGS_BIN" $args >"$E2E_DIR/args.out" 2>"$E2E_DIR/args.err" || code=$?
  [ "$code" = 2 ] || fail "'$args' ended with $code, expected 2"
  [ "$(wc -l <"$E2E_DIR/args.err")" = 1 ] || fail "'$args' printed: $(cat "$E2E_DIR/args.err")"
done
"$TAVRIK_SETTINGS_BIN" --help | grep -q -- '--owner' || fail "--help does not name --owner"

echo "no display"
code=0
env -u DISPLAY "$TAVRIK_SETTINGS_BIN" >"$E2E_DIR/nodisplay.out" 2>&1 || code=$?
[ "$code" != 0 ] || fail "without a display the program ended with 0"
grep -q "display" "$E2E_DIR/nodisplay.out" || fail "no message about the display"
[ ! -e "$SETTINGS" ] || fail "the settings file was written without a display"

start_xvfb

echo "first open creates the defaults; Esc drops a changed count"
start_dialog
wait_for 30 test -e "$SETTINGS" || fail "opening did not create the settings file"
expect_settings "$DEFAULTS"
eval "$(xdotool getwindowgeometry --shell "$DIALOG_WIN")"
screen=$(xdotool getdisplaygeometry)
[ "$X" = $(((${screen% *} - WIDTH) / 2)) ] && [ "$Y" = $(((${screen#* } - HEIGHT) / 2)) ] ||
  fail "the dialog is at $X,$Y, not centred on the $screen screen"
import -window root "$E2E_DIR/first_open.png"
xdotool key Tab Tab Up Up Escape
expect_exit 0
expect_settings "$DEFAULTS"

echo "keyboard changes the count and the formation, OK stores them"
start_dialog
# From OK: CANCEL, then the count's up arrow; then the down arrow and the formation group,
# where the down key moves the check to "triangle".
xdotool key Tab Tab Up Up Up Tab Tab Down
sleep 1
import -window root "$E2E_DIR/changed.png"
xdotool key Return
expect_exit 0
expect_settings $'numHarriers=18\nmode=3\ncloudSurface=1\nwithGround=1\nformation=1\nnumHARRIERStriangle=16'

echo "the count stops at 30"
start_dialog
xdotool key Tab Tab
for _ in $(seq 1 15); do xdotool key Up; done
xdotool key space
xdotool key Return
expect_exit 0
expect_settings $'numHarriers=30\nmode=3\ncloudSurface=1\nwithGround=1\nformation=1\nnumHARRIERStriangle=16'

echo "CANCEL drops the changes"
start_dialog
xdotool key Tab Tab Down Down Down shift+Tab space
expect_exit 0
expect_settings $'numHarriers=30\nmode=3\ncloudSurface=1\nwithGround=1\nformation=1\nnumHARRIERStriangle=16'

echo "the close box drops the changes"
start_dialog
xdotool key Tab Tab Down Down
close_box "$DIALOG_WIN"
expect_exit 0
expect_settings $'numHarriers=30\nmode=3\ncloudSurface=1\nwithGround=1\nformation=1\nnumHARRIERStriangle=16'

echo "mouse: each arrow click moves the count at once, OK stores it"
start_dialog
# Places in the window's pixels: two to a unit of the template's layout.
click() {
  xdotool mousemove --window "$DIALOG_WIN" "$1" "$2" click 1
}
click 291 88
click 291 88
click 291 88
click 291 73
click 270 339
expect_exit 0
expect_settings $'numHarriers=28\nmode=3\ncloudSurface=1\nwithGround=1\nformation=1\nnumHARRIERStriangle=16'

echo "the line radio: the down key moves the check from no formation past triangle to line"
printf 'numHarriers=15\nformation=0\n' >"$SETTINGS"
start_dialog
xdotool key Tab Tab Tab Tab Down Down
sleep 1
import -window root "$E2E_DIR/line.png"
xdotool key Return
expect_exit 0
expect_settings $'numHarriers=15\nmode=3\ncloudSurface=1\nwithGround=1\nformation=2\nnumHARRIERStriangle=16'

echo "a stored line formation checks line: the down key goes on from it to random"
# The keyboard reaches a radio group at its checked button, in the order of the places on the
# dialog: "line" lies below the triangle's count, one Tab further than "no formation".
start_dialog
xdotool key Tab Tab Tab Tab Tab Down
xdotool key Return
expect_exit 0
expect_settings $'numHarriers=15\nmode=3\ncloudSurface=1\nwithGround=1\nformation=100\nnumHARRIERStriangle=16'

echo "a stored line formation and ground survive OK"
printf 'numHarriers=4\nformation=2\nwithGround=0\nmode=2\n' >"$SETTINGS"
start_dialog
xdotool key Return
expect_exit 0
expect_settings $'numHarriers=4\nmode=2\ncloudSurface=1\nwithGround=0\nformation=2\nnumHARRIERStriangle=16'

echo "--owner makes the dialog a transient of that window; a missing owner is ignored"
xdpyinfo >/dev/null
owner=$(xwininfo -root | awk '/Window id:/ {print $4}')
start_dialog --owner "$owner"
xprop -id "$DIALOG_WIN" WM_TRANSIENT_FOR | grep -q "$owner" || fail "no WM_TRANSIENT_FOR $owner"
xdotool key Escape
expect_exit 0
start_dialog --owner 123456789
xdotool key Escape
expect_exit 0

echo "a settings file that cannot be written is reported"
rm -rf "$XDG_CONFIG_HOME/tavrik"
echo "not a folder" >"$XDG_CONFIG_HOME/tavrik"
start_dialog
xdotool key Return
wait_for 30 message_window || fail "no message about the failed save"
sleep 1
import -window root "$E2E_DIR/save_failed.png"
kill -0 "$DIALOG_PID" || fail "the dialog closed before its message was seen"
message=$(message_window | head -n 1)
xdotool windowfocus --sync "$message"
xdotool key Return
expect_exit 1
grep -q "could not save" "$E2E_DIR/dialog.log" || fail "no line about the failed save"
[ "$(cat "$XDG_CONFIG_HOME/tavrik")" = "not a folder" ] || fail "the blocking file was changed"

echo "PASS"
