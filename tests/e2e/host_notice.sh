#!/usr/bin/env bash
# Password mode (-a): a message box captioned "TAVRIK" with the notice in the language of
# messages (English, or Japanese where LC_ALL, LC_MESSAGES or LANG selects it); Return closes it
# with 0. Without a display the notice goes to standard error.
source "$(dirname "$0")/lib.sh"
cd "$E2E_DIR"
english='The password feature is not supported.'
japanese='パスワード機能には対応しておりません'

# notice_without_display LOCALE-VARIABLES...: the notice on standard error, with exit code 0.
notice_without_display() {
  local status=0
  env -u DISPLAY -u LC_ALL -u LC_MESSAGES -u LANG "$@" "$TAVRIK_BIN" -a 2>err.txt >out.txt ||
    status=$?
  [ "$status" = 0 ] || fail "-a without a display ($*) ended with $status"
  cat err.txt
}
[ "$(notice_without_display LANG=C)" = "$english" ] || fail "LANG=C: $(cat err.txt)"
[ "$(notice_without_display LANG=en_US.UTF-8)" = "$english" ] || fail "en_US: $(cat err.txt)"
[ "$(notice_without_display)" = "$english" ] || fail "no locale: $(cat err.txt)"
[ "$(notice_without_display LANG=ja_JP.UTF-8)" = "$japanese" ] || fail "ja_JP: $(cat err.txt)"
[ "$(notice_without_display LANG=C LC_MESSAGES=ja_JP.UTF-8)" = "$japanese" ] ||
  fail "LC_MESSAGES=ja_JP: $(cat err.txt)"
[ "$(notice_without_display LANG=ja_JP.UTF-8 LC_ALL=C)" = "$english" ] ||
  fail "LC_ALL=C over a Japanese LANG: $(cat err.txt)"

start_xvfb 800x600x24
# show_box NAME LOCALE SWITCH: the box, its picture in NAME.png, closed with Return.
show_box() {
  env -u LC_ALL -u LC_MESSAGES LANG="$2" "$TAVRIK_BIN" "$3" &
  box=$!
  E2E_PIDS+=("$box")
  wait_for 10 xdotool search --name '^TAVRIK$' || fail "no window captioned TAVRIK"
  sleep 0.5
  window=$(xdotool search --name '^TAVRIK$' | head -n 1)
  import -window "$window" "$1.png"
  # Dark text on a light box: both must be there.
  light=$(count_lit_pixels "$1.png")
  total=$(identify -format '%[fx:w*h]' "$1.png")
  echo "notice box ($2): $light light pixels of $total, $(identify -format '%w' "$1.png") wide"
  [ "$light" -gt $((total / 2)) ] && [ "$light" -lt "$total" ] || fail "the box shows no text"
  kill -0 "$box" 2>/dev/null || fail "the box closed by itself"
  xdotool key Return
  wait_exit "$box" 15
  [ "$EXIT_STATUS" = 0 ] || fail "Return did not close the box with 0 ('$EXIT_STATUS')"
}
show_box english C -a
show_box japanese ja_JP.UTF-8 /A
# The two sentences are set in boxes of their own widths.
[ "$(identify -format '%w' english.png)" != "$(identify -format '%w' japanese.png)" ] ||
  fail "the English and the Japanese box have the same width: the same text?"

# SIGTERM takes the box away, and then ends tavrik by that signal.
"$TAVRIK_BIN" -a &
box=$!
E2E_PIDS+=("$box")
wait_for 10 xdotool search --name '^TAVRIK$' || fail "no window captioned TAVRIK"
kill -TERM "$box"
wait_exit "$box" 15
[ "$EXIT_STATUS" = 143 ] || fail "SIGTERM ended the notice with '$EXIT_STATUS'"
xdotool search --name '^TAVRIK$' && fail "the box is still there after SIGTERM"
echo "notice: ok"
