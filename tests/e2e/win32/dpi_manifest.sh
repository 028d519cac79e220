#!/usr/bin/env bash
# tavrik.scr declares its DPI awareness in the manifest built into the file: per monitor where
# the system knows it, system-wide otherwise, and no supportedOS list. The full-screen window then
# runs per monitor aware, so the software picture fills the screen in real pixels. String 1 of its
# string table, the name the screen-saver settings list it by, is "TAVRIK".
source "$(dirname "$0")/win_lib.sh"
win_display 1024x768x24
cd "$E2E_DIR"
reset_settings

probe manifest "$TAVRIK_SCR" >manifest.xml || fail "tavrik.scr has no manifest resource"
grep -q '<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true</dpiAware>' \
  manifest.xml || fail "no system-wide dpiAware true in the manifest: $(cat manifest.xml)"
grep -q '<dpiAwareness xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">PerMonitorV2, PerMonitor</dpiAwareness>' \
  manifest.xml || fail "no per-monitor dpiAwareness in the manifest: $(cat manifest.xml)"
grep -q supportedOS manifest.xml && fail "the manifest lists supported systems"
[ "$(probe string1 "$TAVRIK_SCR")" = "string1=TAVRIK" ] ||
  fail "string 1 of tavrik.scr is not TAVRIK: $(probe string1 "$TAVRIK_SCR" || true)"

start_scr /s
wait_for 20 probe find-class TavrikWindow || fail "no TavrikWindow window appeared"
awareness=$(probe_value dpiAwareness find-class TavrikWindow)
[ "$awareness" = 2 ] || fail "the full-screen window's DPI awareness is '$awareness', not per monitor"
xdotool key a
wait_exit "$SAVER" 10
[ "$EXIT_STATUS" = 0 ] || fail "the saver ended with '$EXIT_STATUS'"
echo "PASS"
