// The Windows pieces of the frame pacer: the performance counter for its clock, Sleep() in whole
// milliseconds at the finest timer period the system grants, the display's refresh rate, and the
// compositor's wait for its next frame.
#pragma once

#include <windows.h>

#include "host/frame_pacer.h"

namespace tavrik {

// The display's refresh rate, 60 when it does not say.
int displayRefreshHz();

// Frames paced on the performance counter in a steady rhythm that starts when it is made:
// Sleep() wakes only at the timer's tick, so what one sleep runs over the next one makes up.
class WinFramePacer {
 public:
  explicit WinFramePacer(double periodMs);
  ~WinFramePacer();
  WinFramePacer(const WinFramePacer&) = delete;
  WinFramePacer& operator=(const WinFramePacer&) = delete;

  // Returns once the period since the last frame is over.
  void wait();

 private:
  FramePacer::Duration now() const;

  LARGE_INTEGER frequency_{};
  bool timerPeriodSet_;
  FramePacer pacer_;
};

// DwmFlush(), looked up when this is made, so that the saver still loads on Windows XP, which has
// no compositor.
class CompositorWait {
 public:
  CompositorWait();
  ~CompositorWait();
  CompositorWait(const CompositorWait&) = delete;
  CompositorWait& operator=(const CompositorWait&) = delete;

  // Waits for the compositor's next frame; false when nothing waited (no compositor, composition
  // off, or the call failed).
  bool wait();

 private:
  HMODULE dwmapi_ = nullptr;
  HRESULT(WINAPI* dwmFlush_)() = nullptr;
};

}  // namespace tavrik
