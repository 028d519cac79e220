#include "host/frame_loop.h"

namespace tavrik {

void stepFrame(Run& run, Device& device, MillisecondTimer& timer, int windowWidth,
               int windowHeight) {
  if (drawsAtWindowSize(run.settings, run.modes)) {
    followWindow(run.settings, windowWidth, windowHeight);
    device.resize(run.settings.screenWidth, run.settings.screenHeight);
  }
  runFrame(run, device, timer);
}

void runFrames(Run& run, Device& device, MillisecondTimer& timer, FrameHost& host) {
  // No window is -1 pixels wide: the first frame's size is new.
  int lastWidth = -1;
  int lastHeight = -1;
  while (host.nextFrame()) {
    int width = run.settings.screenWidth;
    int height = run.settings.screenHeight;
    host.windowSize(width, height);
    if (width != lastWidth || height != lastHeight) {
      host.resizeTo(width, height);
      lastWidth = width;
      lastHeight = height;
    }
    stepFrame(run, device, timer, width, height);
    host.frameDone();
  }
}

}  // namespace tavrik
