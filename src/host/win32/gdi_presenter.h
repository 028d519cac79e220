// Shows the software device's frames in a window through GDI: scaled to the window with the
// picture's proportions kept (black bars beside it), and paced to the display's refresh, since
// nothing here waits for it the way a page flip does.
#pragma once

#include <windows.h>

#include "device/soft/presenter.h"
#include "host/win32/frame_pacer.h"

namespace tavrik {

class GdiPresenter : public Presenter {
 public:
  explicit GdiPresenter(HWND window);

  void present(const FrameView& frame) override;

 private:
  HWND window_;
  bool composited_ = false;  // DwmFlush() waits for the compositor's next frame
  FramePacer pacer_;
};

}  // namespace tavrik
