#!/usr/bin/env bash
# Measures what a full-screen run of tavrik.scr costs under Wine on a virtual X display: the
# share of one core that the saver and the X server take over a few seconds, once the run has
# settled. The 1024x768 screen offers no 640x480 mode, so this is the software device shown
# through GDI; bench/d3d_bench.sh times the Direct3D device. Informational; nothing is asserted.
#   bench/win_cpu.sh [BUILD_DIR] [SECONDS]   (default build/win64, 10 s)
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/cpu_share.sh
build=${1:-build/win64}
seconds=${2:-10}
scr="$build/src/host/win32/tavrik.scr"
[ -f "$scr" ] || { echo "no $scr: build the Windows programs first (README)" >&2; exit 1; }
case "$build" in
  *win32*) wine=/usr/lib/wine/wine ;;
  *) wine=/usr/lib/wine/wine64 ;;
esac

work=$(mktemp -d)
export WINEPREFIX="$work/prefix" WINELOADER=$wine WINEDEBUG=-all
display=:$((200 + RANDOM % 100))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
trap 'wineserver -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
export DISPLAY=$display
env -u DISPLAY WINEDLLOVERRIDES="mscoree,mshtml=" "$wine" wineboot -i >/dev/null 2>&1

"$wine" "$scr" /s &
saver=$!
sleep 5
cpu_share $saver $xvfb "$seconds" "tavrik.scr /s at 640x480 on a 1024x768 screen"
