#!/usr/bin/env bash
# Builds the browser version with Debian's emscripten: build/web/site is the page, one static
# folder for any static file server (index.html, page.js, tavrik.js, tavrik.wasm, the service
# worker, the manifest, the icons, the preview picture, the licence and the property files of
# web-wallpaper hosts), and
# build/web/node the headless runner for Node (node --no-experimental-fetch tavrik-headless.js).
#   scripts/web.sh [--serve PORT]    with --serve, serves the page on http://127.0.0.1:PORT/
set -euo pipefail
cd "$(dirname "$0")/.."

port=""
if [ "${1:-}" = "--serve" ]; then
  port=${2:?--serve needs a port}
elif [ $# -gt 0 ]; then
  echo "usage: scripts/web.sh [--serve PORT]" >&2
  exit 2
fi

# Debian's emscripten finds its JavaScript optimizer's parser (acorn) only through NODE_PATH.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
emcmake cmake -S . -B build/web/cmake -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DTAVRIK_TESTS=OFF -DTAVRIK_BENCH=OFF >/dev/null
cmake --build build/web/cmake -j "${WEB_JOBS:-2}" --target tavrik_page tavrik_headless_node

out=build/web/cmake/src/host/web
rm -rf build/web/site build/web/node
mkdir -p build/web/site build/web/node
cp web/index.html web/page.js web/manifest.webmanifest web/wallpaper/* resources/web/icon-*.png \
  "$out/tavrik.js" "$out/tavrik.wasm" "$out/service-worker.js" build/web/site/
cp resources/screen-1920x1080.png build/web/site/preview.png
cp LICENSE build/web/site/LICENSE.txt
cp "$out/tavrik-headless.js" "$out/tavrik-headless.wasm" build/web/node/

if [ -n "$port" ]; then
  echo "TAVRIK on http://127.0.0.1:$port/"
  exec python3 -m http.server "$port" --bind 127.0.0.1 --directory build/web/site
fi
