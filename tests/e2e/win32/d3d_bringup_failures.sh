#!/usr/bin/env bash
# A Direct3D bring-up that fails at any of its steps releases all it made: the display is back
# in the desktop's mode at once, and the run goes on with the software device.
source "$(dirname "$0")/win_lib.sh"
win_display 640x480x24
cd "$E2E_DIR"
reset_settings

desktop=$(probe_value mode display-mode)
for step in $(seq 1 9); do
  win "$TAVRIK_REPLAY" --device d3d --d3d-fail-at "$step" --seed 1 --frame-ms 16 --frames 3 \
    --output "frames-$step" 2>"step-$step.txt" || fail "step $step: the run failed"
  grep -q "could not be brought up (step $step failed); the display is $desktop;" "step-$step.txt" ||
    fail "step $step: $(cat "step-$step.txt")"
  [ "$(ls "frames-$step" | wc -l)" -eq 3 ] || fail "step $step: the run drew other than 3 frames"
done
win "$TAVRIK_REPLAY" --device d3d --seed 1 --frame-ms 16 --frames 1 2>whole.txt
grep -q "Direct3D at 640x480x16" whole.txt || fail "without a failure: $(cat whole.txt)"

# The saver falls back the same way when the display refuses the mode: this screen offers no
# 800 x 600, and the run shows the scene through GDI, scaled to the screen.
"$WINE" reg add 'HKCU\Software\Tavrik10618' /v mode /t REG_DWORD /d 1 /f >/dev/null
xdotool mousemove 200 200
start_scr /s
wait_for 20 probe find-class TavrikWindow || fail "no TavrikWindow window appeared"
[ "$(probe_value rect find-class TavrikWindow)" = 0,0,640,480 ] || fail "the window is not the screen"
best=$(best_lit root fallback 2000)
[ "$best" -gt 200 ] || fail "the fallback shows a (nearly) black screen"
xdotool key a
wait_exit "$SAVER" 10
[ "$EXIT_STATUS" = 0 ] || fail "a key press ended the fallback run with '$EXIT_STATUS'"
echo "PASS"
