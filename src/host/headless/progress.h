// A long headless run's progress, for whoever watches it on a terminal: one line on standard
// error that rewrites itself, with the frames done of the total, the frames a second and the time
// left. Where standard error is no terminal (a script, a log, a pipe) nothing is written, so what
// scripts read stays as it is; nor in the browser build, whose standard error is always a "tty".
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>

#if defined(__unix__) && !defined(__EMSCRIPTEN__)
#include <unistd.h>
#endif

namespace tavrik {

class ProgressLine {
 public:
  explicit ProgressLine(uint32_t total) : total_(total), shown_(onTerminal() && total > 0) {}
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;
  // The line gives way to what comes after the run: a message, or the shell's prompt.
  ~ProgressLine() {
    if (written_) {
      std::fputs("\r\033[K", stderr);
    }
  }

  // After each frame; written at most a few times a second.
  void frameDone(uint32_t done) {
    if (!shown_) {
      return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (done == 1) {
      start_ = now;
      return;
    }
    if (now - last_ < std::chrono::milliseconds(250) && done != total_) {
      return;
    }
    last_ = now;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    const double rate = seconds > 0 ? (done - 1) / seconds : 0;
    const double left = rate > 0 ? (total_ - done) / rate : 0;
    std::fprintf(stderr, "\rtavrik: frame %u of %u, %.1f frames a second, %.0f s left\033[K", done,
                 total_, rate, left);
    std::fflush(stderr);
    written_ = true;
  }

 private:
  static bool onTerminal() {
#if defined(__unix__) && !defined(__EMSCRIPTEN__)
    return isatty(STDERR_FILENO) == 1;
#else
    return false;
#endif
  }

  uint32_t total_;
  bool shown_;
  bool written_ = false;
  std::chrono::steady_clock::time_point start_{};
  std::chrono::steady_clock::time_point last_{};
};

}  // namespace tavrik
