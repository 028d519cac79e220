// Wayland host: the saver as a client of the compositor, with no X server involved. -s puts an
// overlay layer surface with the keyboard on every output (full-screen xdg toplevels where
// layer-shell is missing), -root a background layer surface on every output, and -window an xdg
// toplevel. Each output has a flight of its own (run, scene, seed) drawn at the output's size in
// physical pixels, by the software device into wl_shm buffers or, under the same rule as on X, by
// the GL device through EGL (a hardware renderer, or -device gl); one event loop drives them all,
// each surface paced by its frame callbacks and capped at its output's refresh rate. It never
// inhibits idling and reads no input under -root; a lock of its own, not X's single-instance
// rule, keeps one saver or window per compositor.
#include <fcntl.h>
#include <sys/file.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <linux/input-event-codes.h>

#include "config/file_store.h"
#include "device/gl/gl_device.h"
#include "device/gl/gl_renderer.h"
#include "device/soft/soft_device.h"
#include "fractional-scale-v1-client-protocol.h"
#include "host/counting_device.h"
#include "host/frame_loop.h"
#include "host/frame_pacer.h"
#include "host/frame_pacer_posix.h"
#include "host/headless/trace.h"
#include "host/instance_seed_posix.h"
#include "host/linux/gl/gl_probe.h"
#include "host/run_options.h"
#include "host/saver_rules.h"
#include "host/stop_signals.h"
#include "host/wayland/egl_target.h"
#include "host/wayland/layer_shell.h"
#include "host/wayland/shm_presenter.h"
#include "host/wayland/wayland_display.h"
#include "host/wayland/wayland_host.h"
#include "host/wayland/wayland_rules.h"
#include "viewporter-client-protocol.h"
#include "xdg-shell-client-protocol.h"

namespace tavrik {

namespace {

constexpr const char* kLayerNamespace = "tavrik";
// The outputs a window is on at once that are remembered for its scale.
constexpr int kMaxEnteredOutputs = 16;

class Session;

// One surface and the run drawn on it.
struct Flight {
  Flight(Session& session, SurfaceKind kind, WaylandOutput* output, uint32_t index);
  ~Flight();
  Flight(const Flight&) = delete;
  Flight& operator=(const Flight&) = delete;

  // Brings the buffers to the surface's size and the run up; true when a frame may be drawn.
  bool prepare();
  // The software device from now on, where GL cannot draw on the surface.
  void useSoftware();
  void draw();
  int32_t integerScale() const;
  // False while every output the surface is on is powered down.
  bool onPoweredOutput() const;

  static void layerConfigure(void* data, zwlr_layer_surface_v1* layer, uint32_t serial,
                             uint32_t width, uint32_t height);
  static void layerClosed(void* data, zwlr_layer_surface_v1* layer);
  static void xdgConfigure(void* data, xdg_surface* surface, uint32_t serial);
  static void toplevelConfigure(void* data, xdg_toplevel* toplevel, int32_t width, int32_t height,
                                wl_array* states);
  static void toplevelClose(void* data, xdg_toplevel* toplevel);
  static void toplevelBounds(void* data, xdg_toplevel* toplevel, int32_t width, int32_t height);
  static void toplevelCapabilities(void* data, xdg_toplevel* toplevel, wl_array* capabilities);
  static void surfaceEnter(void* data, wl_surface* surface, wl_output* output);
  static void surfaceLeave(void* data, wl_surface* surface, wl_output* output);
  static void preferredScale(void* data, wp_fractional_scale_v1* scale, uint32_t scale120);

  Session& session;
  SurfaceKind kind;
  WaylandOutput* output;  // null for a window, which is on whatever outputs it entered
  uint32_t index;         // the first output's flight, 0, is the one traced
  uint32_t seed;
  wl_surface* surface = nullptr;
  zwlr_layer_surface_v1* layer = nullptr;
  xdg_surface* xdgSurface = nullptr;
  xdg_toplevel* toplevel = nullptr;
  wp_viewport* viewport = nullptr;
  wp_fractional_scale_v1* fractional = nullptr;
  uint32_t scale120 = 0;  // the fractional scale in 120ths; 0: none told
  wl_output* entered[kMaxEnteredOutputs] = {};

  int logicalWidth = 0;  // surface-local coordinates, as configured
  int logicalHeight = 0;
  int pendingWidth = 0;  // a toplevel's configure, until its surface's configure applies it
  int pendingHeight = 0;
  bool configured = false;
  bool closed = false;
  bool failed = false;
  bool started = false;
  int pixelWidth = 0;
  int pixelHeight = 0;
  int32_t bufferScale = 1;
  int viewportWidth = 0;  // the viewport's destination, as last set
  int viewportHeight = 0;

  std::unique_ptr<Run> run;
  OptionsTimer timer;
  ShmPresenter presenter;
  SoftDevice soft;
  CountingDevice counting;
  // GL's, while the session draws with it and the surface takes it.
  std::optional<EglTarget> egl;
  std::optional<GlDevice> gl;
  std::optional<CountingDevice> glCounting;
  Device* device = &counting;
  FramePacer pacer;
  std::chrono::nanoseconds notBefore{};
};

class Session : public DisplayEvents {
 public:
  Session(const LinuxCommand& command, SurfaceKind kind)
      : command(command),
        kind(kind),
        display(*this),
        store(defaultSettingsPath()),
        trace(command.options) {}

  bool connect() {
    return display.connect(std::getenv("TAVRIK_TEST_NO_LAYER_SHELL") != nullptr,
                           kind != SurfaceKind::Background);
  }
  // As on X: GL where -device gl asks for it, or without -device where its renderer is hardware
  // (asked in a child process, so that a software renderer never loads into the run).
  void chooseDevice() {
    if (command.device == DeviceChoice::Soft) {
      return;
    }
    char renderer[256];
    if (command.device == DeviceChoice::Automatic &&
        (!probeGlRenderer(renderer, sizeof renderer, eglRendererOfNewConnection) ||
         isSoftwareRenderer(renderer))) {
      return;
    }
    drawsWithGl = egl.open(display.connection()) && egl.renderer() != nullptr;
  }
  const WaylandGlobals& globals() const { return display.globals(); }
  // Where layer-shell is missing, the saver falls back to full-screen toplevels.
  void useFullScreenToplevels() { kind = SurfaceKind::FullScreen; }
  int run();

  void outputAdded(WaylandOutput& output) override {
    if (kind != SurfaceKind::Window) {
      addFlight(&output);
    }
  }
  // A compositor may close the surfaces of an output it disables; the output, once described
  // again, gets a new one.
  void outputChanged(WaylandOutput& output) override {
    const bool covered = std::any_of(flights.begin(), flights.end(), [&](const auto& flight) {
      return flight->output == &output && !flight->closed;
    });
    if (kind != SurfaceKind::Window && !covered) {
      addFlight(&output);
    }
  }
  void outputRemoved(WaylandOutput& output) override {
    std::erase_if(flights, [&](const auto& flight) { return flight->output == &output; });
    for (auto& flight : flights) {
      std::replace(std::begin(flight->entered), std::end(flight->entered), output.output,
                   static_cast<wl_output*>(nullptr));
    }
  }
  void pointerEntered(wl_pointer* pointer, uint32_t serial) override {
    if (saver()) {
      wl_pointer_set_cursor(pointer, serial, nullptr, 0, 0);  // no cursor over the saver
    }
  }
  void pointerMoved() override { saverInput(SaverInput::MouseMove); }
  void buttonPressed(uint32_t button) override {
    saverInput(button == BTN_LEFT    ? SaverInput::LeftButton
               : button == BTN_RIGHT ? SaverInput::RightButton
                                     : SaverInput::OtherButton);
  }
  void wheelTurned() override { saverInput(SaverInput::Wheel); }
  void keyPressed(xkb_keysym_t symbol, bool alt) override {
    if (kind == SurfaceKind::Window) {
      if (symbol == XKB_KEY_Escape || symbol == XKB_KEY_q || symbol == XKB_KEY_Q) {
        ended = true;
      }
      return;
    }
    const bool system =
        alt || symbol == XKB_KEY_Alt_L || symbol == XKB_KEY_Alt_R || symbol == XKB_KEY_F10;
    saverInput(system ? SaverInput::SystemKey : SaverInput::Key);
  }

  const LinuxCommand& command;
  SurfaceKind kind;
  WaylandDisplay display;
  FileSettingsStore store;
  WindowTrace trace;
  EglDisplay egl;
  bool drawsWithGl = false;
  bool ended = false;

 private:
  bool saver() const { return kind == SurfaceKind::Overlay || kind == SurfaceKind::FullScreen; }
  void saverInput(SaverInput input) {
    if (saver() && rules.ends(input)) {
      ended = true;
    }
  }
  void addFlight(WaylandOutput* output) {
    flights.push_back(std::make_unique<Flight>(*this, kind, output, flightCount++));
  }
  void sayHowItDraws();
  int loop();

  ExitRules rules;
  std::vector<std::unique_ptr<Flight>> flights;
  uint32_t flightCount = 0;
};

Flight::Flight(Session& session, SurfaceKind kind, WaylandOutput* output, uint32_t index)
    : session(session),
      kind(kind),
      output(output),
      index(index),
      seed(instanceSeed(session.command.options, index)),
      run(std::make_unique<Run>()),
      timer(session.command.options),
      presenter(session.globals().shm, session.globals().rgb565, session.command.fps),
      soft(&presenter),
      counting(soft, presenter.meter()),
      pacer(framePeriod(output != nullptr ? output->refreshMilliHz : 0,
                        session.command.delayMicroseconds),
            FramePacer::Rhythm::Steady) {
  const LinuxCommand& command = session.command;
  prepareRun(*run, session.store, seed, command.options.overrides, kWindowSizeModes);
  const WaylandGlobals& g = session.globals();
  surface = wl_compositor_create_surface(g.compositor);
  static constexpr wl_surface_listener kSurfaceListener{surfaceEnter, surfaceLeave};
  wl_surface_add_listener(surface, &kSurfaceListener, this);
  if (session.drawsWithGl) {
    egl.emplace(session.egl, surface, command.fps);
    gl.emplace(*egl);
    glCounting.emplace(*gl, egl->meter());
    device = &*glCounting;
  } else {
    presenter.attach(surface);
  }
  if (g.viewporter != nullptr && g.fractionalScale != nullptr) {
    static constexpr wp_fractional_scale_v1_listener kScaleListener{preferredScale};
    viewport = wp_viewporter_get_viewport(g.viewporter, surface);
    fractional = wp_fractional_scale_manager_v1_get_fractional_scale(g.fractionalScale, surface);
    wp_fractional_scale_v1_add_listener(fractional, &kScaleListener, this);
  }
  wl_output* on = output != nullptr ? output->output : nullptr;
  if (kind == SurfaceKind::Overlay || kind == SurfaceKind::Background) {
    static constexpr zwlr_layer_surface_v1_listener kLayerListener{layerConfigure, layerClosed};
    const bool overlay = kind == SurfaceKind::Overlay;
    layer = zwlr_layer_shell_v1_get_layer_surface(
        g.layerShell, surface, on,
        overlay ? ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY : ZWLR_LAYER_SHELL_V1_LAYER_BACKGROUND,
        kLayerNamespace);
    zwlr_layer_surface_v1_add_listener(layer, &kLayerListener, this);
    zwlr_layer_surface_v1_set_size(layer, 0, 0);
    zwlr_layer_surface_v1_set_anchor(
        layer, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                   ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
    // The whole output, panels and their reserved edges included.
    zwlr_layer_surface_v1_set_exclusive_zone(layer, -1);
    zwlr_layer_surface_v1_set_keyboard_interactivity(
        layer, overlay ? ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_EXCLUSIVE
                       : ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_NONE);
  } else {
    static constexpr xdg_surface_listener kXdgListener{xdgConfigure};
    static constexpr xdg_toplevel_listener kToplevelListener{toplevelConfigure, toplevelClose,
                                                             toplevelBounds, toplevelCapabilities};
    xdgSurface = xdg_wm_base_get_xdg_surface(g.wmBase, surface);
    xdg_surface_add_listener(xdgSurface, &kXdgListener, this);
    toplevel = xdg_surface_get_toplevel(xdgSurface);
    xdg_toplevel_add_listener(toplevel, &kToplevelListener, this);
    xdg_toplevel_set_app_id(toplevel, kSaverWindowClass);
    if (kind == SurfaceKind::FullScreen) {
      xdg_toplevel_set_title(toplevel, kSaverWindowTitle);
      xdg_toplevel_set_fullscreen(toplevel, on);
    } else {
      xdg_toplevel_set_title(toplevel,
                             command.title.empty() ? kSaverWindowTitle : command.title.c_str());
    }
    // Until the compositor chooses, a window has the size -geometry or the picture asks for.
    logicalWidth = command.geometry.hasSize ? command.geometry.width : run->settings.screenWidth;
    logicalHeight = command.geometry.hasSize ? command.geometry.height : run->settings.screenHeight;
  }
  wl_surface_commit(surface);  // without a buffer: the compositor answers with a configure
}

Flight::~Flight() {
  if (started) {
    if (egl) {
      egl->makeCurrent();
    }
    endRun(*device);
  }
  useSoftware();  // the EGL window goes before its surface
  if (fractional != nullptr) {
    wp_fractional_scale_v1_destroy(fractional);
  }
  if (viewport != nullptr) {
    wp_viewport_destroy(viewport);
  }
  if (layer != nullptr) {
    zwlr_layer_surface_v1_destroy(layer);
  }
  if (toplevel != nullptr) {
    xdg_toplevel_destroy(toplevel);
  }
  if (xdgSurface != nullptr) {
    xdg_surface_destroy(xdgSurface);
  }
  presenter.attach(nullptr);
  wl_surface_destroy(surface);
}

int32_t Flight::integerScale() const {
  if (output != nullptr) {
    return output->scale;
  }
  int32_t scale = 1;
  for (wl_output* on : entered) {
    const WaylandOutput* known = on != nullptr ? session.display.outputFor(on) : nullptr;
    if (known != nullptr) {
      scale = std::max(scale, known->scale);
    }
  }
  return scale;
}

bool Flight::onPoweredOutput() const {
  if (output != nullptr) {
    return output->poweredOn;
  }
  bool anyKnown = false;
  for (wl_output* on : entered) {
    const WaylandOutput* known = on != nullptr ? session.display.outputFor(on) : nullptr;
    if (known != nullptr && known->poweredOn) {
      return true;
    }
    anyKnown = anyKnown || known != nullptr;
  }
  return !anyKnown;
}

bool Flight::prepare() {
  if (!configured || closed || failed || !onPoweredOutput()) {
    return false;
  }
  const bool fractionalScale = viewport != nullptr && scale120 > 0;
  const int32_t scale = fractionalScale ? 1 : integerScale();
  if (scale != bufferScale) {
    wl_surface_set_buffer_scale(surface, scale);  // with the next frame's commit
    bufferScale = scale;
  }
  if (viewport != nullptr && (logicalWidth != viewportWidth || logicalHeight != viewportHeight)) {
    // The buffer, of whatever size, shown at the surface's own.
    wp_viewport_set_destination(viewport, logicalWidth, logicalHeight);
    viewportWidth = logicalWidth;
    viewportHeight = logicalHeight;
  }
  const PixelSize size =
      pixelSize(logicalWidth, logicalHeight, scale, fractionalScale ? scale120 : 0);
  if (size.width != pixelWidth || size.height != pixelHeight) {
    if (egl) {
      egl->setSize(size.width, size.height);
    } else if (!presenter.resize(size.width, size.height)) {
      std::fprintf(stderr, "tavrik: no shared memory for a %dx%d picture\n", size.width,
                   size.height);
      failed = true;
      return false;
    }
    pixelWidth = size.width;
    pixelHeight = size.height;
  }
  if (!started) {
    if (drawsAtWindowSize(run->settings, run->modes)) {
      followWindow(run->settings, pixelWidth, pixelHeight);
    }
    if (egl && !egl->open(pixelWidth, pixelHeight)) {
      std::fprintf(stderr,
                   "tavrik: OpenGL cannot draw on the surface; the software device draws\n");
      useSoftware();
      if (!presenter.resize(pixelWidth, pixelHeight)) {
        failed = true;
        return false;
      }
    }
    if (!startRun(*run, *device, timer)) {
      failed = true;
      return false;
    }
    started = true;
    if (index == 0) {
      session.trace.started(seed, *run);
    }
  }
  return egl ? egl->ready() : presenter.ready();
}

void Flight::useSoftware() {
  device = &counting;
  glCounting.reset();
  gl.reset();
  if (egl) {
    egl.reset();
    presenter.attach(surface);
  }
}

void Flight::draw() {
  if (egl) {
    egl->makeCurrent();
  }
  stepFrame(*run, *device, timer, pixelWidth, pixelHeight);
  if (index == 0) {
    session.trace.frameDone(*run);
  }
  // The pacer only says how long to wait; the event loop does the waiting.
  pacer.pace(steadyNow, [this](std::chrono::nanoseconds wait) { notBefore = steadyNow() + wait; });
}

void Flight::layerConfigure(void* data, zwlr_layer_surface_v1* layer, uint32_t serial,
                            uint32_t width, uint32_t height) {
  auto* flight = static_cast<Flight*>(data);
  zwlr_layer_surface_v1_ack_configure(layer, serial);
  if (width > 0 && height > 0) {
    flight->logicalWidth = static_cast<int>(width);
    flight->logicalHeight = static_cast<int>(height);
    flight->configured = true;
  }
}

void Flight::layerClosed(void* data, zwlr_layer_surface_v1*) {
  static_cast<Flight*>(data)->closed = true;
}

void Flight::xdgConfigure(void* data, xdg_surface* surface, uint32_t serial) {
  auto* flight = static_cast<Flight*>(data);
  xdg_surface_ack_configure(surface, serial);
  if (flight->pendingWidth > 0 && flight->pendingHeight > 0) {
    flight->logicalWidth = flight->pendingWidth;
    flight->logicalHeight = flight->pendingHeight;
  }
  flight->configured = flight->logicalWidth > 0 && flight->logicalHeight > 0;
}

void Flight::toplevelConfigure(void* data, xdg_toplevel*, int32_t width, int32_t height,
                               wl_array*) {
  auto* flight = static_cast<Flight*>(data);
  flight->pendingWidth = width;
  flight->pendingHeight = height;
}

void Flight::toplevelClose(void* data, xdg_toplevel*) {
  static_cast<Flight*>(data)->session.ended = true;
}

void Flight::toplevelBounds(void*, xdg_toplevel*, int32_t, int32_t) {}
void Flight::toplevelCapabilities(void*, xdg_toplevel*, wl_array*) {}

void Flight::surfaceEnter(void* data, wl_surface*, wl_output* output) {
  auto* flight = static_cast<Flight*>(data);
  wl_output** free = std::find(std::begin(flight->entered), std::end(flight->entered), nullptr);
  if (free != std::end(flight->entered) &&
      std::find(std::begin(flight->entered), std::end(flight->entered), output) ==
          std::end(flight->entered)) {
    *free = output;
  }
}

void Flight::surfaceLeave(void* data, wl_surface*, wl_output* output) {
  auto* flight = static_cast<Flight*>(data);
  std::replace(std::begin(flight->entered), std::end(flight->entered), output,
               static_cast<wl_output*>(nullptr));
}

void Flight::preferredScale(void* data, wp_fractional_scale_v1*, uint32_t scale120) {
  static_cast<Flight*>(data)->scale120 = scale120;
}

void Session::sayHowItDraws() {
  if (!command.fps) {
    return;
  }
  const char* surfaces = kind == SurfaceKind::Overlay ? "a layer-shell overlay on each output"
                         : kind == SurfaceKind::Background
                             ? "a layer-shell background on each output"
                         : kind == SurfaceKind::FullScreen
                             ? "a full-screen xdg toplevel on each output (no layer-shell)"
                             : "an xdg toplevel";
  const WaylandGlobals& g = display.globals();
  const std::string device = drawsWithGl
                                 ? std::string("OpenGL (") + egl.renderer() + ") through EGL"
                                 : std::string("the software device");
  std::fprintf(stderr, "tavrik: drawing with %s on Wayland: %s, %s buffers, %s%s\n", device.c_str(),
               surfaces,
               drawsWithGl ? "EGL"
               : g.rgb565  ? "RGB565"
                           : "XRGB8888",
               g.viewporter != nullptr && g.fractionalScale != nullptr ? "fractional scale"
                                                                       : "integer output scale",
               g.outputPower != nullptr ? ", output power watched" : "");
}

int Session::run() {
  sayHowItDraws();
  if (kind == SurfaceKind::Window) {
    addFlight(nullptr);
  } else {
    for (const auto& output : display.outputs()) {
      if (output->described) {
        addFlight(output.get());
      }
    }
  }
  const int code = loop();
  flights.clear();
  display.flush();
  return trace.finish() ? code : 1;
}

int Session::loop() {
  while (!ended && !stopRequested() && trace.more()) {
    std::erase_if(flights, [](const auto& flight) { return flight->closed; });
    const auto now = steadyNow();
    int timeoutMs = -1;
    for (auto& flight : flights) {
      if (!flight->prepare()) {
        continue;  // waiting for its configure, a free buffer or its frame callback
      }
      if (now >= flight->notBefore) {
        flight->draw();
        continue;
      }
      const auto wait =
          std::chrono::ceil<std::chrono::milliseconds>(flight->notBefore - now).count();
      const int waitMs = static_cast<int>(std::min<int64_t>(wait, INT_MAX));
      timeoutMs = timeoutMs < 0 ? waitMs : std::min(timeoutMs, waitMs);
    }
    if (!display.dispatch(timeoutMs)) {
      std::fprintf(stderr, "tavrik: %s\n",
                   display.protocolError() ? "the Wayland compositor refused a request"
                                           : "the Wayland compositor went away");
      return 1;
    }
  }
  return 0;
}

// One saver or window at a time on a compositor, as X's rule has one per display: a lock on a file
// in the session's runtime folder, held while the run lasts. -1: another run holds it; -2: there
// is no lock to be had, and the run goes ahead.
int takeInstanceLock() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime == nullptr || *runtime == '\0') {
    return -2;
  }
  std::string display = std::getenv("WAYLAND_DISPLAY");
  std::replace(display.begin(), display.end(), '/', '_');
  const std::string path = std::string(runtime) + "/tavrik-" + display + ".lock";
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) {
    return -2;
  }
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

std::optional<int> runOnWayland(const LinuxCommand& command) {
  const std::optional<SurfaceKind> surfaces =
      waylandSurfaces(command, std::getenv("WAYLAND_DISPLAY"));
  if (!surfaces) {
    return std::nullopt;
  }
  const SurfaceKind kind = *surfaces;
  auto session = std::make_unique<Session>(command, kind);
  if (!session->connect()) {
    return std::nullopt;  // no compositor that answers: XWayland, if there is one
  }
  const WaylandGlobals& g = session->globals();
  if (kind == SurfaceKind::Overlay && g.layerShell == nullptr) {
    if (g.wmBase == nullptr) {
      return std::nullopt;
    }
    session->useFullScreenToplevels();
  }
  if ((kind == SurfaceKind::Background && g.layerShell == nullptr) ||
      (kind == SurfaceKind::Window && g.wmBase == nullptr)) {
    return std::nullopt;
  }
  // -root, like an embedded run on X, may run beside anything.
  const int lock = kind == SurfaceKind::Background ? -2 : takeInstanceLock();
  if (lock == -1) {
    return 0;
  }
  session->chooseDevice();
  const int code = session->trace.open() ? session->run() : 1;
  if (lock >= 0) {
    close(lock);
  }
  return code;
}

}  // namespace tavrik
