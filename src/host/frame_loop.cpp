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
  bool sized = false;
  int lastWidth = 0;
  int lastHeight = 0;
  while (host.nextFrame()) {
    int width = run.settings.screenWidth;
    int height = run.settings.screenHeight;
    host.windowSize(width, height);
    if (!sized || width != lastWidth || height != lastHeight) {
      host.resizeTo(width, height);
      sized = true;
      lastWidth = width;
      lastHeight = height;
    }
    stepFrame(run, device, timer, width, height);
    host.frameDone();
  }
}

}  // namespace tavrik
