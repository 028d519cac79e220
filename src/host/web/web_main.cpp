// Browser host: runs the shared run sequence on the software device in a web page, one frame per
// requestAnimationFrame, and shows each frame on the page's canvas with putImageData. It relies
// on the page's script (web/page.js) for the settings given in the address, the settings panel,
// full screen and the cursor, and on localStorage for the settings. The picture is drawn at the
// canvas's size in device pixels, or at a fixed mode's size that the page scales with black bars.
// Every buffer is made at start-up, for the largest picture the screen can show; a frame
// allocates nothing. Where a wallpaper host limits the frame rate, animation frames between two
// due ones are skipped. It does not save settings itself and never uses the network.
#include <emscripten/em_js.h>
#include <emscripten/emscripten.h>
#include <emscripten/heap.h>
#include <emscripten/html5.h>
#include <malloc.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "device/presenter.h"
#include "device/soft/soft_device.h"
#include "host/counting_device.h"
#include "host/frame_loop.h"
#include "host/readout.h"
#include "host/run.h"
#include "host/run_options.h"
#include "host/timers.h"
#include "host/web/local_storage_store.h"

// clang-format off
// The canvas's size in device pixels; also the screen's, which is the largest the page can grow.
EM_JS(void, tavrikWindowSize, (int* width, int* height, int* screenWidth, int* screenHeight), {
  const canvas = Module.canvas;
  const ratio = window.devicePixelRatio || 1;
  HEAP32[width >> 2] = Math.round(canvas.clientWidth * ratio);
  HEAP32[height >> 2] = Math.round(canvas.clientHeight * ratio);
  HEAP32[screenWidth >> 2] = Math.round(screen.width * ratio);
  HEAP32[screenHeight >> 2] = Math.round(screen.height * ratio);
});

// One frame, RGBA, onto the canvas; the image object is remade only when the picture changes.
EM_JS(void, tavrikShow, (const uint8_t* rgba, int width, int height), {
  const canvas = Module.canvas;
  if (canvas.width !== width || canvas.height !== height) {
    canvas.width = width;
    canvas.height = height;
  }
  let image = Module.tavrikImage;
  if (!image || image.data.buffer !== HEAPU8.buffer || image.data.byteOffset !== rgba ||
      image.width !== width || image.height !== height) {
    image = new ImageData(new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4), width,
                          height);
    Module.tavrikImage = image;
    Module.tavrikContext = canvas.getContext("2d", {alpha: false});
  }
  Module.tavrikContext.putImageData(image, 0, 0);
  Module.tavrikFrames = (Module.tavrikFrames || 0) + 1;
});

EM_JS(void, tavrikReadout, (const char* text), {
  if (Module.onReadout) Module.onReadout(UTF8ToString(text));
});
// clang-format on

namespace tavrik {

namespace {

// The options' timer, held while the page is hidden so that a run resumes where it stopped; a
// simulated timer (frame-ms) is never held, its readings go on from frame to frame.
class PageTimer : public MillisecondTimer {
 public:
  explicit PageTimer(const RunOptions& options) : clock_(options) {}

  uint32_t readMs() override { return clock_.readMs() - heldMs_; }
  // A page may be shown without having been hidden (one that loaded in the background).
  void hide() {
    if (!clock_.simulated() && !hidden_) {
      hidden_ = true;
      hiddenAt_ = clock_.readMs();
    }
  }
  void show() {
    if (hidden_) {
      heldMs_ += clock_.readMs() - hiddenAt_;
      hidden_ = false;
    }
  }

 private:
  OptionsTimer clock_;
  bool hidden_ = false;
  uint32_t hiddenAt_ = 0;
  uint32_t heldMs_ = 0;
};

// Widens RGB565 frames to the canvas's RGBA through a table, as the PNG frames widen them.
class CanvasPresenter : public Presenter {
 public:
  CanvasPresenter() : palette_(65536) {
    for (uint32_t p = 0; p < 65536; ++p) {
      const Rgb888 c = widenPixel(static_cast<uint16_t>(p));
      palette_[p] = c.r | uint32_t{c.g} << 8 | uint32_t{c.b} << 16 | 0xFF000000u;
    }
  }

  void reserve(size_t pixels) { rgba_.assign(pixels, 0xFF000000u); }

  void present(const FrameView& frame) override {
    const size_t pixels = static_cast<size_t>(frame.width) * frame.height;
    if (pixels > rgba_.size()) {
      return;  // never: the device's buffers are no larger than the reserve
    }
    const double before = emscripten_get_now();
    uint32_t* out = rgba_.data();
    for (int y = 0; y < frame.height; ++y) {
      const uint16_t* row = frame.pixels + static_cast<ptrdiff_t>(y) * frame.pitch;
      for (int x = 0; x < frame.width; ++x) {
        *out++ = palette_[row[x]];
      }
    }
    tavrikShow(reinterpret_cast<const uint8_t*>(rgba_.data()), frame.width, frame.height);
    shownMs += emscripten_get_now() - before;
  }

  double shownMs = 0;  // all frames so far, widening and putting them on the canvas

 private:
  std::vector<uint32_t> palette_;
  std::vector<uint32_t> rgba_;
};

struct Page {
  RunOptions options;
  Run run;
  CanvasPresenter presenter;
  SoftDevice soft{&presenter};
  FpsMeter meter{"SOFT/WASM"};
  CountingDevice device{soft, meter};
  std::unique_ptr<PageTimer> timer;
  bool followsWindow = false;
  size_t capacity = 0;  // the pixels of the largest picture, made at start-up
  uint32_t frames = 0;
  double frameMs = 0;          // all frames so far, from the clock's reading to the canvas's update
  uint32_t longestStepMs = 0;  // the scene clock's longest step from one frame to the next
  bool showFps = false;
  bool running = false;
  double limitMs = 0;  // the shortest time between two drawn frames; 0: every animation frame
  double nextDueMs = 0;
  char readout[64] = "";
  std::string message;
};

// Made once, by the first option or the start; the page runs one run for its lifetime.
Page* thePage = nullptr;

Page& page() {
  if (thePage == nullptr) {
    thePage = new Page();
  }
  return *thePage;
}

// The window's size in device pixels, made smaller with its proportions kept when it is larger
// than the buffers made at start-up (a window moved to a larger screen).
void windowPicture(const Page& p, int& width, int& height) {
  int screenWidth = 0;
  int screenHeight = 0;
  tavrikWindowSize(&width, &height, &screenWidth, &screenHeight);
  width = width > 0 ? width : 1;
  height = height > 0 ? height : 1;
  const double pixels = static_cast<double>(width) * height;
  if (pixels > static_cast<double>(p.capacity)) {
    const double scale = std::sqrt(static_cast<double>(p.capacity) / pixels);
    width = static_cast<int>(width * scale);
    height = static_cast<int>(height * scale);
  }
}

// Whether the animation frame at time is one to draw under the frame-rate limit. A frame up to a
// quarter period early counts, since the display's refresh seldom divides the period; the next
// one is due a whole period after this one was, so the rate never passes the limit. After a
// pause (a hidden page) the count starts again from now rather than catching up.
bool dueUnderLimit(Page& p, double time) {
  if (p.limitMs <= 0) {
    return true;
  }
  if (time < p.nextDueMs - p.limitMs / 4) {
    return false;
  }
  p.nextDueMs += p.limitMs;
  if (p.nextDueMs < time) {
    p.nextDueMs = time + p.limitMs;
  }
  return true;
}

EM_BOOL onAnimationFrame(double time, void*) {
  Page& p = page();
  if (!p.running) {
    return EM_FALSE;
  }
  if (!dueUnderLimit(p, time)) {
    return EM_TRUE;
  }
  int width = p.run.settings.screenWidth;
  int height = p.run.settings.screenHeight;
  if (p.followsWindow) {
    windowPicture(p, width, height);
  }
  const double before = emscripten_get_now();
  stepFrame(p.run, p.device, *p.timer, width, height);
  p.frameMs += emscripten_get_now() - before;
  p.longestStepMs = std::max(p.longestStepMs, p.run.scene.frameMs);
  ++p.frames;
  if (p.showFps) {
    p.meter.frame();
    if (std::strcmp(p.readout, p.meter.text()) != 0) {
      std::strncpy(p.readout, p.meter.text(), sizeof p.readout - 1);
      tavrikReadout(p.readout);
    }
  }
  // With a frame count the run stops there and its last frame stays on the canvas.
  p.running = p.options.frames == 0 || p.frames < p.options.frames;
  return p.running ? EM_TRUE : EM_FALSE;
}

// The value kept for name, as JSON: a number, or null where none is kept or it is not a number.
std::string storedJson(const char* name) {
  LocalStorageStore store;
  int32_t value = 0;
  return store.readValue(name, value) ? std::to_string(value) : "null";
}

}  // namespace

}  // namespace tavrik

extern "C" {

// One setting from the page's address, as the command line takes it ("harriers", "7"). Returns
// the message for a bad value, or an empty text.
EMSCRIPTEN_KEEPALIVE const char* tavrik_option(const char* name, const char* value) {
  tavrik::Page& p = tavrik::page();
  const std::string dashed = std::string("--") + name;
  char* argv[] = {const_cast<char*>(dashed.c_str()), const_cast<char*>(value)};
  int i = 0;
  const tavrik::OptionRule* taken = nullptr;
  p.message.clear();
  if (!tavrik::takeOption(tavrik::kRunRows, 2, argv, i, p.options, p.message,
                          tavrik::kWindowSizeModes, taken) ||
      taken != nullptr) {
    // The page names a setting as its address and panel do, without the command line's dashes.
    const size_t at = p.message.find(dashed);
    if (at != std::string::npos) {
      p.message.erase(at, 2);
    }
    return p.message.c_str();
  }
  p.message = "unknown setting " + dashed;
  return p.message.c_str();
}

// The options the page's address takes, as JSON: the names of the runner's options but those of
// files and of the simulated clock's start, the words a flag (fps) takes with their values, and
// the fps kept by the panel (null: none).
EMSCRIPTEN_KEEPALIVE const char* tavrik_options() {
  tavrik::Page& p = tavrik::page();
  std::string& json = p.message;
  json = "{\"names\":[";
  for (const tavrik::RunRow& row : tavrik::kRunRows) {
    const std::string name =
        row.rule.name != nullptr
            ? row.rule.name
            : tavrik::kSharedSettingFields[static_cast<size_t>(row.rule.field)].option;
    if (name != "trace" && name != "output" && name != "clock-start") {
      json += std::string(json.back() == '[' ? "\"" : ",\"") + name + "\"";
    }
  }
  json += "],\"flags\":[";
  for (const tavrik::SettingChoice& word : tavrik::kFlagWords) {
    json += std::string(json.back() == '[' ? "" : ",") + "[\"" + word.word + "\"," +
            (word.value != 0 ? "true" : "false") + "]";
  }
  json += "],\"fps\":" + tavrik::storedJson("fps") + "}";
  return json.c_str();
}

// True for a value the page's panel may keep: a setting by its stored name within its range (or
// one of its words' values), or fps as 0 or 1.
EMSCRIPTEN_KEEPALIVE int tavrik_allowed(const char* name, double value) {
  bool allowed = std::strcmp(name, "fps") == 0 && (value == 0 || value == 1);
  for (const tavrik::SettingField& field : tavrik::settingFields(tavrik::kWindowSizeModes)) {
    if (field.option == nullptr || std::strcmp(name, field.name) != 0) {
      continue;
    }
    allowed = std::floor(value) == value && value >= field.low && value <= field.high;
    for (int c = 0; c < field.choiceCount; ++c) {
      allowed = allowed || value == field.choices[c].value;
    }
  }
  return allowed ? 1 : 0;
}

// Keeps a value chosen in the page's panel. 0: refused; 1: kept; 2: the page cannot keep it.
EMSCRIPTEN_KEEPALIVE int tavrik_keep(const char* name, double value) {
  if (tavrik_allowed(name, value) == 0) {
    return 0;
  }
  tavrik::LocalStorageStore store;
  bool created = false;
  store.open(created);
  store.writeValue(name, static_cast<int32_t>(value));
  return store.close() ? 1 : 2;
}

// Settings, buffers, device and scene, then the frames on requestAnimationFrame. False when the
// device could not be brought up.
EMSCRIPTEN_KEEPALIVE int tavrik_start(int showFps) {
  tavrik::Page& p = tavrik::page();
  tavrik::LocalStorageStore store;
  tavrik::prepareRun(p.run, store, tavrik::runSeed(p.options), p.options.overrides,
                     tavrik::kWindowSizeModes);
  p.showFps = showFps != 0;
  p.timer = std::make_unique<tavrik::PageTimer>(p.options);
  // A size given in the address is drawn as it is; "screen" follows the canvas.
  if (tavrik::drawsAtWindowSize(p.run.settings, p.run.modes)) {
    int width = p.options.width;
    int height = p.options.height;
    p.followsWindow = width == 0;
    if (p.followsWindow) {
      int screenWidth = 0;
      int screenHeight = 0;
      tavrikWindowSize(&width, &height, &screenWidth, &screenHeight);
      width = std::max(width, screenWidth);
      height = std::max(height, screenHeight);
    }
    tavrik::followWindow(p.run.settings, width, height);
  }
  p.capacity = static_cast<size_t>(p.run.settings.screenWidth) * p.run.settings.screenHeight;
  p.presenter.reserve(p.capacity);
  if (!tavrik::startRun(p.run, p.device, *p.timer)) {
    return 0;
  }
  p.running = true;
  emscripten_request_animation_frame_loop(tavrik::onAnimationFrame, nullptr);
  return 1;
}

// The settings the page's panel offers, from the settings table, as JSON: for each with a
// command-line name, its stored name, that option, its default and range, its words, and the
// value kept (null: none).
EMSCRIPTEN_KEEPALIVE const char* tavrik_fields() {
  tavrik::Page& p = tavrik::page();
  std::string& json = p.message;
  json = "[";
  for (const tavrik::SettingField& field : tavrik::settingFields(tavrik::kWindowSizeModes)) {
    if (field.option == nullptr) {
      continue;
    }
    json += json.size() > 1 ? "," : "";
    json += std::string("{\"name\":\"") + field.name + "\",\"option\":\"" + field.option +
            "\",\"default\":" + std::to_string(field.defaultValue) +
            ",\"low\":" + std::to_string(field.low) + ",\"high\":" + std::to_string(field.high) +
            ",\"stored\":" + tavrik::storedJson(field.name) + ",\"choices\":[";
    for (int c = 0; c < field.choiceCount; ++c) {
      json += std::string(c > 0 ? "," : "") + "[\"" + field.choices[c].word + "\"," +
              std::to_string(field.choices[c].value) + "]";
    }
    json += "]}";
  }
  json += "]";
  return json.c_str();
}

// The frames a second a wallpaper host allows the page; 0 or less: no limit.
EMSCRIPTEN_KEEPALIVE void tavrik_limit_fps(double fps) {
  tavrik::page().limitMs = fps > 0 ? 1000.0 / fps : 0;
}

// What the page's about line says, as JSON: the name, the version and the licence, from the
// build, and the address of the source.
EMSCRIPTEN_KEEPALIVE const char* tavrik_about() {
  return "{\"name\":\"TAVRIK\",\"version\":\"" TAVRIK_VERSION
         "\",\"licence\":\"MIT License\",\"source\":\"" TAVRIK_HOMEPAGE "\"}";
}

// The page was hidden (1) or shown again (0): the frames stop meanwhile and the clock with them.
EMSCRIPTEN_KEEPALIVE void tavrik_hidden(int hidden) {
  tavrik::Page& p = tavrik::page();
  if (p.timer) {
    hidden ? p.timer->hide() : p.timer->show();
  }
}

EMSCRIPTEN_KEEPALIVE unsigned tavrik_frames() {
  return tavrik::page().frames;
}

// The milliseconds a frame took on average so far: simulation, drawing and showing it.
EMSCRIPTEN_KEEPALIVE double tavrik_frame_ms() {
  const tavrik::Page& p = tavrik::page();
  return p.frames > 0 ? p.frameMs / p.frames : 0;
}

// Of that, the milliseconds spent showing the frame on the canvas.
EMSCRIPTEN_KEEPALIVE double tavrik_show_ms() {
  const tavrik::Page& p = tavrik::page();
  return p.frames > 0 ? p.presenter.shownMs / p.frames : 0;
}

// The longest step of the scene clock between two frames; a hidden page's time is not one.
EMSCRIPTEN_KEEPALIVE unsigned tavrik_longest_step_ms() {
  return tavrik::page().longestStepMs;
}

// The bytes the program holds on its heap, which stay the same from frame to frame.
EMSCRIPTEN_KEEPALIVE unsigned tavrik_heap_in_use() {
  return static_cast<unsigned>(mallinfo().uordblks);
}

// The size of the program's memory, which grows only at start-up.
EMSCRIPTEN_KEEPALIVE unsigned tavrik_memory_bytes() {
  return static_cast<unsigned>(emscripten_get_heap_size());
}
}
