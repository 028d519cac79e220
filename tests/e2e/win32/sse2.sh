#!/usr/bin/env bash
# tavrik.scr on a processor without SSE2 (the answer injected, since every machine here has it):
# /s, /c and /p each show one line in a message box captioned "TAVRIK" and end with 0 once it is
# dismissed, with no saver window, dialog or preview drawn; /a still shows its notice.
source "$(dirname "$0")/win_lib.sh"
win_display 1024x768x24
cd "$E2E_DIR"
reset_settings
export TAVRIK_TEST_CPU=no-sse2

host_file="$E2E_DIR/host.txt"
probe host-window 320 240 "$host_file" >/dev/null &
E2E_PIDS+=($!)
wait_for 20 test -s "$host_file" || fail "the host window did not open"
host=$(cat "$host_file")

for switch in /s /c "/p $host" /a; do
  # shellcheck disable=SC2086
  start_scr $switch
  wait_for 20 probe message-box TAVRIK || fail "$switch: no message box captioned TAVRIK"
  probe message-box TAVRIK >box.txt
  if [ "$switch" = /a ]; then
    grep -q '^text=パスワード' box.txt || fail "/a lost its notice: $(cat box.txt)"
  else
    grep -qx 'text=TAVRIK needs a processor with SSE2: a Pentium 4, an Athlon 64 or a later one.' \
      box.txt || fail "$switch: $(cat box.txt)"
    ! probe find-class TavrikWindow || fail "$switch made a saver window without SSE2"
    ! probe find-child "$host" TavrikWindow || fail "$switch made a preview without SSE2"
    ! probe dialog TAVRIK | grep -q '^updown=' || fail "$switch opened the settings dialog"
  fi
  read -r x y < <(probe_value rect message-box TAVRIK | awk -F, '{print int(($1+$3)/2), int(($2+$4)/2)}')
  xdotool mousemove "$x" "$y" key Return
  wait_exit "$SAVER" 10
  [ "$EXIT_STATUS" = 0 ] || fail "$switch without SSE2 ended with '$EXIT_STATUS'"
done
echo "PASS"
