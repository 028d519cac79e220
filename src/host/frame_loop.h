// The frame loop every host shares. A host answers three questions through FrameHost: may the
// next frame be drawn (its input rules, a stop signal, its window still there, its frame count),
// how large its window is now, and what it does once a frame is finished (pace the next one,
// write a trace line). When the window's size changes the loop tells the host, whose presenter or
// target then follows it: asking the size changes nothing. Where the frames go is the device's
// business: its flip hands them to the presenter the host gave it.
#pragma once

#include "device/device.h"
#include "host/run.h"

namespace tavrik {

class FrameHost {
 public:
  virtual ~FrameHost() = default;
  // Handles what happened since the last frame; false when the run ends before the next one.
  virtual bool nextFrame() = 0;
  // The window's size in pixels now; the picture follows it when it is drawn at the window's
  // size. Left as given (the picture's size) by a host without a window.
  virtual void windowSize(int& width, int& height) = 0;
  // The window has a size other than the last frame's (the first frame's counts as new): what
  // shows the frames follows it before the frame is drawn. Nothing by default, for a presenter
  // that asks its window at each frame.
  virtual void resizeTo(int, int) {}
  virtual void frameDone() = 0;
};

// One frame at a window of the given size: a picture drawn at the window's size takes that size
// first, then the frame is run.
void stepFrame(Run& run, Device& device, MillisecondTimer& timer, int windowWidth,
               int windowHeight);

// The frames from the first to the one after which host.nextFrame() says no; host.resizeTo
// before each one at a new window size.
void runFrames(Run& run, Device& device, MillisecondTimer& timer, FrameHost& host);

}  // namespace tavrik
