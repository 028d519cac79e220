#!/usr/bin/env bash
# Builds the browser version (scripts/web.sh) and a Linux build to compare it with
# (build/web-linux, or the one TAVRIK_LINUX_BUILD names), then tests them: the Node runner against
# the Linux runner, and the page in headless Chromium. Needs emscripten, chromium and imagemagick
# (scripts/install-deps.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=${WEB_JOBS:-$(nproc)}
WEB_JOBS=$jobs scripts/web.sh
linux=${TAVRIK_LINUX_BUILD:-$PWD/build/web-linux}
if [ -z "${TAVRIK_LINUX_BUILD:-}" ]; then
  cmake -S . -B "$linux" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVRIK_TESTS=OFF \
    -DTAVRIK_BENCH=OFF >/dev/null
  cmake --build "$linux" -j "$jobs" --target tavrik
fi

node --check web/page.js
# What a visitor downloads besides the page: at most 250 KB gzipped.
bytes=$(cat build/web/site/tavrik.js build/web/site/tavrik.wasm build/web/site/page.js |
  gzip -9n | wc -c)
echo "tavrik.js, tavrik.wasm and page.js: $bytes bytes gzipped"
[ "$bytes" -le 256000 ] || { echo "FAIL: the page's program is over 250 KB gzipped" >&2; exit 1; }

work=${E2E_OUT:-/tmp/tavrik-e2e}/web
export PYTHONDONTWRITEBYTECODE=1  # no __pycache__ in the sources
tests/web/runner_matches_linux.sh "$PWD/build/web/node/tavrik-headless.js" \
  "$linux/bin/tavrik" "$work/runner"
# The same hostile command lines through every runner: tavrik-replay.exe too, under Wine, where
# TAVRIK_WIN_BUILD names a Windows build whose tests made its Wine prefix.
runners=(TAVRIK_BIN="$linux/bin/tavrik" TAVRIK_NODE_RUNNER="$PWD/build/web/node/tavrik-headless.js")
if [ -n "${TAVRIK_WIN_BUILD:-}" ]; then
  runners+=(TAVRIK_REPLAY="$TAVRIK_WIN_BUILD/src/host/win32/tavrik-replay.exe"
    WINEPREFIX="$TAVRIK_WIN_BUILD/wineprefix" WINE=/usr/lib/wine/wine64 WINEDEBUG=-all)
fi
env "${runners[@]}" E2E_OUT="$work" bash tests/e2e/runners_agree.sh
rm -rf "$work/page"
mkdir -p "$work/page"
python3 tests/web/page_test.py build/web/site "$linux/bin/tavrik" "$work/page"
