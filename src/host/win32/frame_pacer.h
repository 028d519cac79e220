// Keeps frames from following each other faster than a given period by sleeping out the rest of
// it. For the paths where nothing waits for the display's refresh: without it the frame loop,
// which never blocks, would keep a core busy.
#pragma once

#include <windows.h>

namespace tavrik {

// The display's refresh rate, 60 when it does not say.
int displayRefreshHz();

class FramePacer {
 public:
  explicit FramePacer(double periodMs);
  ~FramePacer();
  FramePacer(const FramePacer&) = delete;
  FramePacer& operator=(const FramePacer&) = delete;

  // Returns once the period since the last frame is over; a frame that already took longer
  // starts a new rhythm instead of being followed by a rush.
  void wait();

 private:
  LONGLONG period_;  // in performance-counter ticks
  LARGE_INTEGER frequency_{};
  LARGE_INTEGER next_{};
  bool timerPeriodSet_;
};

}  // namespace tavrik
