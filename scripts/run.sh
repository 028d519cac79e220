#!/usr/bin/env bash
# Builds TAVRIK (installing what it needs first) and starts the saver. Arguments are passed on,
# e.g. scripts/run.sh --formation triangle.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/release -j "$(nproc)" --target tavrik

exec build/release/src/host/linux/tavrik "$@"
