# Shared by the Wayland end-to-end tests: source it, then call start_sway. A headless sway runs
# as an unprivileged user (it refuses root), with a private runtime folder; the test's own
# clients (tavrik, grim, swaymsg) reach it through that folder's sockets. Everything started
# here is stopped when the test ends.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

WAYLAND_USER=${E2E_WAYLAND_USER:-tavrik-e2e}
unset DISPLAY WAYLAND_DISPLAY SWAYSOCK

wayland_cleanup() {
  if [ -n "${SWAYSOCK:-}" ]; then
    swaymsg exit >/dev/null 2>&1 || true
  fi
  if [ -n "${OUTER_SWAYSOCK:-}" ]; then
    SWAYSOCK=$OUTER_SWAYSOCK swaymsg exit >/dev/null 2>&1 || true
  fi
  e2e_cleanup
}
trap wayland_cleanup EXIT

# start_sway CONFIG_LINE...: a headless sway with two outputs (HEADLESS-1, HEADLESS-2) and the
# given config lines; exports XDG_RUNTIME_DIR, WAYLAND_DISPLAY and SWAYSOCK for its clients.
start_sway() {
  if ! id -u "$WAYLAND_USER" >/dev/null 2>&1; then
    useradd --system --no-create-home --shell /usr/sbin/nologin "$WAYLAND_USER" ||
      fail "cannot add the user $WAYLAND_USER"
  fi
  if [ "$(id -u)" -eq 0 ]; then
    as_user=(runuser -u "$WAYLAND_USER" --)
  else
    as_user=()  # an ordinary user runs sway as itself
  fi
  # The compositor's user runs what sway starts itself (swaymsg exec, foot).
  chmod o+rx "$TAVRIK_BIN"
  SWAY_RUNTIME="$E2E_DIR/runtime"
  mkdir -m 0700 "$SWAY_RUNTIME"
  [ ${#as_user[@]} -eq 0 ] || chown "$WAYLAND_USER:" "$SWAY_RUNTIME"
  printf '%s\n' "xwayland disable" "default_border none" "$@" >"$SWAY_RUNTIME/config"
  rm -f "$E2E_DIR/sway.pid"
  "${as_user[@]}" env -i PATH="$PATH" HOME="$SWAY_RUNTIME" XDG_RUNTIME_DIR="$SWAY_RUNTIME" \
    WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
    WLR_HEADLESS_OUTPUTS="${SWAY_OUTPUTS:-2}" \
    sh -c 'echo $$ >"$1/sway.pid"; exec sway -c "$1/config"' sway "$SWAY_RUNTIME" \
    >"$E2E_DIR/sway.log" 2>&1 &
  E2E_PIDS+=($!)
  wait_for 10 test -s "$SWAY_RUNTIME/sway.pid" || fail "sway did not start"
  E2E_PIDS+=("$(cat "$SWAY_RUNTIME/sway.pid")")
  export XDG_RUNTIME_DIR="$SWAY_RUNTIME"
  wait_for 15 sway_sockets || fail "sway made no sockets: $(tail -5 "$E2E_DIR/sway.log")"
  export WAYLAND_DISPLAY SWAYSOCK
  WAYLAND_DISPLAY=$(cd "$SWAY_RUNTIME" && ls wayland-? | head -n 1)
  SWAYSOCK=$(ls "$SWAY_RUNTIME"/sway-ipc.*.sock | head -n 1)
  wait_for 10 swaymsg -t get_outputs || fail "sway does not answer"
}

# start_nested_sway OUTPUTS CONFIG_LINE...: a second sway inside the first, on its Wayland
# backend: its outputs (WL-1, WL-2, ...) are windows of the first sway, and closing one there
# unplugs that output, which a headless output cannot be. Exports WAYLAND_DISPLAY and SWAYSOCK for
# the inner sway; the outer one stays reachable through OUTER_WAYLAND_DISPLAY and OUTER_SWAYSOCK.
start_nested_sway() {
  local outputs=$1
  shift
  OUTER_WAYLAND_DISPLAY=$WAYLAND_DISPLAY
  OUTER_SWAYSOCK=$SWAYSOCK
  printf '%s\n' "xwayland disable" "default_border none" "$@" >"$SWAY_RUNTIME/nested.config"
  "${as_user[@]}" env -i PATH="$PATH" HOME="$SWAY_RUNTIME" XDG_RUNTIME_DIR="$SWAY_RUNTIME" \
    WAYLAND_DISPLAY="$OUTER_WAYLAND_DISPLAY" WLR_BACKENDS=wayland WLR_RENDERER=pixman \
    WLR_WL_OUTPUTS="$outputs" \
    sh -c 'echo $$ >"$1/nested.pid"; exec sway -c "$1/nested.config"' sway "$SWAY_RUNTIME" \
    >"$E2E_DIR/nested-sway.log" 2>&1 &
  E2E_PIDS+=($!)
  wait_for 10 test -s "$SWAY_RUNTIME/nested.pid" || fail "the inner sway did not start"
  local pid
  pid=$(cat "$SWAY_RUNTIME/nested.pid")
  E2E_PIDS+=("$pid")
  wait_for 15 nested_sockets "$pid" || fail "the inner sway made no sockets: $(tail -5 "$E2E_DIR/nested-sway.log")"
  SWAYSOCK=$(ls "$SWAY_RUNTIME"/sway-ipc.*."$pid".sock | head -n 1)
  WAYLAND_DISPLAY=$(cd "$SWAY_RUNTIME" && ls wayland-? | grep -vx "$OUTER_WAYLAND_DISPLAY" | head -n 1)
  wait_for 10 swaymsg -t get_outputs || fail "the inner sway does not answer"
}

nested_sockets() {
  ls "$SWAY_RUNTIME"/sway-ipc.*."$1".sock && [ "$(cd "$SWAY_RUNTIME" && ls wayland-? | wc -l)" -ge 2 ]
}

sway_sockets() {
  ls "$SWAY_RUNTIME"/wayland-? && ls "$SWAY_RUNTIME"/sway-ipc.*.sock
}

# output_size NAME: the output's size in physical pixels, WxH.
output_size() {
  swaymsg -t get_outputs -r | python3 -c '
import json, sys
for o in json.load(sys.stdin):
    if o["name"] == sys.argv[1]:
        print("%dx%d" % (o["current_mode"]["width"], o["current_mode"]["height"]))' "$1"
}

# shot NAME FILE: a screenshot of one output, in physical pixels.
shot() {
  grim -o "$1" "$2"
}

# output_lit NAME FILE [ENOUGH]: takes screenshots of the output until one has more than ENOUGH
# lit pixels (default 2000) and more than 8 colours, for up to 20 s; prints the most lit pixels.
output_lit() {
  local name=$1 file=$2 enough=${3:-2000} best=0 lit colours
  for _ in $(seq 1 40); do
    shot "$name" "$file" 2>/dev/null || { sleep 0.5; continue; }
    lit=$(lit_pixels "$file")
    colours=$(convert "$file" -format '%k' info:)
    [ "$lit" -gt "$best" ] && best=$lit
    [ "$lit" -gt "$enough" ] && [ "$colours" -gt 8 ] && break
    sleep 0.5
  done
  echo "$best"
}

# lit_pixels FILE: the pixels that are not (nearly) black, as a whole number at any size.
lit_pixels() {
  convert "$1" -colorspace gray -threshold 5% -precision 16 -format '%[fx:int(mean*w*h+0.5)]' info:
}

# pixel_steps FILE: how often neighbouring pixels differ where a picture doubled in both
# directions could not differ (between columns 2k and 2k+1, and rows 2k and 2k+1), against how
# often they differ anywhere, over the whole shot: "EVEN ALL". A doubled picture gives 0 EVEN.
pixel_steps() {
  local size
  size=$(identify -format '%wx%h' "$1")
  convert "$1" -depth 8 rgb:- | python3 -c '
import sys
w, h = map(int, sys.argv[1].split("x"))
data = sys.stdin.buffer.read()
stride = w * 3
even = every = 0
for y in range(0, h - 1, 3):
    row = data[y * stride:(y + 1) * stride]
    below = data[(y + 1) * stride:(y + 2) * stride]
    for x in range(0, w - 1):
        here = row[x * 3:x * 3 + 3]
        if here != row[x * 3 + 3:x * 3 + 6]:
            every += 1
            if x % 2 == 0:
                even += 1
        if here != below[x * 3:x * 3 + 3]:
            every += 1
            if y % 2 == 0:
                even += 1
print(even, every)' "$size"
}

# edge_steps FILE GRIM_ARGUMENTS...: shots (grim -o OUTPUT, or -g REGION) until one has more
# than 1000 steps between neighbouring pixels to measure (some moments are mostly black sky), for
# up to 20 s; prints pixel_steps of the shot with the most, which is left in FILE.
edge_steps() {
  local file=$1 best_even=0 best_every=0 even every i
  shift
  for i in $(seq 1 40); do
    grim "$@" "$file.$i.png" 2>/dev/null || { sleep 0.5; continue; }
    read -r even every < <(pixel_steps "$file.$i.png")
    if [ "$every" -gt "$best_every" ]; then
      best_even=$even best_every=$every
      cp "$file.$i.png" "$file"
    fi
    [ "$best_every" -gt 1000 ] && break
    sleep 0.5
  done
  echo "$best_even $best_every"
}

# tavrik_cpu PID: the process's CPU time so far, in clock ticks.
tavrik_cpu() {
  awk '{print $14 + $15}' "/proc/$1/stat"
}

# start_input_devices: a virtual pointer and a virtual keyboard on sway's seat (which has no
# devices of its own headless), kept until the test ends, so that the seat has both before a
# client starts and no client misses the first events while it binds them. Then
# pointer_do "move DX DY" | "button CODE" | "wheel" sends one pointer event and returns once sway
# has handled it.
start_input_devices() {
  coproc INPUT_DEVICES { python3 -u -c "$WAYLAND_INPUT_HELPER"; }
  E2E_PIDS+=("$INPUT_DEVICES_PID")
  local reply
  read -r -t 10 reply <&"${INPUT_DEVICES[0]}" || fail "the input devices did not start"
  [ "$reply" = ready ] || fail "the input devices: $reply"
  wait_for 10 seat_has_devices || fail "the seat has no pointer and keyboard"
}

seat_has_devices() {
  [ "$(swaymsg -t get_seats -r | python3 -c 'import json,sys; print(json.load(sys.stdin)[0]["capabilities"])')" = 3 ]
}

pointer_do() {
  local reply
  echo "$*" >&"${INPUT_DEVICES[1]}"
  read -r -t 10 reply <&"${INPUT_DEVICES[0]}" || fail "the pointer did not answer '$*'"
  [ "$reply" = done ] || fail "the pointer: $reply"
}

# A small Wayland client spoken on the wire: it binds the seat and the two virtual-device
# managers, makes one device of each, and sends what it is told.
WAYLAND_INPUT_HELPER=$(
  cat <<'PY'
import array, os, socket, struct, sys

path = os.path.join(os.environ["XDG_RUNTIME_DIR"], os.environ["WAYLAND_DISPLAY"])
sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
sock.connect(path)
buffered = b""
next_id = [2]

def new_id():
    next_id[0] += 1
    return next_id[0] - 1

def string(text):
    data = text.encode() + b"\0"
    return struct.pack("<I", len(data)) + data + b"\0" * (-len(data) % 4)

def send(obj, opcode, args=b"", fds=()):
    message = struct.pack("<II", obj, (8 + len(args)) << 16 | opcode) + args
    ancillary = [(socket.SOL_SOCKET, socket.SCM_RIGHTS, array.array("i", fds))] if fds else []
    sock.sendmsg([message], ancillary)

def events():
    global buffered
    while True:
        while len(buffered) >= 8:
            obj, word = struct.unpack("<II", buffered[:8])
            size = word >> 16
            if len(buffered) < size:
                break
            body, buffered = buffered[8:size], buffered[size:]
            yield obj, word & 0xFFFF, body
        data = sock.recv(65536)
        if not data:
            sys.exit("the compositor went away")
        buffered += data

def roundtrip(on_event=lambda obj, opcode, body: None):
    callback = new_id()
    send(1, 0, struct.pack("<I", callback))  # wl_display.sync
    for obj, opcode, body in events():
        if obj == callback:
            return
        if obj == 1 and opcode == 0:
            sys.exit("protocol error")
        on_event(obj, opcode, body)

registry = new_id()
send(1, 1, struct.pack("<I", registry))  # wl_display.get_registry
globals_ = {}

def on_global(obj, opcode, body):
    if obj == registry and opcode == 0:
        name, length = struct.unpack("<II", body[:8])
        interface = body[8:8 + length - 1].decode()
        globals_[interface] = name

roundtrip(on_global)

def bind(interface, version):
    obj = new_id()
    send(registry, 0, struct.pack("<I", globals_[interface]) + string(interface) +
         struct.pack("<II", version, obj))
    return obj

seat = bind("wl_seat", 1)
pointer_manager = bind("zwlr_virtual_pointer_manager_v1", 1)
keyboard_manager = bind("zwp_virtual_keyboard_manager_v1", 1)
pointer = new_id()
send(pointer_manager, 0, struct.pack("<II", seat, pointer))  # create_virtual_pointer
keyboard = new_id()
send(keyboard_manager, 0, struct.pack("<II", seat, keyboard))  # create_virtual_keyboard
keymap = (b"xkb_keymap {\n"
          b"xkb_keycodes \"k\" { minimum = 8; maximum = 255; <K1> = 38; };\n"
          b"xkb_types \"t\" { include \"complete\" };\n"
          b"xkb_compatibility \"c\" { include \"complete\" };\n"
          b"xkb_symbols \"s\" { key <K1> { [ a ] }; };\n"
          b"};\n\0")
fd = os.memfd_create("keymap")
os.write(fd, keymap)
send(keyboard, 0, struct.pack("<II", 1, len(keymap)), [fd])  # keymap, XKB v1
os.close(fd)
roundtrip()
print("ready")

time = 0
for line in sys.stdin:
    words = line.split()
    time += 10
    if words[0] == "move":
        dx, dy = (int(float(v) * 256) for v in words[1:3])
        send(pointer, 0, struct.pack("<Iii", time, dx, dy))
    elif words[0] == "button":
        for state in (1, 0):
            send(pointer, 2, struct.pack("<III", time, int(words[1]), state))
            send(pointer, 4)
    elif words[0] == "wheel":
        send(pointer, 3, struct.pack("<IIi", time, 0, 10 * 256))
    send(pointer, 4)  # frame
    roundtrip()
    print("done")
PY
)

# dominant_colour FILE: the shot's most frequent colour and its share in percent: "#RRGGBB N".
dominant_colour() {
  convert "$1" -format %c histogram:info:- | sort -rn | awk -v total="$(identify -format '%[fx:w*h]' "$1")" \
    'NR == 1 {print $3, int($1 * 100 / total)}'
}
