// Shows the software device's frames in a window through GDI: scaled to the window with the
// picture's proportions kept (black bars beside it), and paced to the display's refresh, since
// nothing here waits for it the way a page flip does.
#pragma once

#include <windows.h>

#include <cstdint>

#include "device/soft/presenter.h"

namespace tavrik {

class GdiPresenter : public Presenter {
 public:
  explicit GdiPresenter(HWND window);
  ~GdiPresenter() override;
  GdiPresenter(const GdiPresenter&) = delete;
  GdiPresenter& operator=(const GdiPresenter&) = delete;

  void present(const FrameView& frame) override;

 private:
  void pace();

  HWND window_;
  bool composited_ = false;
  LARGE_INTEGER frequency_{};
  LARGE_INTEGER next_{};  // when the next frame is due, without composition
  bool periodSet_ = false;
};

}  // namespace tavrik
