// Headless host: runs the shared run sequence with no window. It relies on a simulated timer
// (--frame-ms) or the monotonic clock, and on the settings store its caller hands it (the
// per-user file on Linux, the registry on Windows); it never saves settings and never opens a
// display. With --output it draws on the software device and writes each frame as a PNG file.
#include "host/headless/headless.h"

#include <cerrno>
#include <charconv>
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
#include "host/frame_loop.h"
#include "host/headless/png_presenter.h"
#include "host/headless/progress.h"
#include "host/headless/trace.h"
#include "host/run.h"
#include "host/stop_signals.h"

namespace tavrik {

namespace {

int lastError() {
  return errno != 0 ? errno : EIO;
}

// The runner's side of the frame loop: no window, a frame count, a stop signal, and after each
// frame its trace line; a failed write ends the run.
class HeadlessFrames : public FrameHost {
 public:
  HeadlessFrames(uint32_t count, std::FILE* trace, const Run& run, const PngPresenter& pictures)
      : count_(count), trace_(trace), run_(run), pictures_(pictures), progress_(count) {}

  bool nextFrame() override {
    return frame_ < count_ && !stopRequested() && traceError_ == 0 && !pictures_.failed();
  }
  void windowSize(int&, int&) override {}
  void frameDone() override {
    ++frame_;
    progress_.frameDone(frame_);
    if (trace_ != nullptr) {
      writeTraceFrame(trace_, frame_, run_);
      if (std::ferror(trace_) != 0) {
        traceError_ = lastError();
      }
    }
  }
  // The error of the trace write that failed, or 0.
  int traceError() const { return traceError_; }

 private:
  uint32_t count_;
  std::FILE* trace_;
  const Run& run_;
  const PngPresenter& pictures_;
  ProgressLine progress_;
  uint32_t frame_ = 0;
  int traceError_ = 0;
};

// The output folder made where missing and the trace opened; false with one line said when
// either cannot be had. trace stays null without --trace.
bool openOutputs(const RunOptions& options, std::FILE*& trace) {
  if (!options.outputDir.empty()) {
    std::error_code ec;
    std::filesystem::create_directories(options.outputDir, ec);
    if (ec || !std::filesystem::is_directory(options.outputDir)) {
      // A file or a device in the way is named alike by every runner's library.
      std::error_code looked;
      const bool inTheWay = std::filesystem::exists(options.outputDir, looked);
      std::fprintf(stderr, "%s: cannot make the output folder %s: %s\n", options.program,
                   quotedValue(options.outputDir).c_str(),
                   inTheWay ? std::strerror(ENOTDIR) : ec.message().c_str());
      return false;
    }
  }
  if (!options.tracePath.empty()) {
    std::string error;
    trace = openTrace(options.tracePath, error);
    if (trace == nullptr) {
      std::fprintf(stderr, "%s: %s\n", options.program, error.c_str());
      return false;
    }
  }
  return true;
}

// The frames of a run whose device is up, then its teardown; the message of the first write that
// failed, or an empty text. On a full disk the trace and the pictures fail together: one line.
std::string runUp(Run& run, Device& device, MillisecondTimer& timer, const RunOptions& options,
                  uint32_t seed, std::FILE* trace, const PngPresenter& pictures) {
  // A run asked to end (a logout, Ctrl+C, kill) ends after its current frame, so the trace and
  // the pictures it leaves are whole.
  installStopSignals();
  if (trace != nullptr) {
    writeTraceHeader(trace, seed, run);
  }
  HeadlessFrames frames(options.frames, trace, run, pictures);
  runFrames(run, device, timer, frames);
  endRun(device);
  const std::string traceFailure =
      trace != nullptr ? finishTrace(trace, options.tracePath, frames.traceError()) : std::string();
  return pictures.failed() ? pictures.error() : traceFailure;
}

}  // namespace

int runHeadless(const RunOptions& options, SettingsStore& store, const DisplayModes& modes,
                const DrawingDevice& drawing) {
  std::FILE* trace = nullptr;
  if (!openOutputs(options, trace)) {
    return 1;
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
  Presenter* const written = options.outputDir.empty() ? nullptr : &pictures;
  NullDevice nullDevice;
  SoftDevice softDevice(&pictures);
  const std::unique_ptr<Device> chosen = drawing ? drawing(run.settings, written) : nullptr;
  Device& device = chosen    ? *chosen
                   : written ? static_cast<Device&>(softDevice)
                             : static_cast<Device&>(nullDevice);
  if (!startRun(run, device, timer)) {
    std::fprintf(stderr, "%s: the graphics device could not be brought up\n", options.program);
    // A run that never started leaves no trace, not an empty one.
    if (trace != nullptr) {
      std::fclose(trace);
      removePartial(options.tracePath);
    }
    return 1;
  }
  const std::string failure = runUp(run, device, timer, options, seed, trace, pictures);
  if (!failure.empty()) {
    std::fprintf(stderr, "%s: %s\n", options.program, failure.c_str());
    return 1;
  }
  return 0;
}

}  // namespace tavrik
