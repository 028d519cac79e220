// SDL2 host windows: the full-screen saver (-s) and the ordinary window a hack opens with no
// arguments. It relies on SDL2's X11 video driver (the window class comes from the
// SDL_VIDEO_X11_WMCLASS variable) and draws with the GL device in a GL window where -device or a
// hardware renderer asks for it, else with the software device; it changes no display mode and
// does not embed into foreign windows (see x11_embedded.cpp).
#include "host/linux/x11/sdl_saver.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#include <X11/extensions/XI2.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "config/file_store.h"
#include "device/gl/gl_device.h"
#include "device/soft/soft_device.h"
#include "host/counting_device.h"
#include "host/headless/headless.h"
#include "host/linux/exit_rules.h"
#include "host/linux/gl/gl_host.h"
#include "host/linux/gl/pbuffer_target.h"
#include "host/linux/gl/sdl_gl_target.h"
#include "host/linux/present/sdl_presenter.h"
#include "host/linux/stop_signals.h"
#include "host/linux/x11/x11_util.h"

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

// The frames until the mode's exit rules, a stop signal or the window's end; the device (the GL
// or the software one) takes the window's size before each frame when the picture follows it.
template <class AnyDevice>
void runFrames(Run& run, AnyDevice& device, MillisecondTimer& timer, SDL_Window* window,
               bool fullScreen, uint32_t delayMicroseconds) {
  const bool followsWindow = drawsAtWindowSize(run.settings, kLinuxModes);
  SDL_DisplayMode mode{};
  const int display = SDL_GetWindowDisplayIndex(window);
  const int refresh =
      SDL_GetCurrentDisplayMode(display < 0 ? 0 : display, &mode) == 0 ? mode.refresh_rate : 0;
  FramePacer pacer(refresh, delayMicroseconds);
  ExitRules rules;
  // Taken after the presenter or the context opened: making a GL renderer may have replaced the
  // X window.
  const XWindowFacts facts = xWindowFacts(window);
  bool running = true;
  while (running) {
    SDL_Event event;
    while (running && SDL_PollEvent(&event)) {
      running =
          !isOwnDestruction(event, facts) &&
          !(fullScreen ? endsFullScreen(event, rules, facts.inputOpcode) : endsWindowed(event));
    }
    // A GL driver may crash drawing into a window that is gone, so ask before each frame.
    if (!running || stopRequested() ||
        (facts.display != nullptr && !queryWindow(facts.display, facts.window, nullptr))) {
      break;
    }
    if (followsWindow) {
      int width = 0;
      int height = 0;
      SDL_GetWindowSize(window, &width, &height);
      followWindow(run.settings, width, height);
      device.resize(run.settings.screenWidth, run.settings.screenHeight);
    }
    runFrame(run, device, timer);
    pacer.pace(sleepMicroseconds);
  }
}

// The run on the GL device in a window made for GL whose context is already current.
void runWithGl(Run& run, SdlGlTarget& target, SDL_Window* window, const LinuxCommand& command,
               bool fullScreen) {
  OptionsTimer timer(command.options);
  GlDevice gl(target);
  CountingDevice device(gl, target.meter());
  if (startRun(run, device, timer)) {
    runFrames(run, device, timer, window, fullScreen, command.delayMicroseconds);
    endRun(device);
  }
}

// The run on a GL that draws in software, into a buffer of its own whose frames the window shows
// as it shows the software device's (see PbufferTarget); false when that GL cannot be had.
bool runWithPbuffer(Run& run, SDL_Window* window, const LinuxCommand& command, bool fullScreen) {
  const XWindowFacts facts = xWindowFacts(window);
  SdlPresenter presenter;
  PbufferTarget target(facts.display, presenter, command.fps);
  const int width = run.settings.screenWidth;
  const int height = run.settings.screenHeight;
  if (facts.display == nullptr || !presenter.open(window, width, height, false, false) ||
      !target.open(width, height)) {
    return false;
  }
  if (command.fps) {
    tellDevice(true);
  }
  OptionsTimer timer(command.options);
  GlDevice gl(target);
  CountingDevice device(gl, target.meter());
  if (startRun(run, device, timer)) {
    presenter.clear();
    runFrames(run, device, timer, window, fullScreen, command.delayMicroseconds);
    endRun(device);
  }
  return true;
}

// The run on the software device; false when the window cannot show its frames.
bool runWithSoft(Run& run, SDL_Window* window, const LinuxCommand& command, bool fullScreen,
                 bool hardwareGl) {
  SdlPresenter presenter;
  OptionsTimer timer(command.options);
  SoftDevice soft(&presenter);
  CountingDevice device(soft, presenter.meter());
  if (!presenter.open(window, run.settings.screenWidth, run.settings.screenHeight, command.fps,
                      hardwareGl)) {
    return false;
  }
  if (command.fps) {
    tellDevice(false);
  }
  if (startRun(run, device, timer)) {
    presenter.clear();
    runFrames(run, device, timer, window, fullScreen, command.delayMicroseconds);
    endRun(device);
  }
  return true;
}

// The shared part of both modes: settings, window, device, scene, frames, teardown.
int runSdl(const LinuxCommand& command, bool fullScreen) {
  auto run = std::make_unique<Run>();
  FileSettingsStore store(defaultSettingsPath());
  prepareRun(*run, store, runSeed(command.options), command.options.overrides, kLinuxModes);
  // Asked before SDL starts: the question may fork, which is simplest while one thread runs.
  // (With -device soft on a hardware renderer, SDL's renderer still presents the frames.)
  const bool hardwareGl = hardwareGlRenderer();
  const bool gl = command.device == DeviceChoice::Gl ||
                  (command.device == DeviceChoice::Automatic && hardwareGl);

  if (!startSdl()) {
    std::fprintf(stderr, "tavrik: cannot open a window: %s\n", SDL_GetError());
    return 1;
  }

  SDL_Rect place{};
  Uint32 flags = 0;
  if (fullScreen) {
    place = SDL_Rect{0, 0, run->settings.screenWidth, run->settings.screenHeight};
    SDL_GetDisplayBounds(0, &place);
    flags = SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS;
  } else {
    place = windowPlace(command.geometry, run->settings);
    flags = SDL_WINDOW_RESIZABLE;
  }
  // A window made for GL only where GL draws in hardware. The context comes before the run, so
  // that a GL that cannot draw leaves the software device.
  const char* title = command.title.empty() ? "Tavrik" : command.title.c_str();
  SDL_Window* window = gl && hardwareGl ? createGlWindow(title, place, flags) : nullptr;
  SdlGlTarget target(window, command.fps);
  const bool windowGl = window != nullptr && target.open(place.w, place.h);
  if (window != nullptr && !windowGl) {
    target.close();
    SDL_DestroyWindow(window);
    window = nullptr;
  }
  if (window == nullptr) {
    window = SDL_CreateWindow(title, place.x, place.y, place.w, place.h, flags);
  }
  if (window == nullptr) {
    std::fprintf(stderr, "tavrik: cannot open a window: %s\n", SDL_GetError());
    SDL_Quit();
    return 1;
  }
  if (fullScreen) {
    SDL_ShowCursor(SDL_DISABLE);
  }
  // At the window's own size the picture fills it, now and after every change of size.
  if (drawsAtWindowSize(run->settings, kLinuxModes)) {
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(window, &width, &height);
    followWindow(run->settings, width, height);
  }

  int exitCode = 0;
  if (windowGl) {
    if (command.fps) {
      tellDevice(true);
    }
    runWithGl(*run, target, window, command, fullScreen);
    target.close();
  } else if (!(gl && runWithPbuffer(*run, window, command, fullScreen)) &&
             !runWithSoft(*run, window, command, fullScreen, hardwareGl)) {
    exitCode = 1;
    std::fprintf(stderr, "tavrik: cannot draw in the window: %s\n", SDL_GetError());
  }

  if (fullScreen) {
    SDL_ShowCursor(SDL_ENABLE);
  }
  SDL_DestroyWindow(window);
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
