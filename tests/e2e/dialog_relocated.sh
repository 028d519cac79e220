#!/usr/bin/env bash
# An install moved to another prefix than the configured one (a staging or a home folder) opens
# its own settings dialog with `tavrik -c`; with the dialog gone, -c says so in one line and
# ends with 1.
source "$(dirname "$0")/lib.sh"

export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"  # as dialog_configure.sh
: "${TAVRIK_SETTINGS_BIN:?TAVRIK_SETTINGS_BIN must name the tavrik-settings binary}"
build=$(cd "$(dirname "$TAVRIK_BIN")/.." && pwd)
[ -f "$build/CMakeCache.txt" ] || fail "no build folder above $TAVRIK_BIN"
configured=$(sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' "$build/CMakeCache.txt")
prefix="$E2E_DIR/staged prefix"
[ "$prefix" != "$configured" ] || fail "the staging prefix is the configured one"
cmake --install "$build" --prefix "$prefix" >"$E2E_DIR/install.log" ||
  fail "cmake --install failed: $(tail -n 3 "$E2E_DIR/install.log")"
dialog="$prefix/libexec/tavrik/tavrik-settings"
[ -x "$dialog" ] || fail "the install has no $dialog"
# Neither the build's folder nor the install's bin/ on PATH: only the lookup from the program.
export PATH=/usr/bin:/bin

start_xvfb
"$prefix/bin/tavrik" -c >"$E2E_DIR/tavrik.log" 2>&1 &
pid=$!
E2E_PIDS+=("$pid")
dialog_window() {
  xdotool search --onlyvisible --name '^TAVRIK$'
}
wait_for 60 dialog_window || fail "-c showed no dialog: $(cat "$E2E_DIR/tavrik.log")"
window=$(dialog_window | head -n 1)
shown=$(readlink -f "/proc/$(xdotool getwindowpid "$window")/exe")
[ "$shown" = "$(readlink -f "$dialog")" ] || fail "the dialog shown is $shown, not $dialog"
xdotool windowfocus --sync "$window" key Escape
code=0
wait "$pid" || code=$?
[ "$code" = 0 ] || fail "-c ended with $code: $(cat "$E2E_DIR/tavrik.log")"

# The dialog removed from the install: one line, and 1.
if [ ! -e "$configured/libexec/tavrik/tavrik-settings" ]; then
  rm "$dialog" "$prefix/bin/tavrik-settings"
  code=0
  "$prefix/bin/tavrik" -c >"$E2E_DIR/missing.log" 2>&1 || code=$?
  [ "$code" = 1 ] || fail "-c without its dialog ended with $code"
  [ "$(cat "$E2E_DIR/missing.log")" = "tavrik: the settings dialog (tavrik-settings) is not installed" ] ||
    fail "-c without its dialog said: $(cat "$E2E_DIR/missing.log")"
fi
echo "PASS"
