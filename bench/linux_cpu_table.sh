#!/usr/bin/env bash
# The table of what -root costs on Xvfb screens of three sizes: at the screen's own size, at
# 640x480 scaled up, and at the screen's size with -delay 33333 (30 frames a second). Each row is
# a linux_cpu.sh run; informational, nothing is asserted. Run it on an otherwise idle machine.
#   bench/linux_cpu_table.sh [BUILD_DIR] [SECONDS] [tavrik arguments added to every row...]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
seconds=${2:-20}
shift $(($# < 2 ? $# : 2))
echo "| screen | picture | frame pacing | tavrik | X server |"
echo "|---|---|---|---|---|"
for size in 1920x1080 2560x1440 3840x2160; do
  for row in "screen:-root --resolution screen" "640x480:-root --resolution 640x480" \
    "screen, -delay 33333:-root --resolution screen -delay 33333"; do
    label=${row%%:*}
    read -ra args <<<"${row#*:}"
    out=$(bench/linux_cpu.sh "$build" "$size" "$seconds" "${args[@]}" "$@")
    saver=$(sed -n 's/^  saver *\([0-9]*\)%.*/\1/p' <<<"$out")
    xserver=$(sed -n 's/^  X server *\([0-9]*\)%.*/\1/p' <<<"$out")
    pacing="refresh (60 Hz)"
    [[ $label == *delay* ]] && pacing="-delay 33333"
    echo "| $size | ${label%%,*} | $pacing | $saver % | $xserver % |"
  done
done
