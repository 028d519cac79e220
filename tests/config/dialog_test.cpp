#include "config/dialog.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <span>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "config/file_store.h"
#include "support/fake_dialog_view.h"
#include "support/host_modes.h"
#include "support/memory_store.h"

namespace tavrik {
namespace {

using FakeView = testing::FakeDialogView;

using FakeStore = testing::MemoryStore;
using testing::storedWith;

// The radio of the default resolution: 640*480 in the Windows dialog, "screen" in the Linux one.
constexpr int kDefaultResolutionRadio =
    kHostDialog.resolutionRadios[std::size(kHostDialog.resolutionRadios) - 1].value ==
            kHostModes.defaultMode
        ? kHostDialog.resolutionRadios[std::size(kHostDialog.resolutionRadios) - 1].id
        : kIdResolution640;

const std::map<std::string, int32_t> kDefaults = {
    {"numHarriers", 15}, {"mode", kHostModes.defaultMode}, {"cloudSurface", 1}, {"withGround", 1},
    {"formation", 0},    {"numHARRIERStriangle", 16}};

const std::vector<int> kRadioIds = {kIdFormationNone,   kIdFormationTriangle, kIdFormationLine,
                                    kIdFormationRandom, kIdTriangle9,         kIdTriangle16,
                                    kIdTriangle25,      kIdCloudSurface,      kIdCloudWire,
                                    kIdResolution640,   kIdResolution800,     kIdResolution1024,
                                    kIdResolutionScreen};

std::vector<int> checkedIds(const FakeView& view) {
  std::vector<int> ids;
  for (int id : kRadioIds) {
    if (view.isChecked(id)) {
      ids.push_back(id);
    }
  }
  return ids;
}

TEST(SettingsDialog, FirstOpenCreatesTheStoreWithDefaultsAndShowsThem) {
  FakeStore store;
  FakeView view;
  SettingsDialog dialog(view, store, kHostDialog);
  dialog.open();

  EXPECT_EQ(store.values, kDefaults);
  ASSERT_EQ(store.writes.size(), 6u);
  for (size_t i = 0; i < kHostSettingFields.size(); ++i) {
    EXPECT_EQ(store.writes[i].first, kHostSettingFields[i].name);
  }
  EXPECT_EQ(view.texts[kIdCountText], "15");
  EXPECT_EQ(checkedIds(view), (std::vector<int>{kIdFormationNone, kIdTriangle16, kIdCloudSurface,
                                                kDefaultResolutionRadio}));
  EXPECT_EQ(view.arrowId, kIdCountArrows);
  EXPECT_EQ(view.arrowLow, 1);
  EXPECT_EQ(view.arrowHigh, 30);
  EXPECT_EQ(view.arrowPosition, 15);
  EXPECT_EQ(view.texts[kIdVersionText], std::string("TAVRIK version ") + TAVRIK_VERSION);
  EXPECT_FALSE(view.ended);
}

TEST(SettingsDialog, CancelOnFirstOpenLeavesTheDefaults) {
  FakeStore store;
  FakeView view;
  SettingsDialog dialog(view, store, kHostDialog);
  dialog.open();
  dialog.stepCount(3);
  view.click(kIdFormationTriangle);
  EXPECT_TRUE(dialog.command(kIdCancel));
  EXPECT_EQ(view.ended, kDialogCancelled);
  EXPECT_EQ(store.values, kDefaults);
  EXPECT_EQ(store.opens, 1);
}

TEST(SettingsDialog, StoredValuesSetTheControls) {
  FakeStore store = storedWith({{"numHarriers", 7},
                                {"mode", 2},
                                {"cloudSurface", 0},
                                {"withGround", 0},
                                {"formation", 100},
                                {"numHARRIERStriangle", 25}});
  FakeView view;
  SettingsDialog dialog(view, store, kHostDialog);
  dialog.open();
  EXPECT_TRUE(store.writes.empty());
  EXPECT_EQ(view.texts[kIdCountText], "7");
  EXPECT_EQ(checkedIds(view),
            (std::vector<int>{kIdFormationRandom, kIdTriangle25, kIdCloudWire, kIdResolution1024}));
}

TEST(SettingsDialog, CountFollowsEachArrowPressAndStopsAt30) {
  FakeStore store = storedWith({{"numHarriers", 28}});
  FakeView view;
  SettingsDialog dialog(view, store, kHostDialog);
  dialog.open();
  dialog.stepCount(1);
  EXPECT_EQ(view.texts[kIdCountText], "29");
  EXPECT_EQ(dialog.settings().numHarriers, 29);
  for (int i = 0; i < 4; ++i) {
    dialog.stepCount(1);
  }
  EXPECT_EQ(view.texts[kIdCountText], "30");
  EXPECT_EQ(view.arrowPosition, 30);
  EXPECT_EQ(dialog.settings().numHarriers, 30);
  dialog.stepCount(-1);
  EXPECT_EQ(view.texts[kIdCountText], "29");
}

TEST(SettingsDialog, CountStopsAt1WithoutWrapping) {
  FakeStore store = storedWith({{"numHarriers", 2}});
  FakeView view;
  SettingsDialog dialog(view, store, kHostDialog);
  dialog.open();
  dialog.stepCount(-1);
  dialog.stepCount(-1);
  dialog.stepCount(-1);
  EXPECT_EQ(view.texts[kIdCountText], "1");
  EXPECT_EQ(dialog.settings().numHarriers, 1);
  dialog.stepCount(1);
  EXPECT_EQ(view.texts[kIdCountText], "2");
}

TEST(SettingsDialog, AbsolutePositionsAreClamped) {
  FakeStore store;
  FakeView view;
  SettingsDialog dialog(view, store, kHostDialog);
  dialog.open();
  dialog.setCount(12);
  EXPECT_EQ(view.texts[kIdCountText], "12");
  dialog.setCount(65535);
  EXPECT_EQ(view.texts[kIdCountText], "30");
  dialog.setCount(0);
  EXPECT_EQ(view.texts[kIdCountText], "1");
  dialog.setCount(INT64_MIN);
  EXPECT_EQ(dialog.settings().numHarriers, 1);
  dialog.stepCount(INT32_MAX);
  EXPECT_EQ(dialog.settings().numHarriers, 30);
}

TEST(SettingsDialog, StoredCountOutsideTheArrowsRangeIsShownAndSavedAsTheNearest) {
  FakeStore store = storedWith({{"numHarriers", 99}});
  FakeView view;
  SettingsDialog dialog(view, store, kHostDialog);
  dialog.open();
  EXPECT_EQ(view.texts[kIdCountText], "30");
  dialog.command(kIdOk);
  EXPECT_EQ(store.values["numHarriers"], 30);

  FakeStore negative = storedWith({{"numHarriers", -5}});
  SettingsDialog other(view, negative, kHostDialog);
  other.open();
  EXPECT_EQ(view.texts[kIdCountText], "1");
}

// The Linux dialog offers the line formation, which the Windows template has no button for.
TEST(SettingsDialog, AStoredLineFormationChecksLineAndSurvivesOk) {
  FakeStore store = storedWith({{"formation", 2}});
  FakeView view;
  SettingsDialog dialog(view, store, kHostDialog);
  dialog.open();
  EXPECT_EQ(checkedIds(view), (std::vector<int>{kIdFormationLine, kIdTriangle16, kIdCloudSurface,
                                                kDefaultResolutionRadio}));
  dialog.stepCount(1);
  EXPECT_TRUE(dialog.command(kIdOk));
  EXPECT_EQ(store.values["formation"], 2);
  EXPECT_EQ(store.values["numHarriers"], 16);
  EXPECT_EQ(view.ended, kDialogAccepted);
}

TEST(SettingsDialog, TheLineRadioSavesTwo) {
  for (const int from : {kIdFormationNone, kIdFormationTriangle, kIdFormationRandom}) {
    FakeStore store = storedWith({});
    FakeView view;
    SettingsDialog dialog(view, store, kHostDialog);
    dialog.open();
    view.click(from);
    view.click(kIdFormationLine);
    EXPECT_FALSE(view.isChecked(from));
    dialog.command(kIdOk);
    EXPECT_EQ(store.values["formation"], kFormationLine) << from;
  }
}

// A formation that no button stands for leaves the group clear, and OK keeps it.
TEST(SettingsDialog, UnknownFormationLeavesTheGroupClearAndSurvivesOk) {
  FakeStore store = storedWith({{"formation", 5}});
  FakeView view;
  SettingsDialog dialog(view, store, kHostDialog);
  dialog.open();
  for (const RadioChoice& radio : kHostDialog.formationRadios) {
    EXPECT_FALSE(view.isChecked(radio.id)) << radio.id;
  }
  dialog.command(kIdOk);
  EXPECT_EQ(store.values["formation"], 5);
}

// The credit lines are chosen once: the Windows dialog template shows the same three texts.
TEST(SettingsDialog, TheWindowsTemplateShowsTheSameCreditLines) {
  const std::filesystem::path rc =
      std::filesystem::path(__FILE__).parent_path() / "../../resources/win32/tavrik.rc";
  std::ifstream in(rc);
  ASSERT_TRUE(in) << rc;
  std::stringstream read;
  read << in.rdbuf();
  // The template names the lines by their macros, which windres's preprocessor expands.
  std::string text = read.str();
  const std::pair<std::string, std::string> macros[] = {
      {"TAVRIK_CREDIT_LINE_1", "\"" TAVRIK_CREDIT_LINE_1 "\""},
      {"TAVRIK_CREDIT_LINE_2", "\"" TAVRIK_CREDIT_LINE_2 "\""},
      {"TAVRIK_CREDIT_LINE_3", "\"" TAVRIK_CREDIT_LINE_3 "\""}};
  for (const auto& [name, value] : macros) {
    for (size_t at = text.find(name); at != std::string::npos; at = text.find(name, at)) {
      text.replace(at, name.size(), value);
    }
  }
  for (const char* line : kCreditLines) {
    EXPECT_NE(text.find("CONTROL \"" + std::string(line) + "\", -1, \"Static\""), std::string::npos)
        << line;
  }
  EXPECT_EQ(text.find("team"), std::string::npos);
}

TEST(SettingsDialog, UnknownTriangleCountAndResolutionSurviveOk) {
  FakeStore store = storedWith({{"numHARRIERStriangle", 12}, {"mode", 7}});
  FakeView view;
  SettingsDialog dialog(view, store, kHostDialog);
  dialog.open();
  EXPECT_EQ(checkedIds(view), (std::vector<int>{kIdFormationNone, kIdCloudSurface}));
  dialog.command(kIdOk);
  EXPECT_EQ(store.values["numHARRIERStriangle"], 12);
  EXPECT_EQ(store.values["mode"], 7);
}

TEST(SettingsDialog, CancelAfterChangesLeavesTheStoredValues) {
  const std::map<std::string, int32_t> stored = {{"numHarriers", 5},  {"mode", 1},
                                                 {"cloudSurface", 1}, {"withGround", 1},
                                                 {"formation", 1},    {"numHARRIERStriangle", 9}};
  FakeStore store = storedWith(stored);
  FakeView view;
  SettingsDialog dialog(view, store, kHostDialog);
  dialog.open();
  dialog.stepCount(1);
  dialog.stepCount(1);
  view.click(kIdFormationRandom);
  view.click(kIdTriangle25);
  view.click(kIdCloudWire);
  view.click(kIdResolution1024);
  EXPECT_TRUE(dialog.command(kIdCancel));
  EXPECT_EQ(view.ended, kDialogCancelled);
  EXPECT_EQ(store.values, stored);
  EXPECT_TRUE(store.writes.empty());
  EXPECT_EQ(store.opens, 1);
}

TEST(SettingsDialog, OkWithNothingChangedRewritesAllSixWithGroundAsLoaded) {
  FakeStore store = storedWith({{"numHarriers", 20},
                                {"mode", 1},
                                {"cloudSurface", 1},
                                {"withGround", 0},
                                {"formation", 1},
                                {"numHARRIERStriangle", 9}});
  FakeView view;
  SettingsDialog dialog(view, store, kHostDialog);
  dialog.open();
  EXPECT_TRUE(dialog.command(kIdOk));
  const std::vector<std::pair<std::string, int32_t>> expected = {
      {"numHarriers", 20}, {"mode", 1},      {"cloudSurface", 1},
      {"withGround", 0},   {"formation", 1}, {"numHARRIERStriangle", 9}};
  EXPECT_EQ(store.writes, expected);
  EXPECT_EQ(store.opens, 2);
  EXPECT_EQ(view.saveFailures, 0);
  EXPECT_EQ(view.ended, kDialogAccepted);
}

TEST(SettingsDialog, OkStoresEveryGroupsChoice) {
  FakeStore store;
  FakeView view;
  SettingsDialog dialog(view, store, kHostDialog);
  dialog.open();
  view.click(kIdFormationTriangle);
  view.click(kIdTriangle25);
  view.click(kIdCloudWire);
  view.click(kIdResolution800);
  dialog.stepCount(-1);
  dialog.command(kIdOk);
  const std::map<std::string, int32_t> expected = {
      {"numHarriers", 14}, {"mode", 1},      {"cloudSurface", 0},
      {"withGround", 1},   {"formation", 1}, {"numHARRIERStriangle", 25}};
  EXPECT_EQ(store.values, expected);
}

TEST(SettingsDialog, OkReadsEachGroupInOrderSoTheLastCheckedButtonWins) {
  FakeStore store;
  FakeView view;
  SettingsDialog dialog(view, store, kHostDialog);
  dialog.open();
  view.setChecked(kIdFormationNone, true);
  view.setChecked(kIdFormationRandom, true);
  view.setChecked(kIdTriangle9, true);
  view.setChecked(kIdTriangle16, true);
  view.setChecked(kIdResolutionScreen, false);  // checked by open() in the Linux dialog
  view.setChecked(kIdResolution640, true);
  view.setChecked(kIdResolution1024, true);
  view.setChecked(kIdCloudSurface, false);
  view.setChecked(kIdCloudWire, false);
  dialog.command(kIdOk);
  EXPECT_EQ(store.values["formation"], 100);
  EXPECT_EQ(store.values["numHARRIERStriangle"], 16);
  EXPECT_EQ(store.values["mode"], 2);
  EXPECT_EQ(store.values["cloudSurface"], 0);
}

TEST(SettingsDialog, CloudValueOtherThanOneShowsWireAndOkStoresZero) {
  FakeStore store = storedWith({{"cloudSurface", 5}});
  FakeView view;
  SettingsDialog dialog(view, store, kHostDialog);
  dialog.open();
  EXPECT_TRUE(view.isChecked(kIdCloudWire));
  EXPECT_FALSE(view.isChecked(kIdCloudSurface));
  dialog.command(kIdOk);
  EXPECT_EQ(store.values["cloudSurface"], 0);
}

TEST(SettingsDialog, FailedSaveIsReportedBeforeTheDialogEnds) {
  FakeStore store = storedWith({});
  FakeView view;
  SettingsDialog dialog(view, store, kHostDialog);
  dialog.open();
  store.failStoring = true;
  dialog.command(kIdOk);
  EXPECT_EQ(view.saveFailures, 1);
  EXPECT_EQ(view.ended, kDialogAccepted);
}

TEST(SettingsDialog, OtherCommandsAreNotHandled) {
  FakeStore store;
  FakeView view;
  SettingsDialog dialog(view, store, kHostDialog);
  dialog.open();
  EXPECT_FALSE(dialog.command(kIdFormationTriangle));
  EXPECT_FALSE(dialog.command(0));
  EXPECT_FALSE(view.ended);
  EXPECT_EQ(store.opens, 1);
}

TEST(SettingsDialog, MissingValuesOfAStoreKeepTheirDefaults) {
  FakeStore store = storedWith({{"mode", 2}});
  FakeView view;
  SettingsDialog dialog(view, store, kHostDialog);
  dialog.open();
  EXPECT_EQ(view.texts[kIdCountText], "15");
  EXPECT_EQ(checkedIds(view), (std::vector<int>{kIdFormationNone, kIdTriangle16, kIdCloudSurface,
                                                kIdResolution1024}));
}

class DialogFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ =
        std::filesystem::temp_directory_path() /
        ("tavrik-dialog-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    path_ = (dir_ / "tavrik" / "settings").string();
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string readFile() const {
    std::ifstream in(path_);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  std::filesystem::path dir_;
  std::string path_;
};

TEST_F(DialogFileTest, BrokenFileOpensWithDefaultsAndOkRepairsIt) {
  std::filesystem::create_directories(dir_ / "tavrik");
  {
    std::ofstream out(path_);
    out << "numHarriers=abc\n\x01\x02garbage\nformation=2\nmode=99999999999999\n=\n";
  }
  FileSettingsStore store(path_);
  FakeView view;
  SettingsDialog dialog(view, store, kHostDialog);
  dialog.open();
  EXPECT_EQ(view.texts[kIdCountText], "15");
  EXPECT_EQ(checkedIds(view), (std::vector<int>{kIdFormationLine, kIdTriangle16, kIdCloudSurface,
                                                kDefaultResolutionRadio}));
  view.click(kIdResolution800);
  dialog.command(kIdOk);
  EXPECT_EQ(readFile(),
            "numHarriers=15\nmode=1\ncloudSurface=1\nwithGround=1\nformation=2\n"
            "numHARRIERStriangle=16\n");
}

TEST_F(DialogFileTest, FirstOpenWritesTheDefaultsFile) {
  FileSettingsStore store(path_);
  FakeView view;
  SettingsDialog dialog(view, store, kHostDialog);
  dialog.open();
  EXPECT_EQ(readFile(), "numHarriers=15\nmode=" + std::to_string(kHostModes.defaultMode) +
                            "\ncloudSurface=1\nwithGround=1\nformation=0\n"
                            "numHARRIERStriangle=16\n");
  dialog.command(kIdCancel);
}

TEST_F(DialogFileTest, UnsavableFileIsReported) {
  FileSettingsStore store("");
  FakeView view;
  SettingsDialog dialog(view, store, kHostDialog);
  dialog.open();
  dialog.command(kIdOk);
  EXPECT_EQ(view.saveFailures, 1);
}

}  // namespace
}  // namespace tavrik
