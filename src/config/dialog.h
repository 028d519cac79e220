// The settings dialog's behaviour, shared by every platform's view: what it shows when it
// opens, how the harrier count follows its arrows, what OK stores and what CANCEL drops.
// The view is addressed by the control ids of the dialog template, so a Win32 dialog
// procedure and the GTK window drive the same code.
#pragma once

#include <cstdint>
#include <span>

#include "config/saver_texts.h"
#include "config/settings.h"

namespace tavrik {

inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdCountArrows = 1009;
inline constexpr int kIdResolution640 = 1010;
inline constexpr int kIdResolution800 = 1011;
inline constexpr int kIdResolution1024 = 1012;
inline constexpr int kIdCountText = 1013;
inline constexpr int kIdVersionText = 1015;
inline constexpr int kIdCloudSurface = 1017;
inline constexpr int kIdCloudWire = 1018;
inline constexpr int kIdFormationNone = 1023;
inline constexpr int kIdFormationTriangle = 1025;
inline constexpr int kIdTriangle9 = 1026;
inline constexpr int kIdTriangle16 = 1027;
inline constexpr int kIdTriangle25 = 1028;
inline constexpr int kIdFormationRandom = 1029;
inline constexpr int kIdResolutionScreen = 1030;  // the Linux dialog's own
inline constexpr int kIdFormationLine = 1031;     // the Linux dialog's own

inline constexpr int32_t kMinDialogHarriers = 1;
inline constexpr int32_t kMaxDialogHarriers = 30;

// What a dialog result means to the caller.
inline constexpr int kDialogCancelled = 0;
inline constexpr int kDialogAccepted = 1;

// One radio button and the value it stands for.
struct RadioChoice {
  int id;
  int32_t value;
};

// In the order in which OK reads them. The Linux dialog offers the line formation as well, and
// drawing at the window's size.
inline constexpr RadioChoice kWindowsFormationRadios[] = {
    {kIdFormationNone, kFormationNone},
    {kIdFormationTriangle, kFormationTriangle},
    {kIdFormationRandom, kFormationRandom}};
inline constexpr RadioChoice kLinuxFormationRadios[] = {{kIdFormationNone, kFormationNone},
                                                        {kIdFormationTriangle, kFormationTriangle},
                                                        {kIdFormationLine, kFormationLine},
                                                        {kIdFormationRandom, kFormationRandom}};
inline constexpr RadioChoice kTriangleRadios[] = {
    {kIdTriangle9, 9}, {kIdTriangle16, 16}, {kIdTriangle25, 25}};
inline constexpr RadioChoice kWindowsResolutionRadios[] = {
    {kIdResolution640, 0}, {kIdResolution800, 1}, {kIdResolution1024, 2}};
inline constexpr RadioChoice kLinuxResolutionRadios[] = {{kIdResolution640, 0},
                                                         {kIdResolution800, 1},
                                                         {kIdResolution1024, 2},
                                                         {kIdResolutionScreen, kModeScreen}};

// What one platform's dialog offers; its view passes its own.
struct DialogChoices {
  DisplayModes modes;
  std::span<const RadioChoice> formationRadios;
  std::span<const RadioChoice> resolutionRadios;
};
inline constexpr DialogChoices kWindowsDialog{kFixedModes, kWindowsFormationRadios,
                                              kWindowsResolutionRadios};
inline constexpr DialogChoices kLinuxDialog{kWindowSizeModes, kLinuxFormationRadios,
                                            kLinuxResolutionRadios};

// Our own lines under the version banner, in template order; the Windows dialog template shows
// the same three, from the same header.
inline constexpr const char* kCreditLines[3] = {
    TAVRIK_CREDIT_LINE_1,
    TAVRIK_CREDIT_LINE_2,
    TAVRIK_CREDIT_LINE_3,
};

// The controls of one open dialog, as the behaviour sees them.
class SettingsDialogView {
 public:
  virtual ~SettingsDialogView() = default;
  virtual void setChecked(int id, bool checked) = 0;
  virtual bool isChecked(int id) const = 0;
  virtual void setText(int id, const char* text) = 0;
  // The arrows' range and position, for a view whose arrow control keeps one itself.
  virtual void setArrowRange(int id, int low, int high) = 0;
  virtual void setArrowPosition(int id, int position) = 0;
  // Tells the user that OK could not store the settings; returns once they have seen it.
  virtual void reportSaveFailure() = 0;
  virtual void endDialog(int result) = 0;
};

class SettingsDialog {
 public:
  SettingsDialog(SettingsDialogView& view, SettingsStore& store, const DialogChoices& choices)
      : view_(view), store_(store), choices_(choices) {}

  // Loads the settings (a store opened for the first time receives the defaults) and sets
  // every control from them.
  void open();
  // One arrow press: the count moves by delta at once and stops at 1 and 30.
  void stepCount(int delta);
  // The arrows report an absolute position (the Win32 up-down control does).
  void setCount(int64_t position);
  // A button of the dialog; false when the id is not one the dialog acts on.
  bool command(int id);

  const Settings& settings() const { return settings_; }

 private:
  void showCount();

  SettingsDialogView& view_;
  SettingsStore& store_;
  DialogChoices choices_;
  Settings settings_;
};

}  // namespace tavrik
