#!/usr/bin/env bash
# What the saver costs as a Wayland client beside what it costs on X: the share of one core that
# `tavrik -s` takes on two 1920x1080 outputs of a headless sway (pixman renderer, the compositor
# in the server's row), then on one 1920x1080 Xvfb screen, over the same seconds, each after
# five seconds to settle. Informational; nothing is asserted. Needs what the Wayland tests need
# (scripts/install-deps.sh), and root or a user sway accepts.
#   bench/wayland_cpu.sh [BUILD_DIR] [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
seconds=${2:-20}
export TAVRIK_BIN=$PWD/$build/bin/tavrik
[ -x "$TAVRIK_BIN" ] || { echo "no $TAVRIK_BIN: build first (README)" >&2; exit 1; }
E2E_OUT=$(mktemp -d)
chmod 755 "$E2E_OUT"  # the compositor runs as a user of its own
export E2E_OUT
source bench/cpu_share.sh
source tests/e2e/wayland_lib.sh

start_sway "output HEADLESS-1 resolution 1920x1080 position 0 0" \
  "output HEADLESS-2 resolution 1920x1080 position 1920 0"
start_watched saver "$TAVRIK_BIN" -s
sleep 5
cpu_share "$WATCHED" "$(cat "$SWAY_RUNTIME/sway.pid")" "$seconds" \
  "Wayland: tavrik -s on two 1920x1080 outputs (the server: sway)"
kill -TERM "$WATCHED"
swaymsg exit >/dev/null 2>&1 || true

start_xvfb 1920x1080x24
xvfb=${E2E_PIDS[-1]}
"$TAVRIK_BIN" -s &
saver=$!
E2E_PIDS+=("$saver")
sleep 5
cpu_share "$saver" "$xvfb" "$seconds" "X11: tavrik -s on one 1920x1080 screen"
