#!/usr/bin/env bash
# Pacing and power on a Wayland session. A surface the compositor calls no frames back for (a
# window on a workspace out of sight, an output powered down) draws nothing: under 1 % of a core
# over 10 s; its frames resume when it is shown again. Frames the compositor does call back are
# still capped, at -delay here. An idle manager starts the saver by itself, and the saver does
# not count as activity: the manager's resume command runs only once a key is pressed.
source "$(dirname "$0")/wayland_lib.sh"
start_sway "output HEADLESS-1 resolution 1280x720 position 0 0" \
  "output HEADLESS-2 resolution 1280x720 position 1280 0 scale 2" "focus output HEADLESS-1"
start_input_devices
cd "$E2E_DIR"
ticks=$(getconf CLK_TCK)

# cpu_over PID SECONDS: the ticks of CPU the process takes over that many seconds.
cpu_over() {
  local before
  before=$(tavrik_cpu "$1")
  sleep "$2"
  echo $(($(tavrik_cpu "$1") - before))
}

# A window on workspace 1, shown, then hidden behind workspace 3 on the same output.
WAYLAND_DEBUG=1 start_watched window sh -c 'exec "$0" -window -delay 200000 2>window.log' "$TAVRIK_BIN"
WINDOW=$WATCHED
[ "$(output_lit HEADLESS-1 shown.png)" -gt 2000 ] || fail "the window shows no picture"
# Frames called back at the output's 60 Hz are kept to -delay's 5 a second.
# commits: the frames the window has committed so far (grep -c fails on none).
commits() { grep -c 'wl_surface@[0-9]*\.commit' window.log || true; }
before=$(commits)
sleep 5
commits=$(($(commits) - before))
echo "-delay 200000: $commits frames in 5 s"
[ "$commits" -le 30 ] || fail "$commits frames in 5 s under -delay 200000"
[ "$commits" -ge 10 ] || fail "only $commits frames in 5 s under -delay 200000"

swaymsg workspace 3 >/dev/null
sleep 1  # a frame called back just before the switch may still be drawn
used=$(cpu_over "$WINDOW" 10)
echo "window out of sight: $used ticks of $((ticks * 10)) in 10 s"
[ $((used * 100)) -lt $((ticks * 10)) ] || fail "the hidden window used $used ticks in 10 s"
swaymsg workspace 1 >/dev/null
before=$(commits)
resumed() { [ "$(commits)" -gt "$before" ]; }
wait_for 10 resumed || fail "no frames once the window is shown again"
kill -TERM "$WINDOW"
expect_watched_end window "signal 15" 15

# Outputs powered down, where the compositor can: wlroots 0.15's headless backend cannot turn
# an output off (sway 1.7 logs "Unsupported output state fields"), so there this part is left.
start_watched saver "$TAVRIK_BIN" -s
SAVER=$WATCHED
[ "$(output_lit HEADLESS-1 saver.png)" -gt 2000 ] || fail "the saver shows no picture"
swaymsg output '*' dpms off >/dev/null
if swaymsg -t get_outputs -r | grep -q '"dpms": false'; then
  sleep 1
  used=$(cpu_over "$SAVER" 10)
  echo "outputs off: $used ticks of $((ticks * 10)) in 10 s"
  [ $((used * 100)) -lt $((ticks * 10)) ] || fail "the saver used $used ticks in 10 s with the outputs off"
  swaymsg output '*' dpms on >/dev/null
else
  echo "outputs off: this compositor cannot power its outputs down; not measured"
fi
wtype a
expect_watched_end saver "exit 0" 15

# swayidle starts the saver after a second without input; the saver itself is no input.
rm -f resumed
# (Its complaints about the missing system bus go to its log.)
start_watched idle sh -c 'exec swayidle -w timeout 1 "exec \"$0\" -s" resume "touch resumed" 2>idle.log' \
  "$TAVRIK_BIN"
IDLE=$WATCHED
started() { pgrep -P "$IDLE" >/dev/null; }
wait_for 15 started || fail "swayidle did not start the saver"
for output in HEADLESS-1 HEADLESS-2; do
  [ "$(output_lit "$output" "idle-$output.png")" -gt 2000 ] || fail "$output is (nearly) black under swayidle"
done
[ ! -e resumed ] || fail "the saver's frames counted as activity"
saver=$(pgrep -P "$IDLE")
wtype a
ended() { ! kill -0 "$saver" 2>/dev/null; }
wait_for 15 ended || fail "a key did not end the saver that swayidle started"
wait_for 10 test -e resumed || fail "swayidle saw no activity after the key"
kill -TERM "$IDLE"
echo "wayland power: ok"
