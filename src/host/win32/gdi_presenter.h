// Shows the software device's frames in a window through GDI: scaled to the window with the
// picture's proportions kept (black bars beside it). Nothing here waits for the display's refresh
// the way a page flip does: the host's frameDone paces the frames.
#pragma once

#include <windows.h>

#include "device/presenter.h"

namespace tavrik {

class GdiPresenter : public Presenter {
 public:
  explicit GdiPresenter(HWND window) : window_(window) {}

  void present(const FrameView& frame) override;

 private:
  HWND window_;
};

}  // namespace tavrik
