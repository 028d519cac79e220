#!/usr/bin/env bash
# The X toolkit's options, as a programs line copied from another hack passes them: a run with
# -xrm, -name, -title and -bg draws; -title names the ordinary window while its class stays
# TavrikWindow; -xrm '*fps: true' shows the readout. An ordinary window never asks for more than
# the screen's size, whatever -geometry says.
source "$(dirname "$0")/lib.sh"
start_xvfb 1024x768x24
cd "$E2E_DIR"
export SDL_RENDER_DRIVER=software

drawn_over() {
  import -window "$1" "$2.png" && [ "$(count_colour "$2.png" '#303030' 1%)" -lt 100 ]
}

# The line of the issue, into a host's window as XScreenSaver runs it.
start_host_window 320 240
XSCREENSAVER_WINDOW=$HOST_WINDOW "$TAVRIK_BIN" -xrm '*delay: 20000' -name x -title y -bg black \
  -root 2>root.txt &
saver=$!
E2E_PIDS+=("$saver")
wait_for 30 drawn_over "$HOST_WINDOW" root-drawn || fail "nothing drawn: $(cat root.txt)"
lit=$(best_lit "$HOST_WINDOW" root 500)
echo "-xrm -name -title -bg -root: $lit lit pixels"
[ "$lit" -gt 500 ] || fail "the run with toolkit options drew no scene ($lit lit pixels)"
kill -TERM "$saver"
wait_exit "$saver" 15
[ "$EXIT_STATUS" = 143 ] || fail "SIGTERM ended it with '$EXIT_STATUS': $(cat root.txt)"
[ ! -s root.txt ] || fail "the toolkit options drew a word: $(cat root.txt)"

# -xrm's fps resource shows the readout, as -fps does.
XSCREENSAVER_WINDOW=$HOST_WINDOW "$TAVRIK_BIN" -root -xrm 'tavrik.fps: true' 2>fps.txt &
saver=$!
E2E_PIDS+=("$saver")
white=$(readout_white "$HOST_WINDOW")
[ "$white" -gt 40 ] || fail "-xrm '*fps: true' shows no readout ($white white pixels)"
kill -TERM "$saver"
wait_exit "$saver" 15
kill -TERM "$HOST_WINDOW_PID"

# -title names the ordinary window; the other options change nothing we can see.
"$TAVRIK_BIN" -window -title 'A title of our own' -name n -class C -fg white -foreground red \
  -background blue -bw 3 -synchronous -iconic -geometry 320x240+0+0 &
saver=$!
E2E_PIDS+=("$saver")
wait_for 10 xdotool search --name '^A title of our own$' || fail "-title: no window of that title"
window=$(xdotool search --name '^A title of our own$' | head -n 1)
[ "$(xdotool search --class TavrikWindow | head -n 1)" = "$window" ] ||
  fail "the titled window is not of class TavrikWindow"
lit=$(best_lit "$window" titled 1000)
[ "$lit" -gt 1000 ] || fail "the titled window shows no scene ($lit lit pixels)"
xdotool mousemove --window "$window" 20 20
sleep 0.5
xdotool key Escape
wait_exit "$saver" 15
[ "$EXIT_STATUS" = 0 ] || fail "Esc ended the titled window with '$EXIT_STATUS'"

# -geometry far beyond the screen: a window of the screen's size, and a prompt end on SIGTERM.
"$TAVRIK_BIN" -window -geometry 99999x99999 2>huge.txt &
saver=$!
E2E_PIDS+=("$saver")
wait_for 10 xdotool search --class TavrikWindow || fail "-geometry 99999x99999: no window"
window=$(xdotool search --class TavrikWindow | head -n 1)
size=$(xwininfo -id "$window" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w "x" h}')
echo "-geometry 99999x99999: a ${size} window, $(awk '/VmHWM/ {print $2 " " $3}' "/proc/$saver/status") at most"
[ "$size" = 1024x768 ] || fail "-geometry 99999x99999 gave a $size window on a 1024x768 screen"
kill -TERM "$saver"
wait_exit "$saver" 15
[ "$EXIT_STATUS" = 143 ] || fail "SIGTERM ended the large window with '$EXIT_STATUS': $(cat huge.txt)"
# A size that fits is kept as asked.
"$TAVRIK_BIN" -window -geometry 500x1000+10+0 &
saver=$!
E2E_PIDS+=("$saver")
wait_for 10 xdotool search --class TavrikWindow || fail "-geometry 500x1000: no window"
window=$(xdotool search --class TavrikWindow | head -n 1)
size=$(xwininfo -id "$window" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w "x" h}')
[ "$size" = 500x768 ] || fail "-geometry 500x1000 gave a $size window, not 500x768"
kill -TERM "$saver"
wait_exit "$saver" 15
echo "toolkit options: ok"
