#!/usr/bin/env bash
# -window on a Wayland session: an xdg toplevel drawn at its size in the output's pixels (here a
# scale-2 output), that follows a resize: after one, the picture is drawn at the new size, as
# the -fps readout in its new bottom left corner shows. Escape closes it.
source "$(dirname "$0")/wayland_lib.sh"
start_sway "output HEADLESS-1 resolution 2560x1440 position 0 0 scale 2" \
  "output HEADLESS-2 resolution 1280x720 position 1280 0" "focus output HEADLESS-1"
start_input_devices
cd "$E2E_DIR"

# The window's rectangle in the layout, in logical pixels: "X Y W H".
window_rect() {
  swaymsg -t get_tree -r | python3 -c '
import json, sys
def walk(node):
    if node.get("app_id") == "TavrikWindow":
        r = node["rect"]
        print(r["x"], r["y"], r["width"], r["height"])
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        walk(child)
walk(json.load(sys.stdin))'
}

# window_shows W H NAME: the window is W x H, and a shot of it (at the output's scale) is twice
# that, with the readout's white text in its bottom left corner: a picture that did not follow
# the window would have its readout elsewhere, or outside.
window_shows() {
  local x y w h
  read -r x y w h < <(window_rect) || return 1
  [ "$w" = "$1" ] && [ "$h" = "$2" ] || return 1
  grim -g "$x,$y ${w}x$h" "$3.png" || return 1
  [ "$(identify -format '%wx%h' "$3.png")" = "$((w * 2))x$((h * 2))" ] || return 1
  convert "$3.png" -crop "$((w / 2))x$((h / 4))+0+$((h * 2 - h / 4))" "$3-corner.png"
  [ "$(count_colour "$3-corner.png" '#ffffff' 1%)" -gt 40 ]
}

for device in automatic gl; do
  start_watched window sh -c 'exec "$0" -window -fps ${1:+-device "$1"} 2>window.err' \
    "$TAVRIK_BIN" "${device#automatic}"
  wait_for 20 window_rect || fail "no TavrikWindow toplevel appeared"
  read -r _ _ w h < <(window_rect)
  wait_for 20 window_shows "$w" "$h" tiled || fail "the tiled window ($w x $h) shows no picture with its readout"
  read -r x y w h < <(window_rect)
  read -r even every < <(edge_steps steps.png -g "$x,$y ${w}x$h")
  [ "$every" -gt 1000 ] || fail "too few edges in the window to measure ($every)"
  echo "$device tiled: ${w}x$h, shot $(identify -format '%wx%h' tiled.png), $even of $every steps inside pixel pairs"
  [ $((even * 4)) -gt "$every" ] || fail "the window's picture is doubled on the scale-2 output"

  swaymsg '[app_id=TavrikWindow] floating enable, resize set width 800 px height 500 px' >/dev/null
  wait_for 20 window_shows 800 500 resized || fail "the picture did not follow the resize to 800x500: $(window_rect)"
  echo "$device resized: $(window_rect), shot $(identify -format '%wx%h' resized.png)"

  wtype -k Escape
  expect_watched_end window "exit 0" 15
  said=$(cat window.err)
  case $device in
  automatic) [[ $said == "tavrik: drawing with the software device on Wayland: an xdg toplevel,"* ]] ;;
  gl) [[ $said == "tavrik: drawing with OpenGL (llvmpipe"*") through EGL on Wayland: an xdg toplevel, EGL buffers,"* ]] ;;
  esac || fail "-fps with $device said: $said"
  cp resized.png "resized-$device.png"
done
echo "wayland window: ok"
