#!/usr/bin/env bash
# What tavrik says when it cannot run: each case of the table ends with its exit code and exactly
# its one line on standard error. No display, a display that cannot be opened, a Wayland session
# without XWayland, a window that does not exist, a display it cannot draw on (the preview too):
# 1. A bad command line, its values out of range naming the range: 2. The password notice
# without a display still goes to standard error, with 0.
source "$(dirname "$0")/lib.sh"
# An 8-bit PseudoColor display beside the ordinary one: nothing there can be drawn in.
start_xvfb 640x480x8
eight=$DISPLAY
eight_root=$(xwininfo -root | awk '/Window id:/ {print $4}')
start_xvfb 640x480x24
cd "$E2E_DIR"

# A display number with no server behind it.
missing=42
while [ -e "/tmp/.X11-unix/X$missing" ] || [ -e "/tmp/.X$missing-lock" ]; do
  missing=$((missing + 1))
done
nodisplay='env -u DISPLAY -u WAYLAND_DISPLAY'
unset_display="tavrik: no X display: DISPLAY is not set (run it in an X session, or give -display NAME)"
wayland="tavrik: this Wayland session has no X display (XWayland), which tavrik needs: install XWayland (Debian: xwayland) and log in again, or choose an X11 session"

pseudo="its 8-bit PseudoColor visual is not supported (TrueColor and DirectColor visuals are)"

# exit code | the line on standard error | the command (TAVRIK stands for the program)
cases=(
  "1|$unset_display|$nodisplay TAVRIK -s"
  "1|$unset_display|$nodisplay TAVRIK"
  "1|$unset_display|$nodisplay TAVRIK -window"
  "1|$unset_display|$nodisplay TAVRIK -root"
  "1|$unset_display|$nodisplay TAVRIK -window-id 0x200001"
  "1|$unset_display|$nodisplay TAVRIK -p 1234"
  "1|$wayland|$nodisplay WAYLAND_DISPLAY=wayland-0 TAVRIK -s"
  "1|$wayland|$nodisplay WAYLAND_DISPLAY=wayland-0 TAVRIK -root"
  "1|tavrik: cannot open display ':$missing'|DISPLAY=:$missing TAVRIK -s"
  "1|tavrik: cannot open display ':$missing'|TAVRIK -window -display :$missing"
  "1|tavrik: cannot open display ':$missing'|DISPLAY=:$missing TAVRIK -root"
  "1|tavrik: window 0x7777777 (XSCREENSAVER_WINDOW) does not exist|XSCREENSAVER_WINDOW=0x7777777 TAVRIK -root"
  "1|tavrik: window 0x7777777 does not exist|TAVRIK -window-id 0x7777777"
  "1|tavrik: cannot draw into window $eight_root: $pseudo|DISPLAY=$eight TAVRIK -window-id $eight_root"
  "1|tavrik: cannot draw into window $eight_root: $pseudo|DISPLAY=$eight TAVRIK -p $((eight_root))"
  "1|tavrik: window 0x7777777 does not exist|TAVRIK --window-id 125269879"
  "2|tavrik: bad value for --harriers: '99' (1 to 30)|TAVRIK -harriers 99"
  "2|tavrik: bad value for --formation: 'circle' (none, triangle, line or random)|TAVRIK -root --formation circle"
  "2|tavrik: bad value for --triangle: '10' (9, 16 or 25)|TAVRIK --triangle 10"
  "2|tavrik: bad value for --clouds: 'fog' (surface or wire)|TAVRIK --clouds fog"
  "2|tavrik: bad value for --resolution: '9000x10' (640x480, 800x600, 1024x768, screen or WxH up to 8192x8192)|TAVRIK --resolution 9000x10"
  "2|tavrik: bad value for --delay: '2000000' (microseconds a frame, 0 to 1000000; 0: the display's refresh)|TAVRIK -delay 2000000"
  "2|tavrik: bad value in --xrm '*delay: soon' (microseconds a frame, 0 to 1000000; 0: the display's refresh)|TAVRIK -xrm '*delay: soon'"
  "2|tavrik: bad value in --xrm '*fps: maybe' (true or false)|TAVRIK -root -xrm '*fps: maybe'"
  "2|tavrik: bad value for --geometry: 'big' (WxH, WxH+X+Y or +X+Y)|TAVRIK -geometry big"
  "2|tavrik: bad value for --device: 'd3d' (soft or gl)|TAVRIK -device d3d"
  "2|tavrik: --xrm needs a value|TAVRIK -xrm"
  "2|tavrik: unknown option '-bogus' (see --help)|TAVRIK -bogus"
  "2|tavrik: bad XSCREENSAVER_WINDOW: 'junk' (a window id, decimal or 0x hexadecimal)|XSCREENSAVER_WINDOW=junk TAVRIK -root"
  "0|The password feature is not supported.|$nodisplay -u LC_ALL -u LC_MESSAGES LANG=C TAVRIK -a"
)
for row in "${cases[@]}"; do
  IFS='|' read -r expected line command <<<"$row"
  status=0
  eval "timeout 20 env ${command/TAVRIK/\"\$TAVRIK_BIN\"}" >out.txt 2>err.txt || status=$?
  [ "$status" = "$expected" ] || fail "'$command' ended with $status, not $expected: $(cat err.txt)"
  [ "$(cat err.txt)" = "$line" ] || fail "'$command' said:
$(cat err.txt)
instead of:
$line"
  [ ! -s out.txt ] || fail "'$command' wrote to standard output: $(cat out.txt)"
  echo "$expected  $command"
done
echo "failures: ok"
