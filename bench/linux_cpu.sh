#!/usr/bin/env bash
# Measures what a run of the Linux saver costs on a virtual X display: the share of one core that
# tavrik and the X server take over a few seconds once the run has settled (add -fps to the
# arguments and look at the screen for the frame rate). Informational; nothing is asserted.
# Arguments after the seconds go to tavrik (default: -root --resolution screen).
#   bench/linux_cpu.sh [BUILD_DIR] [WIDTHxHEIGHT] [SECONDS] [tavrik arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/cpu_share.sh
build=${1:-build/release}
size=${2:-3840x2160}
seconds=${3:-10}
shift $(($# < 3 ? $# : 3))
args=("$@")
[ ${#args[@]} -gt 0 ] || args=(-root --resolution screen)
tavrik="$build/bin/tavrik"
[ -x "$tavrik" ] || { echo "no $tavrik: build first (README)" >&2; exit 1; }

display=:$((200 + RANDOM % 100))
Xvfb "$display" -screen 0 "${size}x24" -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
trap 'kill $saver $xvfb 2>/dev/null || true' EXIT
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

XDG_CONFIG_HOME=$(mktemp -d) "$tavrik" "${args[@]}" &
saver=$!
sleep 5
cpu_share $saver $xvfb "$seconds" "tavrik ${args[*]} on a $size screen"
