#!/usr/bin/env bash
# The Direct3D device draws what the software device draws: frames of the same runs, spread over
# a minute of the scene, agree on at least 99.5 % of their pixels within one RGB565 step.
# Wine lights with the inverse transpose of the world matrix where Direct3D and the software
# device turn normals by the matrix itself; for a banked harrier, whose matrix is not
# orthonormal, a face can differ by several steps, and a close-up of one fills more than 0.5 %
# of the screen (bench/d3d_bench.sh shows such frames). These runs have no such close-up.
source "$(dirname "$0")/win_lib.sh"
cd "$E2E_DIR"
reset_settings
agreement="$(cd "$(dirname "$0")/../../.." && pwd)/bench/d3d_agreement.py"

configurations=(
  "default 640x480 --seed 21"
  "triangle-1024 1024x768 --seed 25 --formation triangle --resolution 1024x768"
  "line-wire-800 800x600 --seed 23 --formation line --clouds wire --resolution 800x600"
)
compared=()
for configuration in "${configurations[@]}"; do
  read -r name size options <<<"$configuration"
  win_display "${size}x24"
  # shellcheck disable=SC2086
  run=($options --frame-ms 3000 --frames 20)
  win "$TAVRIK_REPLAY" --device d3d "${run[@]}" --output "$name-d3d" 2>"$name.txt" ||
    fail "$name: the Direct3D run failed"
  grep -q "Direct3D at ${size}x16" "$name.txt" || fail "$name: $(cat "$name.txt")"
  win "$TAVRIK_REPLAY" "${run[@]}" --output "$name-soft" || fail "$name: the software run failed"
  compared+=("$name" "$name-soft" "$name-d3d")
done
python3 "$agreement" --min 99.5 "${compared[@]}" || fail "the devices disagree"
echo "PASS"
