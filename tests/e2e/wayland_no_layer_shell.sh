#!/usr/bin/env bash
# The saver on a compositor without layer-shell (hidden from the client by a test switch): a
# full-screen xdg toplevel on each output instead, both lit at their outputs' pixels, and a key
# still ends it.
source "$(dirname "$0")/wayland_lib.sh"
start_sway "output HEADLESS-1 resolution 1280x720 position 0 0" \
  "output HEADLESS-2 resolution 1280x720 position 1280 0 scale 2"
start_input_devices
cd "$E2E_DIR"

# The full-screen TavrikWindow toplevels, one line each: "OUTPUT WxH".
fullscreen_toplevels() {
  swaymsg -t get_tree -r | python3 -c '
import json, sys
def walk(node, output):
    if node.get("type") == "output":
        output = node["name"]
    if node.get("app_id") == "TavrikWindow" and node.get("fullscreen_mode") == 1:
        print(output, "%dx%d" % (node["rect"]["width"], node["rect"]["height"]))
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        walk(child, output)
walk(json.load(sys.stdin), None)' | sort
}

TAVRIK_TEST_NO_LAYER_SHELL=1 start_watched saver "$TAVRIK_BIN" -s
SAVER=$WATCHED
expected="HEADLESS-1 1280x720
HEADLESS-2 640x360"
covered() { [ "$(fullscreen_toplevels)" = "$expected" ]; }
wait_for 20 covered ||
  fail "not one full-screen toplevel on each output: $(fullscreen_toplevels)"
for output in HEADLESS-1 HEADLESS-2; do
  best=$(output_lit "$output" "$output.png")
  echo "$output: $best lit pixels"
  [ "$best" -gt 2000 ] || fail "$output is (nearly) black: $best lit pixels"
done
read -r even every < <(edge_steps steps.png -o HEADLESS-2)
[ "$every" -gt 1000 ] || fail "too few edges on the scale-2 output to measure ($every)"
[ $((even * 4)) -gt "$every" ] || fail "the scale-2 output's toplevel is doubled: $even of $every"

wtype a
expect_watched_end saver "exit 0" 15
echo "wayland without layer-shell: ok"
