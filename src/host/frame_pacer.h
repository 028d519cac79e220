// Keeps frames from following each other faster than a period by sleeping out the rest of it,
// for the paths where nothing waits for the display's refresh: without it a frame loop that never
// blocks would keep a core busy. A presenter that waits for the refresh itself uses up the
// period, so the pacer then sleeps little or not at all. A frame that already took longer than
// the period starts a new rhythm instead of being followed by a rush.
//
// The host hands it what is its own: the clock (any monotonic reading) and the way to sleep.
#pragma once

#include <chrono>

namespace tavrik {

class FramePacer {
 public:
  using Duration = std::chrono::nanoseconds;

  // When the next frame is due, counted from the last one.
  enum class Rhythm {
    // One period after the last frame was due: a sleep that ran over is made up by the next
    // one, which suits a sleep that wakes only at a coarse timer's tick.
    Steady,
    // One period after the pacer last returned, whatever the sleep ran over.
    FromWake,
  };

  FramePacer(Duration period, Rhythm rhythm) : period_(period), rhythm_(rhythm) {}

  // The rhythm starts at now instead of at the first frame, so that the first frame is paced
  // too.
  void start(Duration now) {
    due_ = now;
    started_ = true;
  }

  // Sleeps what is left of the period. now() reads the host's clock; sleep(duration) sleeps at
  // most about that long.
  template <class Now, class Sleep>
  void pace(Now&& now, Sleep&& sleep) {
    const Duration before = now();
    if (!started_) {
      start(before);
    } else {
      due_ += period_;
      if (due_ > before) {
        sleep(due_ - before);
      } else {
        due_ = before;
      }
    }
    if (rhythm_ == Rhythm::FromWake) {
      due_ = now();
    }
  }

 private:
  Duration period_;
  Rhythm rhythm_;
  Duration due_{};  // when the last frame was due
  bool started_ = false;
};

}  // namespace tavrik
