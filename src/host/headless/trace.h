// The JSON Lines trace of a run: a header after set-up, then one line per frame.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "host/frame_loop.h"
#include "host/run.h"
#include "host/run_options.h"

namespace tavrik {

void writeTraceHeader(std::FILE* out, uint32_t seed, const Run& run);
void writeTraceFrame(std::FILE* out, uint32_t frame, const Run& run);

// Opens the trace at path, as the same bytes on every system; null with the one-line message in
// error when it cannot be written.
std::FILE* openTrace(const std::string& path, std::string& error);
// Closes the trace (error: that of a write that already failed, or 0). A trace that could not be
// written in full is removed rather than left cut off; the result is then the message.
std::string finishTrace(std::FILE* trace, const std::string& path, int error);

// What --trace and --frames add to a run in a window: the trace the headless runner writes of the
// same seed and picture size, and an end after that many frames (0: no end). A failed write ends
// the run.
class WindowTrace {
 public:
  explicit WindowTrace(const RunOptions& options) : options_(options) {}
  WindowTrace(const WindowTrace&) = delete;
  WindowTrace& operator=(const WindowTrace&) = delete;
  ~WindowTrace();

  // Opens the trace before the run; false with one line said when it cannot be written. Nothing
  // to open without --trace.
  bool open();
  // The run is up.
  void started(uint32_t seed, const Run& run);
  // Whether another frame may be drawn.
  bool more() const;
  void frameDone(const Run& run);
  // The run's end: false with one line said when the trace could not be written whole. A run
  // that never started leaves no trace.
  bool finish();

 private:
  const RunOptions& options_;
  std::FILE* file_ = nullptr;
  bool started_ = false;
  uint32_t frames_ = 0;
  int error_ = 0;
};

// A window's frames with a trace: the window's own rules, then the trace's.
class TracedFrames : public FrameHost {
 public:
  TracedFrames(FrameHost& window, WindowTrace& trace, const Run& run)
      : window_(window), trace_(trace), run_(run) {}

  bool nextFrame() override { return trace_.more() && window_.nextFrame(); }
  void windowSize(int& width, int& height) override { window_.windowSize(width, height); }
  void resizeTo(int width, int height) override { window_.resizeTo(width, height); }
  void frameDone() override {
    window_.frameDone();
    trace_.frameDone(run_);
  }

 private:
  FrameHost& window_;
  WindowTrace& trace_;
  const Run& run_;
};

}  // namespace tavrik
