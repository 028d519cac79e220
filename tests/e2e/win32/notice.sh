#!/usr/bin/env bash
# tavrik.scr /a under Wine: the password notice in a message box captioned "TAVRIK", its
# Japanese sentence read back from the box itself, and exit code 0 once dismissed. Text without
# any switch ends at once and shows nothing.
source "$(dirname "$0")/win_lib.sh"
win_display 1024x768x24
cd "$E2E_DIR"

start_scr /a
wait_for 20 probe message-box TAVRIK || fail "no message box captioned TAVRIK appeared"
probe message-box TAVRIK >box.txt
cat box.txt
grep -qx 'text=パスワード機能には対応しておりません\\n' box.txt || fail "the notice's text is wrong"
grep -qx 'buttons=OK' box.txt || fail "the notice has other buttons than OK"
import -window root notice.png
kill -0 "$SAVER" 2>/dev/null || fail "the saver ended before the notice was dismissed"
read -r x y < <(probe_value rect message-box TAVRIK | awk -F, '{print int(($1+$3)/2), int(($2+$4)/2)}')
xdotool mousemove "$x" "$y" key Return
wait_exit "$SAVER" 10
[ "$EXIT_STATUS" = 0 ] || fail "dismissing the notice ended the saver with '$EXIT_STATUS'"

# No switch: nothing is shown and the process ends with 0.
for text in /x hello "-x -y" "/b 5"; do
  status=0
  # shellcheck disable=SC2086
  timeout 20 "$WINE" "$TAVRIK_SCR" $text || status=$?
  [ "$status" = 0 ] || fail "'$text' ended with $status"
done
probe find-class TavrikWindow && fail "a text without a switch opened a saver window"
probe dialog TAVRIK && fail "a text without a switch opened the dialog"
echo "PASS"
