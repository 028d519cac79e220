// The connection to a Wayland compositor: the globals a saver binds, the outputs as they come and
// go, and the seat's pointer and keyboard, with keys read through the compositor's keymap
// (xkbcommon). It draws nothing; the session decides what every event means.
#pragma once

#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <cstdint>
#include <memory>
#include <vector>

struct xdg_wm_base;
struct zwlr_layer_shell_v1;
struct wp_viewporter;
struct wp_fractional_scale_manager_v1;
struct zwlr_output_power_manager_v1;
struct zwlr_output_power_v1;

namespace tavrik {

class WaylandDisplay;

struct WaylandOutput {
  WaylandDisplay* display = nullptr;  // whose output it is, for its events
  wl_output* output = nullptr;
  uint32_t globalName = 0;
  int32_t scale = 1;
  int32_t refreshMilliHz = 0;  // of the current mode; 0: not told
  bool described = false;      // its first set of events is complete
  // Off while the compositor has powered it down (DPMS), where it tells; some compositors still
  // call frames back for the surfaces on it.
  bool poweredOn = true;
  zwlr_output_power_v1* power = nullptr;
  char name[32] = "";  // the compositor's name for it, where told (wl_output 4)
};

// What the session hears of the display, each as it happens.
class DisplayEvents {
 public:
  virtual ~DisplayEvents() = default;
  // An output described for the first time after connect() returned.
  virtual void outputAdded(WaylandOutput& output) = 0;
  // A later description of the output (a new mode or scale, or the output enabled again).
  virtual void outputChanged(WaylandOutput& output) = 0;
  // Before the output goes.
  virtual void outputRemoved(WaylandOutput& output) = 0;
  virtual void pointerEntered(wl_pointer* pointer, uint32_t serial) = 0;
  virtual void pointerMoved() = 0;
  virtual void buttonPressed(uint32_t button) = 0;  // evdev's BTN_ codes
  virtual void wheelTurned() = 0;
  // A key pressed: its symbol, and whether Alt was held.
  virtual void keyPressed(xkb_keysym_t symbol, bool alt) = 0;
};

struct WaylandGlobals {
  wl_compositor* compositor = nullptr;
  wl_shm* shm = nullptr;
  bool rgb565 = false;  // the compositor takes RGB565 buffers
  xdg_wm_base* wmBase = nullptr;
  zwlr_layer_shell_v1* layerShell = nullptr;
  wp_viewporter* viewporter = nullptr;
  wp_fractional_scale_manager_v1* fractionalScale = nullptr;
  zwlr_output_power_manager_v1* outputPower = nullptr;
  wl_seat* seat = nullptr;
};

class WaylandDisplay {
 public:
  explicit WaylandDisplay(DisplayEvents& events) : events_(events) {}
  ~WaylandDisplay();
  WaylandDisplay(const WaylandDisplay&) = delete;
  WaylandDisplay& operator=(const WaylandDisplay&) = delete;

  // Connects to $WAYLAND_DISPLAY and learns its globals and outputs; false when there is no
  // compositor, or it lacks wl_compositor or wl_shm. hideLayerShell leaves layer-shell unbound, as
  // if the compositor had none; withSeat binds the seat for input.
  bool connect(bool hideLayerShell, bool withSeat);

  const WaylandGlobals& globals() const { return globals_; }
  wl_display* connection() const { return display_; }
  const std::vector<std::unique_ptr<WaylandOutput>>& outputs() const { return outputs_; }
  WaylandOutput* outputFor(const wl_output* output) const;

  // Sends what was asked; false when the connection is lost.
  bool flush();
  // Waits for events for up to timeoutMs (-1: until one comes) or a stop signal, and handles
  // them; false when the connection is lost.
  bool dispatch(int timeoutMs);
  // The connection broke through a protocol error of ours rather than the compositor's end.
  bool protocolError() const;

 private:
  static void global(void* data, wl_registry* registry, uint32_t name, const char* interface,
                     uint32_t version);
  static void globalRemove(void* data, wl_registry* registry, uint32_t name);
  static void shmFormat(void* data, wl_shm* shm, uint32_t format);
  static void seatCapabilities(void* data, wl_seat* seat, uint32_t capabilities);
  static void seatName(void* data, wl_seat* seat, const char* name);
  static void outputGeometry(void*, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t,
                             const char*, const char*, int32_t);
  static void outputMode(void* data, wl_output* output, uint32_t flags, int32_t width,
                         int32_t height, int32_t refresh);
  static void outputDone(void* data, wl_output* output);
  static void outputScale(void* data, wl_output* output, int32_t factor);
  static void outputName(void* data, wl_output* output, const char* name);
  static void outputDescription(void* data, wl_output* output, const char* description);
  static void pointerEnter(void* data, wl_pointer* pointer, uint32_t serial, wl_surface* surface,
                           wl_fixed_t x, wl_fixed_t y);
  static void pointerLeave(void* data, wl_pointer* pointer, uint32_t serial, wl_surface* surface);
  static void pointerMotion(void* data, wl_pointer* pointer, uint32_t time, wl_fixed_t x,
                            wl_fixed_t y);
  static void pointerButton(void* data, wl_pointer* pointer, uint32_t serial, uint32_t time,
                            uint32_t button, uint32_t state);
  static void pointerAxis(void* data, wl_pointer* pointer, uint32_t time, uint32_t axis,
                          wl_fixed_t value);
  static void pointerFrame(void* data, wl_pointer* pointer);
  static void pointerAxisSource(void* data, wl_pointer* pointer, uint32_t source);
  static void pointerAxisStop(void* data, wl_pointer* pointer, uint32_t time, uint32_t axis);
  static void pointerAxisDiscrete(void* data, wl_pointer* pointer, uint32_t axis, int32_t steps);
  static void pointerAxisValue120(void* data, wl_pointer* pointer, uint32_t axis, int32_t value);
  static void keyboardKeymap(void* data, wl_keyboard* keyboard, uint32_t format, int32_t fd,
                             uint32_t size);
  static void keyboardEnter(void* data, wl_keyboard* keyboard, uint32_t serial, wl_surface* surface,
                            wl_array* keys);
  static void keyboardLeave(void* data, wl_keyboard* keyboard, uint32_t serial,
                            wl_surface* surface);
  static void keyboardKey(void* data, wl_keyboard* keyboard, uint32_t serial, uint32_t time,
                          uint32_t key, uint32_t state);
  static void keyboardModifiers(void* data, wl_keyboard* keyboard, uint32_t serial,
                                uint32_t depressed, uint32_t latched, uint32_t locked,
                                uint32_t group);
  static void keyboardRepeat(void* data, wl_keyboard* keyboard, int32_t rate, int32_t delay);

  static void powerMode(void* data, zwlr_output_power_v1* power, uint32_t mode);
  static void powerFailed(void* data, zwlr_output_power_v1* power);

  void addOutput(uint32_t name, uint32_t version);
  void watchPower(WaylandOutput& output);
  static void dropOutput(WaylandOutput& output);
  void dropPointer();
  void dropKeyboard();

  DisplayEvents& events_;
  wl_display* display_ = nullptr;
  wl_registry* registry_ = nullptr;
  WaylandGlobals globals_;
  bool hideLayerShell_ = false;
  bool withSeat_ = false;
  bool connected_ = false;  // connect() has returned: new outputs are announced
  uint32_t seatVersion_ = 0;
  std::vector<std::unique_ptr<WaylandOutput>> outputs_;
  wl_pointer* pointer_ = nullptr;
  wl_keyboard* keyboard_ = nullptr;
  xkb_context* xkb_ = nullptr;
  xkb_keymap* keymap_ = nullptr;
  xkb_state* keyState_ = nullptr;
};

}  // namespace tavrik
