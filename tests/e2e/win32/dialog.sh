#!/usr/bin/env bash
# tavrik.scr /c and an empty command line under Wine: the settings dialog "TAVRIK", centred on
# the screen; a first start creates the key with the defaults; the count's arrows stop at 1 and
# 30; CANCEL keeps what is stored, OK stores all six values; a stored formation that no radio
# stands for survives OK.
source "$(dirname "$0")/win_lib.sh"
win_display 1024x768x24
cd "$E2E_DIR"
reset_settings

open_dialog() {
  start_scr "$@"
  wait_for 20 probe dialog TAVRIK || fail "the dialog did not open"
  probe dialog TAVRIK >dialog.txt
}

# control ID FIELD: a field of a control in the last dialog.txt (3 the check, 8 the text).
control() {
  grep "^control=$1," dialog.txt | cut -d, -f"$2"
}

# click ID [up|down] [TIMES]
click() {
  local point
  point=$(probe_value point point TAVRIK "$1" ${2:+"$2"})
  [ -n "$point" ] || fail "control $1 is not in the dialog"
  xdotool mousemove "${point%,*}" "${point#*,}"
  xdotool click --repeat "${3:-1}" --delay 80 1
}

close_with() {
  click "$1"
  wait_exit "$SAVER" 10
  [ "$EXIT_STATUS" = 0 ] || fail "closing the dialog with $1 ended with '$EXIT_STATUS'"
}

# A first start: the key is made with the defaults, which the dialog shows.
open_dialog
expect_stored "15 0 1 1 0 16"
read -r l t r b < <(sed -n 's/^rect=//p' dialog.txt | tr , ' ')
[ $(((l + r) / 2)) -eq 512 ] && [ $(((t + b) / 2)) -eq 384 ] ||
  fail "the dialog is not centred on the screen: $l,$t,$r,$b"
import -window root dialog.png
for id in 1023 1027 1010 1017; do
  [ "$(control "$id" 3)" = 1 ] || fail "radio $id is not checked on a first start"
done
[ "$(control 1013 8)" = 15 ] || fail "the count shows '$(control 1013 8)'"
[ "$(control 1015 8)" = "TAVRIK version $TAVRIK_VERSION" ] || fail "the banner is '$(control 1015 8)'"

# The arrows stop at 30; CANCEL stores nothing.
click 1009 up 20
probe dialog TAVRIK >dialog.txt
[ "$(control 1013 8)" = 30 ] || fail "twenty presses up from 15 show '$(control 1013 8)'"
close_with 2
expect_stored "15 0 1 1 0 16"

# The arrows stop at 1; OK stores every choice.
open_dialog /c
click 1009 down 20
click 1025
click 1028
click 1011
click 1018
probe dialog TAVRIK >dialog.txt
[ "$(control 1013 8)" = 1 ] || fail "twenty presses down from 15 show '$(control 1013 8)'"
close_with 1
expect_stored "1 1 0 1 1 25"

# A stored line formation (2) checks no formation radio, and OK stores 2 again.
"$WINE" reg add 'HKCU\Software\Tavrik10618' /v formation /t REG_DWORD /d 2 /f >/dev/null
open_dialog /c:1234
for id in 1023 1025 1029; do
  [ "$(control "$id" 3)" = 0 ] || fail "radio $id is checked for formation 2"
done
close_with 1
expect_stored "1 1 0 1 2 25"
echo "PASS"
