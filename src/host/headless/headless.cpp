// Headless host: runs the shared run sequence with no window. It relies on a simulated timer
// (--frame-ms) or the monotonic clock, and on the settings store its caller hands it (the
// per-user file on Linux, the registry on Windows); it never saves settings and never opens a
// display. With --output it draws on the software device and writes each frame as a PNG file.
#include "host/headless/headless.h"

#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "config/quote.h"
#include "device/null_device.h"
#include "device/soft/soft_device.h"
#include "host/headless/png_presenter.h"
#include "host/headless/trace.h"
#include "host/run.h"

namespace tavrik {

namespace {

// The number of the signal that asked the run to end, or 0.
volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int signal) {
  if (stopRequested == 0) {
    stopRequested = signal;
  }
}

// A run asked to end (a logout, Ctrl+C, kill) ends after its current frame, so the trace and the
// pictures it leaves are whole.
void endOnSignals() {
  stopRequested = 0;
  std::signal(SIGINT, requestStop);
  std::signal(SIGTERM, requestStop);
#ifdef SIGHUP  // not on Windows
  std::signal(SIGHUP, requestStop);
#endif
}

int lastError() {
  return errno != 0 ? errno : EIO;
}

// Closes the trace (error: that of a write that already failed, or 0). A trace that could not be
// written in full is removed rather than left cut off; the result is then the message.
std::string finishTrace(std::FILE* trace, const std::string& path, int error) {
  if (error == 0 && std::fflush(trace) != 0) {
    error = lastError();
  }
  if (std::fclose(trace) != 0 && error == 0) {
    error = lastError();
  }
  if (error == 0) {
    return {};
  }
  removePartial(path);
  return "cannot write the trace " + quotedValue(path) + ": " + std::strerror(error);
}

bool parseUnsigned(std::string_view text, uint32_t& value) {
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return !text.empty() && ec == std::errc() && ptr == end;
}

// "WxH" with each side from 1 to the largest picture drawn at a window's size.
bool parsePictureSize(std::string_view text, HeadlessOptions& options, const DisplayModes& modes) {
  if (!modes.screenAtWindowSize) {
    return false;  // a build that draws only at its display modes
  }
  const size_t x = text.find('x');
  uint32_t width = 0;
  uint32_t height = 0;
  if (x == std::string_view::npos || !parseUnsigned(text.substr(0, x), width) ||
      !parseUnsigned(text.substr(x + 1), height) || width == 0 || height == 0 ||
      width > kMaxScreenSide || height > kMaxScreenSide) {
    return false;
  }
  options.width = static_cast<int>(width);
  options.height = static_cast<int>(height);
  return true;
}

// What an override takes, for the message about a bad value: "(1 to 30)", "(surface or wire)".
// Written with append and snprintf: GCC 12 at -O3 takes std::string's operator+ here for an
// overlapping copy.
std::string valueRange(const SettingField& field, const DisplayModes& modes) {
  char number[64];
  if (field.choices == nullptr) {
    std::snprintf(number, sizeof number, "(%lld to %lld)", static_cast<long long>(field.low),
                  static_cast<long long>(field.high));
    return number;
  }
  // A build that draws at the window's size also takes any picture size.
  const bool anySize = field.member == &Settings::mode && modes.screenAtWindowSize;
  const int words = field.choiceCount + (anySize ? 1 : 0);
  std::string text = "(";
  for (int i = 0; i < words; ++i) {
    text.append(i == 0 ? "" : i + 1 == words ? " or " : ", ");
    if (i < field.choiceCount) {
      text.append(field.choices[i].word);
    } else {
      std::snprintf(number, sizeof number, "WxH up to %dx%d", kMaxScreenSide, kMaxScreenSide);
      text.append(number);
    }
  }
  text.append(")");
  return text;
}

}  // namespace

int headlessStopSignal() {
  return stopRequested;
}

uint32_t runSeed(const HeadlessOptions& options) {
  return options.seed ? *options.seed : static_cast<uint32_t>(std::time(nullptr));
}

const char* headlessUsage() {
  return "Headless run (no window):\n"
         "  --frames N            run N frames, then stop\n"
         "  --trace FILE          write the run header and one line per frame (JSON Lines)\n"
         "  --output DIR          write each frame as DIR/frame-00001.png, ...\n"
         "  --seed S              seed the generator with S instead of the calendar time\n"
         "  --frame-ms MS         simulated timer: each reading MS after the one before\n"
         "  --clock-start MS0     the simulated timer's first reading (default 60000)\n"
         "\n"
         "Settings for this run only (never saved):\n"
         "  --harriers N          the harriers flown without a formation, 1 to 30\n"
         "  --formation none|triangle|line|random\n"
         "                        the formation flown (random: none or the triangle)\n"
         "  --triangle 9|16|25    the harriers of the triangle formation\n"
         "  --resolution 640x480|800x600|1024x768|screen|WxH\n"
         "                        the picture's size (screen: the window's own size; WxH any\n"
         "                        such size up to 8192x8192, drawn as a window of that size\n"
         "                        would be)\n"
         "  --clouds surface|wire\n"
         "                        the cloud tiles drawn as surfaces or as wire frames\n";
}

bool parseHeadlessOption(int argc, char** argv, int& i, HeadlessOptions& options, bool& known,
                         std::string& error, const DisplayModes& modes) {
  std::string_view name = argv[i];
  known = false;
  if (name.size() > 2 && name[0] == '-' && name[1] == '-') {
    name.remove_prefix(2);
  } else if (name.size() > 1 && name[0] == '-') {
    name.remove_prefix(1);
  } else {
    return true;
  }

  const SettingTable fields = settingFields(modes);
  int field = -1;
  for (size_t f = 0; f < fields.size(); ++f) {
    if (fields[f].option != nullptr && name == fields[f].option) {
      field = static_cast<int>(f);
    }
  }
  static constexpr const char* kRunnerOptions[] = {"seed",   "frame-ms", "clock-start",
                                                   "frames", "trace",    "output"};
  bool runnerOption = false;
  for (const char* option : kRunnerOptions) {
    runnerOption = runnerOption || name == option;
  }
  if (field < 0 && !runnerOption) {
    return true;
  }
  known = true;
  const std::string dashed = "--" + std::string(name);
  if (i + 1 >= argc) {
    error = dashed + " needs a value";
    return false;
  }
  const std::string_view value = argv[++i];

  if (field >= 0) {
    int32_t parsed = 0;
    if (field == kFieldMode && !parseOverrideValue(field, value, parsed, modes) &&
        parsePictureSize(value, options, modes)) {
      parsed = kModeScreen;
    } else if (!parseOverrideValue(field, value, parsed, modes)) {
      error = "bad value for " + dashed + ": " + quotedValue(value) + " " +
              valueRange(fields[static_cast<size_t>(field)], modes);
      return false;
    }
    options.overrides.values[static_cast<size_t>(field)] = parsed;
    return true;
  }
  if (name == "trace" || name == "output") {
    if (value.empty()) {
      error = dashed + " needs a value";
      return false;
    }
    (name == "trace" ? options.tracePath : options.outputDir) = std::string(value);
    return true;
  }
  uint32_t number = 0;
  if (!parseUnsigned(value, number)) {
    error = "bad value for " + dashed + ": " + quotedValue(value) +
            " (a whole number from 0 to 4294967295)";
    return false;
  }
  if (name == "seed") {
    options.seed = number;
  } else if (name == "frame-ms") {
    options.frameMs = number;
  } else if (name == "clock-start") {
    options.clockStartMs = number;
  } else {
    options.frames = number;
  }
  return true;
}

int runHeadless(const HeadlessOptions& options, SettingsStore& store, const DisplayModes& modes,
                const DrawingDevice& drawing) {
  if (!options.outputDir.empty()) {
    std::error_code ec;
    std::filesystem::create_directories(options.outputDir, ec);
    if (ec || !std::filesystem::is_directory(options.outputDir)) {
      std::fprintf(stderr, "tavrik: cannot make the output folder %s: %s\n",
                   quotedValue(options.outputDir).c_str(),
                   ec ? ec.message().c_str() : "a file of that name is in the way");
      return 1;
    }
  }
  std::FILE* trace = nullptr;
  if (!options.tracePath.empty()) {
    trace = std::fopen(options.tracePath.c_str(), "wb");  // the same bytes on every system
    if (trace == nullptr) {
      std::fprintf(stderr, "tavrik: cannot write the trace %s: %s\n",
                   quotedValue(options.tracePath).c_str(), std::strerror(errno));
      return 1;
    }
  }

  const uint32_t seed = runSeed(options);
  OptionsTimer timer(options);

  // Tens of kilobytes: made once before the first frame rather than on the stack.
  const auto runStorage = std::make_unique<Run>();
  Run& run = *runStorage;
  prepareRun(run, store, seed, options.overrides, modes);
  if (drawsAtWindowSize(run.settings, modes)) {
    followWindow(run.settings, options.width > 0 ? options.width : 640,
                 options.height > 0 ? options.height : 480);
  }

  // Pictures only when someone asked for them; otherwise nothing is drawn at all.
  PngPresenter pictures(options.outputDir);
  Presenter* const frames = options.outputDir.empty() ? nullptr : &pictures;
  NullDevice nullDevice;
  SoftDevice softDevice(&pictures);
  const std::unique_ptr<Device> chosen = drawing ? drawing(run.settings, frames) : nullptr;
  Device& device = chosen   ? *chosen
                   : frames ? static_cast<Device&>(softDevice)
                            : static_cast<Device&>(nullDevice);
  if (!startRun(run, device, timer)) {
    std::fprintf(stderr, "tavrik: the graphics device could not be brought up\n");
    if (trace != nullptr) {
      std::fclose(trace);
    }
    return 1;
  }
  endOnSignals();
  if (trace != nullptr) {
    writeTraceHeader(trace, seed, run);
  }
  int traceError = 0;
  for (uint32_t frame = 1; frame <= options.frames && stopRequested == 0; ++frame) {
    runFrame(run, device, timer);
    if (trace != nullptr) {
      writeTraceFrame(trace, frame, run);
      if (std::ferror(trace) != 0) {
        traceError = lastError();
        break;
      }
    }
    if (pictures.failed()) {
      break;
    }
  }
  endRun(device);

  // One line for the first failure: on a full disk the trace and the pictures fail together.
  const std::string traceFailure =
      trace != nullptr ? finishTrace(trace, options.tracePath, traceError) : std::string();
  const std::string& failure = pictures.failed() ? pictures.error() : traceFailure;
  if (!failure.empty()) {
    std::fprintf(stderr, "tavrik: %s\n", failure.c_str());
    return 1;
  }
  return 0;
}

}  // namespace tavrik
