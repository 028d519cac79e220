#include "config/dialog.h"

#include <algorithm>
#include <string>

namespace tavrik {

namespace {

constexpr const char* kVersionBanner = "TAVRIK version " TAVRIK_VERSION;

// Clears the whole group first, so a value that none of its buttons stands for leaves it
// clear and OK keeps that value as it is.
void showRadios(SettingsDialogView& view, std::span<const RadioChoice> radios, int32_t value) {
  for (const RadioChoice& radio : radios) {
    view.setChecked(radio.id, false);
  }
  for (const RadioChoice& radio : radios) {
    if (radio.value == value) {
      view.setChecked(radio.id, true);
    }
  }
}

// Each checked button sets the field in turn; a group with none checked keeps its value.
void readRadios(const SettingsDialogView& view, std::span<const RadioChoice> radios,
                int32_t& field) {
  for (const RadioChoice& radio : radios) {
    if (view.isChecked(radio.id)) {
      field = radio.value;
    }
  }
}

}  // namespace

void SettingsDialog::open() {
  settings_ = Settings(choices_.modes);
  loadSettings(settings_, store_);
  view_.setText(kIdVersionText, kVersionBanner);

  showRadios(view_, choices_.formationRadios, settings_.formation);
  showRadios(view_, kTriangleRadios, settings_.numHARRIERStriangle);
  const bool surface = settings_.cloudSurface == 1;
  view_.setChecked(kIdCloudSurface, surface);
  view_.setChecked(kIdCloudWire, !surface);

  // A stored count the arrows could not reach is shown, and kept, as the nearest they can.
  view_.setArrowRange(kIdCountArrows, kMinDialogHarriers, kMaxDialogHarriers);
  settings_.numHarriers = std::clamp(settings_.numHarriers, kMinDialogHarriers, kMaxDialogHarriers);
  showCount();

  showRadios(view_, choices_.resolutionRadios, settings_.mode);
}

void SettingsDialog::stepCount(int delta) {
  setCount(int64_t{settings_.numHarriers} + delta);
}

void SettingsDialog::setCount(int64_t position) {
  settings_.numHarriers =
      static_cast<int32_t>(std::clamp<int64_t>(position, kMinDialogHarriers, kMaxDialogHarriers));
  showCount();
}

bool SettingsDialog::command(int id) {
  if (id == kIdOk) {
    readRadios(view_, choices_.formationRadios, settings_.formation);
    readRadios(view_, kTriangleRadios, settings_.numHARRIERStriangle);
    settings_.cloudSurface = view_.isChecked(kIdCloudSurface) ? 1 : 0;
    readRadios(view_, choices_.resolutionRadios, settings_.mode);
    if (!saveSettings(settings_, store_)) {
      view_.reportSaveFailure();
    }
    view_.endDialog(kDialogAccepted);
    return true;
  }
  if (id == kIdCancel) {
    view_.endDialog(kDialogCancelled);
    return true;
  }
  return false;
}

void SettingsDialog::showCount() {
  view_.setArrowPosition(kIdCountArrows, settings_.numHarriers);
  view_.setText(kIdCountText, std::to_string(settings_.numHarriers).c_str());
}

}  // namespace tavrik
