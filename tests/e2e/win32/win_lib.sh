# Shared by the Windows end-to-end tests: source it after nothing else. It brings lib.sh (a
# private Xvfb display, waits, pixel counts, cleanup) and runs the Windows programs under Wine in
# the build's prefix, which the wine_prefix test made. Every Wine process of the prefix is ended
# when the test ends.
source "$(dirname "${BASH_SOURCE[0]}")/../lib.sh"
: "${WINE:?WINE must name the Wine loader}"
: "${WINEPREFIX:?WINEPREFIX must name the Wine prefix}"
export WINELOADER=$WINE WINEDEBUG=-all

# Ends every Wine process of the prefix and waits until they are gone.
end_wine() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
}

win_cleanup() {
  end_wine
  e2e_cleanup
}
trap win_cleanup EXIT

# win_display SIZE: a new Xvfb screen for what follows. Wine's processes stay with the display
# they started on, so the ones before it are ended first.
win_display() {
  end_wine
  start_xvfb "$1"
}

# Runs a Windows program in the foreground.
win() {
  "$WINE" "$@"
}

# probe COMMAND ARGS...: a fact of the Windows side, as key=value lines.
probe() {
  "$WINE" "$WIN_PROBE" "$@"
}

# probe_value KEY COMMAND ARGS...: one value of a probe's answer.
probe_value() {
  local key=$1
  shift
  probe "$@" | sed -n "s/^$key=//p" | head -n 1
}

# start_scr ARGS...: starts tavrik.scr in the background and sets SAVER to its process.
start_scr() {
  "$WINE" "$TAVRIK_SCR" "$@" &
  SAVER=$!
  E2E_PIDS+=("$SAVER")
}

# Settings start from nothing: the saver must find no key.
reset_settings() {
  "$WINE" reg delete 'HKCU\Software\Tavrik10618' /f >/dev/null 2>&1 || true
}

# The stored value of a setting as a decimal number, or nothing when it is missing; fails unless
# it is a REG_DWORD.
setting() {
  local line
  line=$("$WINE" reg query 'HKCU\Software\Tavrik10618' /v "$1" 2>/dev/null | tr -d '\r' |
    grep -w "$1" || true)
  [ -n "$line" ] || return 0
  case "$line" in
    *REG_DWORD*) printf '%d\n' "$(awk '{print $3}' <<<"$line")" ;;
    *) fail "setting $1 is not a REG_DWORD: $line" ;;
  esac
}

# expect_settings_values "15 0 1 1 0 16": the six stored values in their order, or "" for none.
expect_stored() {
  local actual="" name
  for name in numHarriers mode cloudSurface withGround formation numHARRIERStriangle; do
    actual+="$(setting "$name") "
  done
  [ "${actual% }" = "$1" ] || fail "stored settings are '${actual% }', expected '$1'"
}
