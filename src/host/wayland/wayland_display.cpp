#include "host/wayland/wayland_display.h"

#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "fractional-scale-v1-client-protocol.h"
#include "host/stop_signals.h"
#include "host/wayland/layer_shell.h"
#include "viewporter-client-protocol.h"
#include "wlr-output-power-management-unstable-v1-client-protocol.h"
#include "xdg-shell-client-protocol.h"

namespace tavrik {

namespace {

// The versions asked for: the newest whose events the listeners below handle.
constexpr uint32_t kCompositorVersion = 4;  // damage_buffer
constexpr uint32_t kOutputVersion = 4;      // name
constexpr uint32_t kSeatVersion = 5;        // the pointer's frame and axis details
constexpr uint32_t kLayerShellVersion = 4;  // on-demand keyboard, destroy

// Whether the environment names a socket that libwayland can look for; without one it would
// print a complaint of its own, and the fall back to X must be quiet.
bool socketNamed() {
  const char* socket = std::getenv("WAYLAND_SOCKET");
  if (socket != nullptr && *socket != '\0') {
    return true;
  }
  const char* name = std::getenv("WAYLAND_DISPLAY");
  if (name != nullptr && name[0] == '/') {
    return true;
  }
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  return runtime != nullptr && *runtime != '\0';
}

void wmBasePing(void*, xdg_wm_base* base, uint32_t serial) {
  xdg_wm_base_pong(base, serial);
}

constexpr xdg_wm_base_listener kWmBaseListener{wmBasePing};

}  // namespace

WaylandDisplay::~WaylandDisplay() {
  if (display_ == nullptr) {
    return;
  }
  dropPointer();
  dropKeyboard();
  for (auto& output : outputs_) {
    dropOutput(*output);
  }
  outputs_.clear();
  if (globals_.outputPower != nullptr) {
    zwlr_output_power_manager_v1_destroy(globals_.outputPower);
  }
  if (globals_.seat != nullptr) {
    wl_seat_destroy(globals_.seat);
  }
  if (globals_.fractionalScale != nullptr) {
    wp_fractional_scale_manager_v1_destroy(globals_.fractionalScale);
  }
  if (globals_.viewporter != nullptr) {
    wp_viewporter_destroy(globals_.viewporter);
  }
  if (globals_.layerShell != nullptr) {
    zwlr_layer_shell_v1_destroy(globals_.layerShell);
  }
  if (globals_.wmBase != nullptr) {
    xdg_wm_base_destroy(globals_.wmBase);
  }
  if (globals_.shm != nullptr) {
    wl_shm_destroy(globals_.shm);
  }
  if (globals_.compositor != nullptr) {
    wl_compositor_destroy(globals_.compositor);
  }
  wl_registry_destroy(registry_);
  wl_display_flush(display_);
  wl_display_disconnect(display_);
  if (xkb_ != nullptr) {
    xkb_context_unref(xkb_);
  }
}

bool WaylandDisplay::connect(bool hideLayerShell, bool withSeat) {
  hideLayerShell_ = hideLayerShell;
  withSeat_ = withSeat;
  if (!socketNamed()) {
    return false;
  }
  display_ = wl_display_connect(nullptr);
  if (display_ == nullptr) {
    return false;
  }
  static constexpr wl_registry_listener kRegistryListener{global, globalRemove};
  registry_ = wl_display_get_registry(display_);
  wl_registry_add_listener(registry_, &kRegistryListener, this);
  // The first round trip tells the globals, the second what they say of themselves (the
  // buffer formats, the outputs, the seat's devices).
  if (wl_display_roundtrip(display_) < 0 || wl_display_roundtrip(display_) < 0) {
    return false;
  }
  connected_ = true;
  return globals_.compositor != nullptr && globals_.shm != nullptr;
}

WaylandOutput* WaylandDisplay::outputFor(const wl_output* output) const {
  for (const auto& known : outputs_) {
    if (known->output == output) {
      return known.get();
    }
  }
  return nullptr;
}

bool WaylandDisplay::flush() {
  while (wl_display_flush(display_) < 0) {
    if (errno != EAGAIN) {
      return false;
    }
    pollfd writable{wl_display_get_fd(display_), POLLOUT, 0};
    if (poll(&writable, 1, -1) < 0 && errno != EINTR) {
      return false;
    }
  }
  return true;
}

bool WaylandDisplay::dispatch(int timeoutMs) {
  if (wl_display_prepare_read(display_) != 0) {
    // Events already read wait in the queue: they come first, and may change what is drawn.
    return wl_display_dispatch_pending(display_) >= 0;
  }
  if (!flush()) {
    wl_display_cancel_read(display_);
    return false;
  }
  pollfd fds[2] = {{wl_display_get_fd(display_), POLLIN, 0}, {stopSignalFd(), POLLIN, 0}};
  const nfds_t count = fds[1].fd >= 0 ? 2 : 1;
  const int ready = poll(fds, count, stopRequested() ? 0 : timeoutMs);
  if (ready > 0 && (fds[0].revents & POLLIN) != 0) {
    if (wl_display_read_events(display_) < 0) {
      return false;
    }
  } else {
    wl_display_cancel_read(display_);
    if (ready > 0 && (fds[0].revents & (POLLERR | POLLHUP)) != 0) {
      return false;
    }
  }
  return wl_display_dispatch_pending(display_) >= 0;
}

bool WaylandDisplay::protocolError() const {
  return display_ != nullptr && wl_display_get_error(display_) == EPROTO;
}

void WaylandDisplay::global(void* data, wl_registry* registry, uint32_t name, const char* interface,
                            uint32_t version) {
  auto* self = static_cast<WaylandDisplay*>(data);
  WaylandGlobals& g = self->globals_;
  const auto bind = [&](const wl_interface* type, uint32_t newest) {
    return wl_registry_bind(registry, name, type, std::min(version, newest));
  };
  if (std::strcmp(interface, wl_compositor_interface.name) == 0 && version >= 4) {
    g.compositor = static_cast<wl_compositor*>(bind(&wl_compositor_interface, kCompositorVersion));
  } else if (std::strcmp(interface, wl_shm_interface.name) == 0) {
    static constexpr wl_shm_listener kShmListener{shmFormat};
    g.shm = static_cast<wl_shm*>(bind(&wl_shm_interface, 1));
    wl_shm_add_listener(g.shm, &kShmListener, self);
  } else if (std::strcmp(interface, xdg_wm_base_interface.name) == 0) {
    g.wmBase = static_cast<xdg_wm_base*>(bind(&xdg_wm_base_interface, 1));
    xdg_wm_base_add_listener(g.wmBase, &kWmBaseListener, self);
  } else if (std::strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0 &&
             !self->hideLayerShell_) {
    g.layerShell =
        static_cast<zwlr_layer_shell_v1*>(bind(&zwlr_layer_shell_v1_interface, kLayerShellVersion));
  } else if (std::strcmp(interface, wp_viewporter_interface.name) == 0) {
    g.viewporter = static_cast<wp_viewporter*>(bind(&wp_viewporter_interface, 1));
  } else if (std::strcmp(interface, wp_fractional_scale_manager_v1_interface.name) == 0) {
    g.fractionalScale = static_cast<wp_fractional_scale_manager_v1*>(
        bind(&wp_fractional_scale_manager_v1_interface, 1));
  } else if (std::strcmp(interface, zwlr_output_power_manager_v1_interface.name) == 0) {
    g.outputPower = static_cast<zwlr_output_power_manager_v1*>(
        bind(&zwlr_output_power_manager_v1_interface, 1));
    for (auto& output : self->outputs_) {
      self->watchPower(*output);
    }
  } else if (std::strcmp(interface, wl_seat_interface.name) == 0 && self->withSeat_ &&
             g.seat == nullptr) {
    static constexpr wl_seat_listener kSeatListener{seatCapabilities, seatName};
    self->seatVersion_ = std::min(version, kSeatVersion);
    g.seat = static_cast<wl_seat*>(bind(&wl_seat_interface, kSeatVersion));
    wl_seat_add_listener(g.seat, &kSeatListener, self);
  } else if (std::strcmp(interface, wl_output_interface.name) == 0 && version >= 2) {
    self->addOutput(name, version);
  }
}

void WaylandDisplay::addOutput(uint32_t name, uint32_t version) {
  static constexpr wl_output_listener kOutputListener{
      outputGeometry, outputMode, outputDone, outputScale, outputName, outputDescription};
  auto output = std::make_unique<WaylandOutput>();
  output->globalName = name;
  output->output = static_cast<wl_output*>(
      wl_registry_bind(registry_, name, &wl_output_interface, std::min(version, kOutputVersion)));
  output->display = this;
  wl_output_add_listener(output->output, &kOutputListener, output.get());
  watchPower(*output);
  outputs_.push_back(std::move(output));
}

void WaylandDisplay::watchPower(WaylandOutput& output) {
  static constexpr zwlr_output_power_v1_listener kPowerListener{powerMode, powerFailed};
  if (globals_.outputPower == nullptr || output.power != nullptr) {
    return;
  }
  output.power = zwlr_output_power_manager_v1_get_output_power(globals_.outputPower, output.output);
  zwlr_output_power_v1_add_listener(output.power, &kPowerListener, &output);
}

void WaylandDisplay::dropOutput(WaylandOutput& output) {
  if (output.power != nullptr) {
    zwlr_output_power_v1_destroy(output.power);
    output.power = nullptr;
  }
  if (wl_output_get_version(output.output) >= WL_OUTPUT_RELEASE_SINCE_VERSION) {
    wl_output_release(output.output);
  } else {
    wl_output_destroy(output.output);
  }
}

void WaylandDisplay::powerMode(void* data, zwlr_output_power_v1*, uint32_t mode) {
  static_cast<WaylandOutput*>(data)->poweredOn = mode != ZWLR_OUTPUT_POWER_V1_MODE_OFF;
}

void WaylandDisplay::powerFailed(void* data, zwlr_output_power_v1* power) {
  auto* output = static_cast<WaylandOutput*>(data);
  zwlr_output_power_v1_destroy(power);
  output->power = nullptr;
  output->poweredOn = true;  // no longer told: taken as on
}

void WaylandDisplay::globalRemove(void* data, wl_registry*, uint32_t name) {
  auto* self = static_cast<WaylandDisplay*>(data);
  auto& outputs = self->outputs_;
  const auto gone = std::find_if(outputs.begin(), outputs.end(),
                                 [name](const auto& output) { return output->globalName == name; });
  if (gone == outputs.end()) {
    return;
  }
  if ((*gone)->described && self->connected_) {
    self->events_.outputRemoved(**gone);
  }
  dropOutput(**gone);
  outputs.erase(gone);
}

void WaylandDisplay::shmFormat(void* data, wl_shm*, uint32_t format) {
  if (format == WL_SHM_FORMAT_RGB565) {
    static_cast<WaylandDisplay*>(data)->globals_.rgb565 = true;
  }
}

void WaylandDisplay::seatCapabilities(void* data, wl_seat* seat, uint32_t capabilities) {
  auto* self = static_cast<WaylandDisplay*>(data);
  static constexpr wl_pointer_listener kPointerListener{
      pointerEnter, pointerLeave,      pointerMotion,   pointerButton,       pointerAxis,
      pointerFrame, pointerAxisSource, pointerAxisStop, pointerAxisDiscrete, pointerAxisValue120};
  static constexpr wl_keyboard_listener kKeyboardListener{
      keyboardKeymap, keyboardEnter, keyboardLeave, keyboardKey, keyboardModifiers, keyboardRepeat};
  const bool pointer = (capabilities & WL_SEAT_CAPABILITY_POINTER) != 0;
  const bool keyboard = (capabilities & WL_SEAT_CAPABILITY_KEYBOARD) != 0;
  if (pointer && self->pointer_ == nullptr) {
    self->pointer_ = wl_seat_get_pointer(seat);
    wl_pointer_add_listener(self->pointer_, &kPointerListener, self);
  } else if (!pointer) {
    self->dropPointer();
  }
  if (keyboard && self->keyboard_ == nullptr) {
    self->keyboard_ = wl_seat_get_keyboard(seat);
    wl_keyboard_add_listener(self->keyboard_, &kKeyboardListener, self);
  } else if (!keyboard) {
    self->dropKeyboard();
  }
}

void WaylandDisplay::seatName(void*, wl_seat*, const char*) {}

void WaylandDisplay::dropPointer() {
  if (pointer_ == nullptr) {
    return;
  }
  if (seatVersion_ >= WL_POINTER_RELEASE_SINCE_VERSION) {
    wl_pointer_release(pointer_);
  } else {
    wl_pointer_destroy(pointer_);
  }
  pointer_ = nullptr;
}

void WaylandDisplay::dropKeyboard() {
  if (keyboard_ != nullptr) {
    if (seatVersion_ >= WL_KEYBOARD_RELEASE_SINCE_VERSION) {
      wl_keyboard_release(keyboard_);
    } else {
      wl_keyboard_destroy(keyboard_);
    }
    keyboard_ = nullptr;
  }
  if (keyState_ != nullptr) {
    xkb_state_unref(keyState_);
    keyState_ = nullptr;
  }
  if (keymap_ != nullptr) {
    xkb_keymap_unref(keymap_);
    keymap_ = nullptr;
  }
}

void WaylandDisplay::outputGeometry(void*, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t,
                                    const char*, const char*, int32_t) {}

void WaylandDisplay::outputMode(void* data, wl_output*, uint32_t flags, int32_t, int32_t,
                                int32_t refresh) {
  if ((flags & WL_OUTPUT_MODE_CURRENT) != 0) {
    static_cast<WaylandOutput*>(data)->refreshMilliHz = refresh;
  }
}

void WaylandDisplay::outputDone(void* data, wl_output*) {
  auto* output = static_cast<WaylandOutput*>(data);
  const bool first = !output->described;
  output->described = true;
  if (output->display->connected_) {
    if (first) {
      output->display->events_.outputAdded(*output);
    } else {
      output->display->events_.outputChanged(*output);
    }
  }
}

void WaylandDisplay::outputScale(void* data, wl_output*, int32_t factor) {
  static_cast<WaylandOutput*>(data)->scale = std::max(factor, 1);
}

void WaylandDisplay::outputName(void* data, wl_output*, const char* name) {
  auto* output = static_cast<WaylandOutput*>(data);
  std::snprintf(output->name, sizeof output->name, "%s", name);
}

void WaylandDisplay::outputDescription(void*, wl_output*, const char*) {}

void WaylandDisplay::pointerEnter(void* data, wl_pointer* pointer, uint32_t serial, wl_surface*,
                                  wl_fixed_t, wl_fixed_t) {
  static_cast<WaylandDisplay*>(data)->events_.pointerEntered(pointer, serial);
}

void WaylandDisplay::pointerLeave(void*, wl_pointer*, uint32_t, wl_surface*) {}

void WaylandDisplay::pointerMotion(void* data, wl_pointer*, uint32_t, wl_fixed_t, wl_fixed_t) {
  static_cast<WaylandDisplay*>(data)->events_.pointerMoved();
}

void WaylandDisplay::pointerButton(void* data, wl_pointer*, uint32_t, uint32_t, uint32_t button,
                                   uint32_t state) {
  if (state == WL_POINTER_BUTTON_STATE_PRESSED) {
    static_cast<WaylandDisplay*>(data)->events_.buttonPressed(button);
  }
}

void WaylandDisplay::pointerAxis(void* data, wl_pointer*, uint32_t, uint32_t, wl_fixed_t) {
  static_cast<WaylandDisplay*>(data)->events_.wheelTurned();
}

void WaylandDisplay::pointerFrame(void*, wl_pointer*) {}
void WaylandDisplay::pointerAxisSource(void*, wl_pointer*, uint32_t) {}
void WaylandDisplay::pointerAxisStop(void*, wl_pointer*, uint32_t, uint32_t) {}
void WaylandDisplay::pointerAxisDiscrete(void*, wl_pointer*, uint32_t, int32_t) {}
void WaylandDisplay::pointerAxisValue120(void*, wl_pointer*, uint32_t, int32_t) {}

void WaylandDisplay::keyboardKeymap(void* data, wl_keyboard*, uint32_t format, int32_t fd,
                                    uint32_t size) {
  auto* self = static_cast<WaylandDisplay*>(data);
  void* text = format == WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1
                   ? mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0)
                   : MAP_FAILED;
  close(fd);
  if (text == MAP_FAILED) {
    return;
  }
  if (self->xkb_ == nullptr) {
    self->xkb_ = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
  }
  xkb_keymap* keymap =
      self->xkb_ == nullptr
          ? nullptr
          : xkb_keymap_new_from_buffer(self->xkb_, static_cast<const char*>(text),
                                       strnlen(static_cast<const char*>(text), size),
                                       XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS);
  munmap(text, size);
  if (keymap == nullptr) {
    return;
  }
  if (self->keyState_ != nullptr) {
    xkb_state_unref(self->keyState_);
  }
  if (self->keymap_ != nullptr) {
    xkb_keymap_unref(self->keymap_);
  }
  self->keymap_ = keymap;
  self->keyState_ = xkb_state_new(keymap);
}

void WaylandDisplay::keyboardEnter(void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {}
void WaylandDisplay::keyboardLeave(void*, wl_keyboard*, uint32_t, wl_surface*) {}

void WaylandDisplay::keyboardKey(void* data, wl_keyboard*, uint32_t, uint32_t, uint32_t key,
                                 uint32_t state) {
  auto* self = static_cast<WaylandDisplay*>(data);
  if (state != WL_KEYBOARD_KEY_STATE_PRESSED) {
    return;
  }
  // evdev numbers keys 8 below X's key codes, which xkbcommon takes.
  constexpr uint32_t kEvdevOffset = 8;
  xkb_keysym_t symbol = XKB_KEY_NoSymbol;
  bool alt = false;
  if (self->keyState_ != nullptr) {
    symbol = xkb_state_key_get_one_sym(self->keyState_, key + kEvdevOffset);
    alt = xkb_state_mod_name_is_active(self->keyState_, XKB_MOD_NAME_ALT,
                                       XKB_STATE_MODS_EFFECTIVE) > 0;
  }
  self->events_.keyPressed(symbol, alt);
}

void WaylandDisplay::keyboardModifiers(void* data, wl_keyboard*, uint32_t, uint32_t depressed,
                                       uint32_t latched, uint32_t locked, uint32_t group) {
  auto* self = static_cast<WaylandDisplay*>(data);
  if (self->keyState_ != nullptr) {
    xkb_state_update_mask(self->keyState_, depressed, latched, locked, 0, 0, group);
  }
}

void WaylandDisplay::keyboardRepeat(void*, wl_keyboard*, int32_t, int32_t) {}

}  // namespace tavrik
