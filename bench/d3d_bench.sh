#!/usr/bin/env bash
# The Direct3D device under Wine against the software device: how far their pictures agree, and
# what a frame costs on each. Informational; nothing is asserted.
#   bench/d3d_bench.sh [BUILD_DIR]   (default build/win64)
# For each configuration and seed, 20 frames over a minute of the scene are compared (see
# bench/d3d_agreement.py); then one run is timed on each device, long enough for Wine's start-up
# (about a second, taken off) not to matter.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/win64}
replay="$build/src/host/win32/tavrik-replay.exe"
[ -f "$replay" ] || { echo "no $replay: build the Windows programs first (README)" >&2; exit 1; }
case "$build" in
  *win32*) wine=/usr/lib/wine/wine ;;
  *) wine=/usr/lib/wine/wine64 ;;
esac

work=$(mktemp -d)
export WINEPREFIX="$work/prefix" WINELOADER=$wine WINEDEBUG=-all
xvfb=
cleanup() {
  wineserver -k 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
env -u DISPLAY WINEDLLOVERRIDES="mscoree,mshtml=" "$wine" wineboot -i >/dev/null 2>&1

# A screen of the mode's size, which exclusive mode needs; Wine's processes start over on it.
screen() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  export DISPLAY=:$((200 + RANDOM % 100))
  Xvfb "$DISPLAY" -screen 0 "${1}x24" -nolisten tcp -noreset >/dev/null 2>&1 &
  xvfb=$!
  sleep 1
}

configurations=(
  "640x480 --formation none"
  "1024x768 --formation triangle --resolution 1024x768"
  "800x600 --formation line --clouds wire --resolution 800x600"
)
compared=()
for configuration in "${configurations[@]}"; do
  read -r size options <<<"$configuration"
  screen "$size"
  for seed in ${SEEDS:-21 25 26 27}; do
    name="$size-seed$seed"
    # shellcheck disable=SC2086
    run=($options --seed "$seed" --frame-ms 3000 --frames 20)
    "$wine" "$replay" --device d3d "${run[@]}" --output "$work/$name-d3d" 2>/dev/null
    "$wine" "$replay" --device soft "${run[@]}" --output "$work/$name-soft"
    compared+=("$name" "$work/$name-soft" "$work/$name-d3d")
  done
done
python3 bench/d3d_agreement.py "${compared[@]}"

echo
screen 640x480
seconds() {
  local start end
  start=$(date +%s%N)
  "$wine" "$replay" "$@" --seed 1998 --frame-ms 16 2>/dev/null
  end=$(date +%s%N)
  echo $(((end - start) / 1000))
}
for timed in "soft 20000" "d3d 2000"; do
  read -r device frames <<<"$timed"
  startup=$(seconds --device "$device" --frames 0)
  whole=$(seconds --device "$device" --frames "$frames")
  echo "$device: $(((whole - startup) / frames)) us a frame at 640x480 ($frames frames)"
done
