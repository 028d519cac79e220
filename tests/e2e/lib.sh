# Shared by the end-to-end tests: source it, then call start_xvfb when a display is needed.
# Everything started through it is stopped when the test ends.
set -euo pipefail
# A command that ends a test by failing, outside any check, says which it was.
trap 'failed=$?; echo "FAIL: ${0##*/} line $LINENO: \"$BASH_COMMAND\" failed with $failed" >&2' ERR

: "${TAVRIK_BIN:?TAVRIK_BIN must name the tavrik binary}"
E2E_NAME=$(basename "$0" .sh)
E2E_DIR="${E2E_OUT:-/tmp/tavrik-e2e}/$E2E_NAME"
rm -rf "$E2E_DIR"
mkdir -p "$E2E_DIR"
# A private settings folder, so tests never see or change the user's settings.
export XDG_CONFIG_HOME="$E2E_DIR/config"
mkdir -p "$XDG_CONFIG_HOME"
SETTINGS="$XDG_CONFIG_HOME/tavrik/settings"

E2E_PIDS=()
e2e_cleanup() {
  local pid
  for pid in "${E2E_PIDS[@]:-}"; do
    # Woken as well, in case a test left it stopped.
    [ -n "$pid" ] && kill "$pid" 2>/dev/null && kill -CONT "$pid" 2>/dev/null || true
  done
  wait 2>/dev/null || true
}
trap e2e_cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Starts Xvfb on the first free display number from 90 (from E2E_DISPLAY_BASE, so that two
# suites can run side by side) and exports DISPLAY.
start_xvfb() {
  local size=${1:-1024x768x24}
  local base=${E2E_DISPLAY_BASE:-90}
  local n
  for n in $(seq "$base" $((base + 50))); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
      # -noreset: a server that resets whenever its last client leaves refuses the next one for
      # a moment, and the tests connect and leave many times.
      Xvfb ":$n" -screen 0 "$size" -nolisten tcp -noreset >"$E2E_DIR/xvfb.log" 2>&1 &
      E2E_PIDS+=($!)
      export DISPLAY=":$n"
      # The X tests' runs go to this display, not to the Wayland session the tests may run in.
      unset WAYLAND_DISPLAY
      local i
      for i in $(seq 1 100); do
        xdpyinfo >/dev/null 2>&1 && return 0
        sleep 0.05
      done
      fail "Xvfb did not start on :$n"
    fi
  done
  fail "no free X display"
}

# wait_for TIMEOUT_SECONDS COMMAND...: polls until the command succeeds. Timeouts here are
# multiplied by E2E_TIME_SCALE (a whole number, 1 by default) where programs run emulated.
wait_for() {
  local timeout=$1
  shift
  local end=$((SECONDS + timeout * ${E2E_TIME_SCALE:-1}))
  until "$@" >/dev/null 2>&1; do
    [ $SECONDS -lt $end ] || return 1
    sleep 0.1
  done
}

# Counts the pixels of a PNG whose colour is not (nearly) black.
count_lit_pixels() {
  convert "$1" -colorspace gray -threshold 5% -format '%[fx:int(mean*w*h+0.5)]' info:
}

# wait_exit PID TIMEOUT_SECONDS: waits for a process started by this shell (not in a subshell:
# call it directly) to end and sets EXIT_STATUS to its exit code, or to "running" when it is still
# there after the timeout. The tests give an ending 15 s: in the sanitizer build the end includes
# the leak checker's scan of the whole heap, which took seconds on a loaded machine.
wait_exit() {
  local pid=$1 timeout=$2
  local end=$((SECONDS + timeout * ${E2E_TIME_SCALE:-1}))
  EXIT_STATUS=running
  while kill -0 "$pid" 2>/dev/null; do
    [ $SECONDS -lt $end ] || return 0
    sleep 0.05
  done
  EXIT_STATUS=0
  wait "$pid" || EXIT_STATUS=$?
}

# readout_white WINDOW: the white pixels of the -fps readout in the window's bottom left corner,
# waiting up to 10 s for them: the readout shows after the first second of frames.
readout_white() {
  local white=0 height
  for _ in $(seq 1 40); do
    import -window "$1" readout.png
    height=$(identify -format '%h' readout.png)
    convert readout.png -crop "120x20+0+$((height - 20))" readout-corner.png
    white=$(count_colour readout-corner.png '#ffffff' 1%)
    [ "$white" -gt 40 ] && break
    sleep 0.25
  done
  echo "$white"
}

# start_host_window WIDTH HEIGHT: opens a plain X window (the stand-in for a screen-saver host's
# window) and sets HOST_WINDOW to its id and HOST_WINDOW_PID to the process keeping it.
start_host_window() {
  : "${HOST_TEST_WINDOW:?HOST_TEST_WINDOW must name the host_test_window helper}"
  local out="$E2E_DIR/host-window-$RANDOM.txt"
  "$HOST_TEST_WINDOW" "$1" "$2" >"$out" &
  HOST_WINDOW_PID=$!
  E2E_PIDS+=("$HOST_WINDOW_PID")
  wait_for 10 test -s "$out" || fail "the host window did not open"
  HOST_WINDOW=$(head -n 1 "$out")
}

# Counts the pixels of a PNG whose colour is near the given one: count_colour FILE '#rrggbb' FUZZ%
# (Matching pixels turn transparent, so a picture's own white pixels are not counted as matches.)
count_colour() {
  convert "$1" -alpha off -fuzz "$3" -transparent "$2" -alpha extract -negate \
    -format '%[fx:int(mean*w*h+0.5)]' info:
}

# System libraries keep some memory until exit; the sanitizer build must not count it as ours.
export LSAN_OPTIONS="suppressions=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/lsan-system.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

# Fails unless the settings file holds exactly the given text.
expect_settings() {
  local actual
  actual=$(cat "$SETTINGS" 2>/dev/null || true)
  [ "$actual" = "$1" ] || fail "settings file holds:
$actual
expected:
$1"
}

# Screenshots of the whole screen until they show the scene: more than 2000 lit pixels, and more
# than 8 colours in a lit one; or for 20 seconds. Some shots are black sky or one cloud tile
# filling the screen for a while. Prints the most lit pixels and the most colours seen.
scene_shots() {
  local name=$1 best=0 colours=0 shot lit count
  for shot in $(seq 1 40); do
    import -window root "$name-$shot.png"
    lit=$(count_lit_pixels "$name-$shot.png")
    count=$(convert "$name-$shot.png" -format '%k' info:)
    [ "$lit" -gt "$best" ] && best=$lit
    [ "$lit" -gt 200 ] && [ "$count" -gt "$colours" ] && colours=$count
    [ "$best" -gt 2000 ] && [ "$colours" -gt 8 ] && break
    sleep 0.5
  done
  echo "$best $colours"
}

# The most lit pixels in screenshots of a window, taken until one has more than the given
# number or for 20 seconds: some shots of the chase are black sky for a few seconds.
best_lit() {
  local window=$1 name=$2 enough=$3 best=0 shot lit
  for shot in $(seq 1 40); do
    import -window "$window" "$name-$shot.png"
    lit=$(count_lit_pixels "$name-$shot.png")
    [ "$lit" -gt "$best" ] && best=$lit
    [ "$best" -gt "$enough" ] && break
    sleep 0.5
  done
  echo "$best"
}

# start_watched NAME COMMAND...: starts the command under a small watcher that writes how it
# ended to NAME.end: "signal N" when it was killed by signal N (WIFSIGNALED), else "exit N".
# Sets WATCHED to the command's own process id, for kill.
start_watched() {
  local name=$1
  shift
  rm -f "$name.pid" "$name.end"
  python3 - "$name" "$@" <<'PY' &
import os, signal, sys
name, argv = sys.argv[1], sys.argv[2:]
pid = os.fork()
if pid == 0:
    # Python ignores SIGPIPE, and an ignored signal stays ignored across exec.
    signal.signal(signal.SIGPIPE, signal.SIG_DFL)
    os.execvp(argv[0], argv)
with open(name + ".pid", "w") as f:
    f.write(str(pid))
while True:
    try:
        _, status = os.waitpid(pid, 0)
        break
    except InterruptedError:
        pass
end = ("signal %d" % os.WTERMSIG(status) if os.WIFSIGNALED(status)
       else "exit %d" % os.WEXITSTATUS(status))
with open(name + ".end.part", "w") as f:
    f.write(end + "\n")
os.rename(name + ".end.part", name + ".end")
PY
  E2E_PIDS+=($!)
  wait_for 10 test -s "$name.pid" || fail "$name: the command did not start"
  WATCHED=$(cat "$name.pid")
  E2E_PIDS+=("$WATCHED")
}

# expect_watched_end NAME END TIMEOUT_SECONDS: the watched command ended as END ("signal 15",
# "exit 0") within the timeout.
expect_watched_end() {
  wait_for "$3" test -s "$1.end" || fail "$1: still running after $3 s"
  [ "$(cat "$1.end")" = "$2" ] || fail "$1: ended with '$(cat "$1.end")', expected '$2'"
}
