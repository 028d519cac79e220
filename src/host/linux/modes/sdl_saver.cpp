// SDL2 host windows: the full-screen saver (-s) and the ordinary window a hack opens with no
// arguments. It relies on SDL2's X11 video driver (the window class comes from the
// SDL_VIDEO_X11_WMCLASS variable) and draws with the GL device in a GL window where -device or a
// hardware renderer asks for it, else with the software device; it changes no display mode and
// does not embed into foreign windows (see x11_embedded.cpp).
#include "host/linux/modes/sdl_saver.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#include <X11/extensions/XI2.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>

#include "config/file_store.h"
#include "host/frame_loop.h"
#include "host/frame_pacer_posix.h"
#include "host/headless/trace.h"
#include "host/linux/gl/gl_probe.h"
#include "host/linux/gl/sdl_gl_target.h"
#include "host/linux/modes/window_device.h"
#include "host/linux/present/sdl_presenter.h"
#include "host/linux/x11/x11_util.h"
#include "host/run_options.h"
#include "host/saver_rules.h"
#include "host/stop_signals.h"

namespace tavrik {

namespace {

bool startSdl() {
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  // The window class, the motion count and the single-instance rule are X's; without an X
  // display there must be no window at all, not one on an invisible driver.
  SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
  // SDL 2.26 reads the window class from the environment only.
  setenv("SDL_VIDEO_X11_WMCLASS", kSaverWindowClass, 1);
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  // Without a renderer that waits for the refresh, the window's surface is drawn straight into;
  // it must be X's own image, not one more texture on a GL renderer.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    return false;
  }
  // Mouse moves are counted as the X server reports them; SDL's own motion events add one for
  // the pointer entering the window, which no real move caused.
  SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
  return true;
}

SaverInput classifyKey(const SDL_KeyboardEvent& key) {
  const SDL_Keycode code = key.keysym.sym;
  const bool alt = (key.keysym.mod & KMOD_ALT) != 0;
  if (code == SDLK_LALT || code == SDLK_RALT || code == SDLK_F10 || alt) {
    return SaverInput::SystemKey;
  }
  return SaverInput::Key;
}

// What the frame loop needs to know of the window on X's side.
struct XWindowFacts {
  Display* display = nullptr;
  Window window = 0;
  // The input extension's major opcode, or -1. Where the server has the extension, SDL takes
  // pointer motion through it, and each move arrives as one of its events.
  int inputOpcode = -1;
};

XWindowFacts xWindowFacts(SDL_Window* window) {
  XWindowFacts facts;
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) {
    return facts;
  }
  facts.display = info.info.x11.display;
  facts.window = info.info.x11.window;
  int event = 0;
  int error = 0;
  if (!XQueryExtension(facts.display, "XInputExtension", &facts.inputOpcode, &event, &error)) {
    facts.inputOpcode = -1;
  }
  return facts;
}

// Someone else destroyed our window (xdotool windowclose, a misbehaving window manager).
bool isOwnDestruction(const SDL_Event& event, const XWindowFacts& facts) {
  return event.type == SDL_SYSWMEVENT && event.syswm.msg != nullptr &&
         event.syswm.msg->subsystem == SDL_SYSWM_X11 &&
         event.syswm.msg->msg.x11.event.type == DestroyNotify &&
         event.syswm.msg->msg.x11.event.xdestroywindow.window == facts.window;
}

bool isPointerMotion(const XEvent& event, int inputOpcode) {
  if (event.type == MotionNotify) {
    return true;
  }
  return event.type == GenericEvent && inputOpcode >= 0 && event.xcookie.extension == inputOpcode &&
         event.xcookie.evtype == XI_Motion;
}

// True when the full-screen saver must end on this event.
bool endsFullScreen(const SDL_Event& event, ExitRules& rules, int inputOpcode) {
  switch (event.type) {
    case SDL_QUIT:
      return true;
    case SDL_KEYDOWN:
      return rules.ends(classifyKey(event.key));
    case SDL_MOUSEBUTTONDOWN:
      if (event.button.button == SDL_BUTTON_LEFT) {
        return rules.ends(SaverInput::LeftButton);
      }
      if (event.button.button == SDL_BUTTON_RIGHT) {
        return rules.ends(SaverInput::RightButton);
      }
      return rules.ends(SaverInput::OtherButton);
    case SDL_MOUSEWHEEL:
      return rules.ends(SaverInput::Wheel);
    case SDL_SYSWMEVENT:
      if (event.syswm.msg != nullptr && event.syswm.msg->subsystem == SDL_SYSWM_X11 &&
          isPointerMotion(event.syswm.msg->msg.x11.event, inputOpcode)) {
        return rules.ends(SaverInput::MouseMove);
      }
      return false;
    default:
      return false;
  }
}

bool endsWindowed(const SDL_Event& event) {
  switch (event.type) {
    case SDL_QUIT:
      return true;
    case SDL_WINDOWEVENT:
      return event.window.event == SDL_WINDOWEVENT_CLOSE;
    case SDL_KEYDOWN:
      return event.key.keysym.sym == SDLK_ESCAPE || event.key.keysym.sym == SDLK_q;
    default:
      return false;
  }
}

// The ordinary window's size and place: -geometry's where given, else the picture's size wherever
// the window system puts it; never larger than the screen, whose size is all a window can show.
SDL_Rect windowPlace(const WindowGeometry& geometry, const Settings& settings) {
  SDL_Rect place{static_cast<int>(SDL_WINDOWPOS_UNDEFINED),
                 static_cast<int>(SDL_WINDOWPOS_UNDEFINED), settings.screenWidth,
                 settings.screenHeight};
  if (geometry.hasSize) {
    place.w = geometry.width;
    place.h = geometry.height;
  }
  SDL_Rect screen{0, 0, place.w, place.h};
  SDL_GetDisplayBounds(0, &screen);
  place.w = std::clamp(place.w, 1, std::max(screen.w, 1));
  place.h = std::clamp(place.h, 1, std::max(screen.h, 1));
  if (geometry.hasPosition) {
    place.x =
        geometry.fromRight ? screen.x + screen.w - place.w - geometry.x : screen.x + geometry.x;
    place.y =
        geometry.fromBottom ? screen.y + screen.h - place.h - geometry.y : screen.y + geometry.y;
  }
  return place;
}

// The window's side of the frame loop: its events under the mode's exit rules, a stop signal or
// the window's end stop the run; frames follow the window's size and keep the display's pace.
class SdlFrames : public FrameHost {
 public:
  SdlFrames(SDL_Window* window, bool fullScreen, uint32_t delayMicroseconds)
      : window_(window),
        fullScreen_(fullScreen),
        pacer_(linuxFramePacer(refreshRate(window), delayMicroseconds)),
        // Taken after the presenter or the context opened: making a GL renderer may have
        // replaced the X window.
        facts_(xWindowFacts(window)) {}

  bool nextFrame() override {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
      if (isOwnDestruction(event, facts_) ||
          (fullScreen_ ? endsFullScreen(event, rules_, facts_.inputOpcode) : endsWindowed(event))) {
        return false;
      }
    }
    // A GL driver may crash drawing into a window that is gone, so ask before each frame.
    return !stopRequested() &&
           (facts_.display == nullptr || queryWindow(facts_.display, facts_.window, nullptr));
  }
  void windowSize(int& width, int& height) override { SDL_GetWindowSize(window_, &width, &height); }
  void frameDone() override { pacer_.pace(steadyNow, sleepMicroseconds); }

 private:
  static int refreshRate(SDL_Window* window) {
    SDL_DisplayMode mode{};
    const int display = SDL_GetWindowDisplayIndex(window);
    return SDL_GetCurrentDisplayMode(display < 0 ? 0 : display, &mode) == 0 ? mode.refresh_rate : 0;
  }

  SDL_Window* window_;
  bool fullScreen_;
  FramePacer pacer_;
  ExitRules rules_;
  XWindowFacts facts_;
};

// The run's SDL window: made for GL where GL is to draw straight into it, else plain, with the
// cursor hidden over the full screen; given back, with the GL context in it, at the run's end.
class SdlWindow {
 public:
  SdlWindow(const LinuxCommand& command, bool fullScreen, const Settings& settings)
      : title_(command.title.empty() ? "Tavrik" : command.title.c_str()),
        fullScreen_(fullScreen),
        showFps_(command.fps) {
    if (fullScreen) {
      place_ = SDL_Rect{0, 0, settings.screenWidth, settings.screenHeight};
      SDL_GetDisplayBounds(0, &place_);
      flags_ = SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS;
    } else {
      place_ = windowPlace(command.geometry, settings);
      flags_ = SDL_WINDOW_RESIZABLE;
    }
  }
  SdlWindow(const SdlWindow&) = delete;
  SdlWindow& operator=(const SdlWindow&) = delete;
  ~SdlWindow() {
    gl_.reset();
    if (window_ != nullptr) {
      if (fullScreen_) {
        SDL_ShowCursor(SDL_ENABLE);
      }
      SDL_DestroyWindow(window_);
    }
  }

  // GL straight into a window made for it, with a context that comes before the run, so that a
  // GL that cannot draw leaves the other devices; {} (and no window) when there is none.
  WindowGl openGl() {
    window_ = createGlWindow(title_, place_, flags_);
    if (window_ == nullptr) {
      return {};
    }
    gl_.emplace(window_, showFps_);
    if (gl_->open(place_.w, place_.h)) {
      return WindowGl{&*gl_, &gl_->meter()};
    }
    gl_.reset();
    SDL_DestroyWindow(window_);
    window_ = nullptr;
    return {};
  }

  // The window, made plain where GL did not make it; false when none can be made. At the
  // window's own size the picture fills it, now and after every change of size.
  bool ready(Run& run) {
    if (window_ == nullptr) {
      window_ = SDL_CreateWindow(title_, place_.x, place_.y, place_.w, place_.h, flags_);
    }
    if (window_ == nullptr) {
      return false;
    }
    if (fullScreen_) {
      SDL_ShowCursor(SDL_DISABLE);
    }
    if (drawsAtWindowSize(run.settings, run.modes)) {
      int width = 0;
      int height = 0;
      SDL_GetWindowSize(window_, &width, &height);
      followWindow(run.settings, width, height);
    }
    display_ = xWindowFacts(window_).display;
    return true;
  }

  SDL_Window* get() const { return window_; }
  Display* display() const { return display_; }

 private:
  const char* title_;
  bool fullScreen_;
  bool showFps_;
  SDL_Rect place_{};
  Uint32 flags_ = 0;
  SDL_Window* window_ = nullptr;
  Display* display_ = nullptr;
  std::optional<SdlGlTarget> gl_;
};

// The window, the device chosen for it, the run's frames and its teardown; 1 when there is no
// window or nothing can draw in it.
int drawInWindow(Run& run, uint32_t seed, const LinuxCommand& command, bool fullScreen,
                 bool hardwareGl) {
  WindowTrace trace(command.options);
  if (!trace.open()) {
    return 1;
  }
  SdlWindow window(command, fullScreen, run.settings);
  // The presenter for frames made in this process, fresh for each attempt.
  std::optional<SdlPresenter> presenter;
  WindowSurfaces surfaces;
  surfaces.gl = wantsGlDevice(command.device);
  surfaces.hardwareGl = hardwareGl;
  surfaces.pixelBufferAfterWindowGl = true;
  surfaces.openWindowGl = [&] { return window.openGl(); };
  surfaces.readyWindow = [&] { return window.ready(run); };
  surfaces.openPresenter = [&](bool forPixelBuffer) {
    const int width = run.settings.screenWidth;
    const int height = run.settings.screenHeight;
    presenter.emplace();
    const bool open = forPixelBuffer
                          ? presenter->open(window.get(), width, height, false, false)
                          : presenter->open(window.get(), width, height, command.fps, hardwareGl);
    return open ? ShownFrames{&*presenter, &presenter->meter(), window.display()} : ShownFrames{};
  };
  WindowDevice chosen(command.fps);
  Device* device = chosen.choose(surfaces, run.settings);
  if (device == nullptr) {
    const char* what = window.get() == nullptr ? "open a window" : "draw in the window";
    std::fprintf(stderr, "tavrik: cannot %s: %s\n", what, SDL_GetError());
    return 1;
  }
  OptionsTimer timer(command.options);
  if (startRun(run, *device, timer)) {
    if (chosen.path() != DrawPath::WindowGl) {
      presenter->clear();
    }
    trace.started(seed, run);
    SdlFrames frames(window.get(), fullScreen, command.delayMicroseconds);
    TracedFrames traced(frames, trace, run);
    runFrames(run, *device, timer, traced);
    endRun(*device);
  }
  return trace.finish() ? 0 : 1;
}

// The shared part of both modes: settings, window, device, scene, frames, teardown.
int runSdl(const LinuxCommand& command, bool fullScreen) {
  auto run = std::make_unique<Run>();
  FileSettingsStore store(defaultSettingsPath());
  const uint32_t seed = runSeed(command.options);
  prepareRun(*run, store, seed, command.options.overrides, kWindowSizeModes);
  // Asked before SDL starts: the question may fork, which is simplest while one thread runs.
  // (With -device soft on a hardware renderer, SDL's renderer still presents the frames.)
  const bool hardwareGl = hardwareGlRenderer();
  if (!startSdl()) {
    std::fprintf(stderr, "tavrik: cannot open a window: %s\n", SDL_GetError());
    return 1;
  }
  const int exitCode = drawInWindow(*run, seed, command, fullScreen, hardwareGl);
  SDL_Quit();
  return exitCode;
}

}  // namespace

int runFullScreen(const LinuxCommand& command) {
  return runSdl(command, true);
}

int runWindowed(const LinuxCommand& command) {
  return runSdl(command, false);
}

}  // namespace tavrik
