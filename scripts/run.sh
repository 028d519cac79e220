#!/usr/bin/env bash
# Builds TAVRIK (installing what it needs first) and starts the saver in a window. Without a
# display it renders a few seconds of frames as PNG files instead and says where they are.
# Arguments are passed on, e.g. scripts/run.sh --formation triangle.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
# Everything the saver starts: tavrik (with its XScreenSaver description) and the settings
# dialog that `tavrik -c` finds beside it in build/release/bin/.
cmake --build build/release -j "$(nproc)" --target tavrik tavrik-settings

tavrik=build/release/bin/tavrik
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec "$tavrik" "$@"
fi

frames=build/frames
rm -rf "$frames"
"$tavrik" --frame-ms 16 --frames 300 --output "$frames" "$@"
echo "No X display here: rendered 300 frames (about 5 seconds at 60 frames a second) to"
echo "  $PWD/$frames/frame-00001.png ... frame-00300.png"
