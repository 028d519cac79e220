// Shows the software device's frames in a window through GDI: scaled to the window with the
// picture's proportions kept (black bars beside it), and paced to the display's refresh, since
// nothing here waits for it the way a page flip does.
#pragma once

#include <windows.h>

#include "device/presenter.h"
#include "host/win32/win_pacing.h"

namespace tavrik {

class GdiPresenter : public Presenter {
 public:
  explicit GdiPresenter(HWND window);
  ~GdiPresenter() override;
  GdiPresenter(const GdiPresenter&) = delete;
  GdiPresenter& operator=(const GdiPresenter&) = delete;

  void present(const FrameView& frame) override;

 private:
  HWND window_;
  // dwmapi.dll is looked up when the presenter starts, so that the saver still loads on
  // Windows XP, which has no compositor. While composition is on, DwmFlush() waits for the
  // compositor's next frame.
  HMODULE dwmapi_ = nullptr;
  HRESULT(WINAPI* dwmFlush_)() = nullptr;
  WinFramePacer pacer_;
};

}  // namespace tavrik
