// The settings dialog's behaviour under any sequence of events: a store with any values (or none,
// or one that fails to store), arrow presses and positions, clicks, buttons set one by one as a
// broken view might, OK, CANCEL and other commands. After each event the count stays within the
// arrows' range and is shown; OK stores what the controls say and CANCEL stores nothing; a dialog
// opened again after OK shows what was stored.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <span>
#include <string>

#include "config/dialog.h"
#include "support/fake_dialog_view.h"
#include "support/host_modes.h"
#include "support/memory_store.h"

namespace tavrik {
namespace {

void check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "dialog_fuzz: %s\n", what);
    std::abort();
  }
}

constexpr int kButtons[] = {kIdFormationNone,   kIdFormationTriangle, kIdFormationLine,
                            kIdFormationRandom, kIdTriangle9,         kIdTriangle16,
                            kIdTriangle25,      kIdCloudSurface,      kIdCloudWire,
                            kIdResolution640,   kIdResolution800,     kIdResolution1024,
                            kIdResolutionScreen};

constexpr int kCommands[] = {kIdOk, kIdCancel, kIdCountArrows, kIdCountText, kIdFormationNone, 0};

using View = testing::FakeDialogView;

int checkedCount(const View& view, std::span<const RadioChoice> radios) {
  int count = 0;
  for (const RadioChoice& radio : radios) {
    count += view.isChecked(radio.id) ? 1 : 0;
  }
  return count;
}

bool stands(std::span<const RadioChoice> radios, int32_t value) {
  for (const RadioChoice& radio : radios) {
    if (radio.value == value) {
      return true;
    }
  }
  return false;
}

void checkCount(const SettingsDialog& dialog, const View& view) {
  const int32_t count = dialog.settings().numHarriers;
  check(count >= kMinDialogHarriers && count <= kMaxDialogHarriers, "count out of range");
  check(view.arrowPosition == count, "arrows not at the count");
  const auto text = view.texts.find(kIdCountText);
  check(text != view.texts.end() && text->second == std::to_string(count), "count not shown");
}

void openAndCheck(SettingsDialog& dialog, View& view, testing::MemoryStore& store) {
  const bool existed = store.exists;
  const std::map<std::string, int32_t> before = store.values;
  dialog.open();
  checkCount(dialog, view);
  check(view.arrowLow == kMinDialogHarriers && view.arrowHigh == kMaxDialogHarriers,
        "arrows' range");
  check(view.texts.count(kIdVersionText) == 1, "no version banner");
  const Settings& s = dialog.settings();
  check(checkedCount(view, kHostDialog.formationRadios) ==
            (stands(kHostDialog.formationRadios, s.formation) ? 1 : 0),
        "formation buttons");
  check(checkedCount(view, kTriangleRadios) ==
            (stands(kTriangleRadios, s.numHARRIERStriangle) ? 1 : 0),
        "triangle buttons");
  check(checkedCount(view, kHostDialog.resolutionRadios) ==
            (stands(kHostDialog.resolutionRadios, s.mode) ? 1 : 0),
        "resolution buttons");
  check(view.isChecked(kIdCloudSurface) == (s.cloudSurface == 1) &&
            view.isChecked(kIdCloudWire) == (s.cloudSurface != 1),
        "cloud buttons");
  if (existed) {
    check(store.values == before, "opening an existing store wrote to it");
    for (const SettingField& field : kHostSettingFields) {
      const auto it = before.find(field.name);
      if (it != before.end() && field.member != &Settings::numHarriers) {
        check(s.*field.member == it->second, "a stored value not loaded");
      }
    }
  }
}

void commandAndCheck(SettingsDialog& dialog, View& view, testing::MemoryStore& store, int id,
                     const Settings& opened) {
  const std::map<std::string, int32_t> before = store.values;
  const int failures = view.saveFailures;
  view.ended.reset();
  const bool handled = dialog.command(id);
  check(handled == (id == kIdOk || id == kIdCancel), "handled the wrong commands");
  if (id == kIdOk) {
    check(view.ended == kDialogAccepted, "OK did not end the dialog");
    check(view.saveFailures == failures + (store.failStoring ? 1 : 0), "save failure report");
    const Settings& s = dialog.settings();
    check(s.formation == opened.formation || stands(kHostDialog.formationRadios, s.formation),
          "formation from nowhere");
    check(s.numHARRIERStriangle == opened.numHARRIERStriangle ||
              stands(kTriangleRadios, s.numHARRIERStriangle),
          "triangle count from nowhere");
    check(s.mode == opened.mode || stands(kHostDialog.resolutionRadios, s.mode),
          "resolution from nowhere");
    check(s.cloudSurface == 0 || s.cloudSurface == 1, "cloud value");
    check(s.withGround == opened.withGround, "OK changed the ground");
    if (!store.failStoring) {
      for (const SettingField& field : kHostSettingFields) {
        const auto it = store.values.find(field.name);
        check(it != store.values.end() && it->second == s.*field.member, "OK did not store");
      }
    }
  } else {
    check(store.values == before, "a command other than OK stored");
    check(id != kIdCancel || view.ended == kDialogCancelled, "CANCEL did not end the dialog");
    check(id == kIdCancel || !view.ended, "another command ended the dialog");
  }
}

}  // namespace
}  // namespace tavrik

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tavrik;
  FuzzedDataProvider input(data, size);
  testing::MemoryStore store;
  store.exists = input.ConsumeBool();
  store.failStoring = input.ConsumeBool();
  for (const SettingField& field : kHostSettingFields) {
    if (input.ConsumeBool()) {
      store.values[field.name] = input.ConsumeIntegral<int32_t>();
    }
  }

  View view;
  SettingsDialog dialog(view, store, kHostDialog);
  openAndCheck(dialog, view, store);
  Settings opened = dialog.settings();
  for (int event = 0; event < 64 && input.remaining_bytes() > 0; ++event) {
    switch (input.ConsumeIntegralInRange(0, 5)) {
      case 0:
        dialog.stepCount(input.ConsumeBool() ? input.PickValueInArray({1, -1})
                                             : input.ConsumeIntegral<int>());
        break;
      case 1:
        dialog.setCount(input.ConsumeIntegral<int64_t>());
        break;
      case 2:
        view.click(input.PickValueInArray(kButtons));
        break;
      case 3:
        // A view whose buttons do not behave as groups.
        view.setChecked(input.PickValueInArray(kButtons), input.ConsumeBool());
        break;
      case 4: {
        const int id =
            input.ConsumeBool() ? input.PickValueInArray(kCommands) : input.ConsumeIntegral<int>();
        commandAndCheck(dialog, view, store, id, opened);
        if (id == kIdOk || id == kIdCancel) {
          const Settings ended = dialog.settings();
          const bool stored = id == kIdOk && !store.failStoring;
          openAndCheck(dialog, view, store);
          opened = dialog.settings();
          if (stored) {
            for (const SettingField& field : kHostSettingFields) {
              check(opened.*field.member == ended.*field.member, "reopening lost what OK stored");
            }
          }
        }
        break;
      }
      default:
        store.failStoring = input.ConsumeBool();
        break;
    }
    checkCount(dialog, view);
  }
  return 0;
}
