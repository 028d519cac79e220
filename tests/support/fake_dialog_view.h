// A settings dialog view that keeps the state of its controls in maps, for driving the dialog's
// behaviour without a window; click() does what a user's click on a radio button does.
#pragma once

#include <map>
#include <optional>
#include <span>
#include <string>

#include "config/dialog.h"
#include "support/host_modes.h"

namespace tavrik::testing {

class FakeDialogView : public SettingsDialogView {
 public:
  void setChecked(int id, bool checked) override { checked_[id] = checked; }
  bool isChecked(int id) const override {
    const auto it = checked_.find(id);
    return it != checked_.end() && it->second;
  }
  void setText(int id, const char* text) override { texts[id] = text; }
  void setArrowRange(int id, int low, int high) override {
    arrowId = id;
    arrowLow = low;
    arrowHigh = high;
  }
  void setArrowPosition(int id, int position) override {
    arrowId = id;
    arrowPosition = position;
  }
  void reportSaveFailure() override { ++saveFailures; }
  void endDialog(int result) override { ended = result; }

  // Its group is cleared and it is checked.
  void click(int id) {
    const std::span<const RadioChoice> groups[] = {kHostDialog.formationRadios, kTriangleRadios,
                                                   kHostDialog.resolutionRadios};
    for (const auto& group : groups) {
      for (const RadioChoice& radio : group) {
        if (radio.id == id) {
          for (const RadioChoice& other : group) {
            checked_[other.id] = false;
          }
        }
      }
    }
    if (id == kIdCloudSurface || id == kIdCloudWire) {
      checked_[kIdCloudSurface] = false;
      checked_[kIdCloudWire] = false;
    }
    checked_[id] = true;
  }

  std::map<int, std::string> texts;
  int arrowId = 0;
  int arrowLow = 0;
  int arrowHigh = 0;
  int arrowPosition = 0;
  int saveFailures = 0;
  std::optional<int> ended;

 private:
  std::map<int, bool> checked_;
};

}  // namespace tavrik::testing
