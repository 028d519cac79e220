// The Win32 view of the settings dialog. It relies on the template's control ids matching the
// shared behaviour's, and on the up-down control having no buddy: the count's text is written
// here. It keeps no state beyond the one open dialog.
#include "config/win32/win32_dialog_view.h"

#include <commctrl.h>

#include "config/dialog.h"

namespace tavrik {

namespace {

class Win32DialogView : public SettingsDialogView {
 public:
  // The dialog's window is known once it is being initialised.
  void attach(HWND dialog) { dialog_ = dialog; }

  void setChecked(int id, bool checked) override {
    SendDlgItemMessageA(dialog_, id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  bool isChecked(int id) const override {
    return SendDlgItemMessageA(dialog_, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
  }
  void setText(int id, const char* text) override { SetDlgItemTextA(dialog_, id, text); }
  void setArrowRange(int id, int low, int high) override {
    SendDlgItemMessageA(dialog_, id, UDM_SETRANGE, 0, MAKELPARAM(high, low));
  }
  void setArrowPosition(int id, int position) override {
    SendDlgItemMessageA(dialog_, id, UDM_SETPOS, 0, position);
  }
  void reportSaveFailure() override {
    MessageBoxA(dialog_,
                "The settings could not be saved.\n\nThe registry key "
                "HKEY_CURRENT_USER\\Software\\Tavrik10618 could not be written.",
                "TAVRIK", MB_OK | MB_ICONERROR);
  }
  void endDialog(int result) override { EndDialog(dialog_, result); }

 private:
  HWND dialog_ = nullptr;
};

// The one open dialog; it lives on runSettingsDialog's stack.
struct OpenDialog {
  Win32DialogView& view;
  SettingsDialog behaviour;
  HWND upDownControl = nullptr;
};
OpenDialog* openDialog = nullptr;

// On the screen, not on the owner; halves truncate as integer division does.
void centreOnScreen(HWND dialog) {
  RECT r{};
  GetWindowRect(dialog, &r);
  const int x = GetSystemMetrics(SM_CXSCREEN) / 2 - (r.right - r.left) / 2;
  const int y = GetSystemMetrics(SM_CYSCREEN) / 2 - (r.bottom - r.top) / 2;
  SetWindowPos(dialog, HWND_NOTOPMOST, x, y, 0, 0, SWP_NOSIZE);
}

INT_PTR CALLBACK configDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  OpenDialog* open = openDialog;
  if (open == nullptr) {
    return FALSE;
  }
  switch (message) {
    case WM_INITDIALOG:
      centreOnScreen(dialog);
      open->view.attach(dialog);
      open->upDownControl = GetDlgItem(dialog, kIdCountArrows);
      open->behaviour.open();
      return TRUE;
    case WM_VSCROLL: {
      const LRESULT position = SendMessageA(open->upDownControl, UDM_GETPOS, 0, 0);
      open->behaviour.setCount(LOWORD(position));
      return TRUE;
    }
    case WM_COMMAND:
      return open->behaviour.command(LOWORD(wParam)) ? TRUE : FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

void runSettingsDialog(HINSTANCE instance, HWND owner, SettingsStore& store) {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_UPDOWN_CLASS;
  InitCommonControlsEx(&controls);

  Win32DialogView view;
  OpenDialog open{view, SettingsDialog(view, store, kWindowsDialog), nullptr};
  openDialog = &open;
  DialogBoxParamA(instance, MAKEINTRESOURCEA(kSettingsDialogTemplate), owner, configDialogProc, 0);
  openDialog = nullptr;
}

}  // namespace tavrik
