#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <string>

#include "config/settings.h"
#include "support/host_modes.h"
#include "support/memory_store.h"
#include "support/persisted_values.h"

namespace tavrik {
namespace {

using testing::MemoryStore;
using testing::storedWith;

Settings prepared(MemoryStore& store, uint32_t seed = 1) {
  Settings settings;
  Random random;
  random.state = seed;
  prepareRunSettings(settings, store, random, SettingsOverrides{}, kHostModes);
  return settings;
}

TEST(Settings, DefaultsComeFromTheTable) {
  EXPECT_EQ(Settings().mode, 0);  // the first mode, where no platform has said its own
  const Settings s(kHostModes);
  // The mode is 640 by 480 on Windows, the window's size on Linux.
  EXPECT_EQ(testing::persistedValues(s),
            (testing::PersistedValues{15, kHostModes.defaultMode, 1, 1, 0, 16}));
  EXPECT_EQ(s.screenWidth, 640);
  EXPECT_EQ(s.screenHeight, 480);
  EXPECT_EQ(s.cloudPrimitive, 5);
  EXPECT_STREQ(kHostSettingFields[0].name, "numHarriers");
  EXPECT_STREQ(kHostSettingFields[5].name, "numHARRIERStriangle");
}

TEST(Settings, FirstLoadCreatesTheStoreWithTheDefaults) {
  MemoryStore store;
  Settings s(kHostModes);
  EXPECT_TRUE(loadSettings(s, store));
  EXPECT_EQ(store.values, (std::map<std::string, int32_t>{{"numHarriers", 15},
                                                          {"mode", kHostModes.defaultMode},
                                                          {"cloudSurface", 1},
                                                          {"withGround", 1},
                                                          {"formation", 0},
                                                          {"numHARRIERStriangle", 16}}));
  // A second load only reads.
  const size_t writes = store.writes.size();
  EXPECT_TRUE(loadSettings(s, store));
  EXPECT_EQ(store.writes.size(), writes);
}

TEST(Settings, PartialStoreYieldsDefaultsForTheRest) {
  MemoryStore store = storedWith({{"mode", 2}});
  const Settings s = prepared(store);
  EXPECT_EQ(s.screenWidth, 1024);
  EXPECT_EQ(s.screenHeight, 768);
  EXPECT_EQ(s.numHarriers, 15);
  EXPECT_EQ(s.cloudPrimitive, 5);
  EXPECT_TRUE(store.writes.empty());  // running never writes to an existing store
}

TEST(Settings, UnknownModeKeepsTheSmallestScreen) {
  for (int32_t mode : {7, -1, 3, INT_MAX}) {
    MemoryStore store = storedWith({{"mode", mode}});
    const Settings s = prepared(store);
    EXPECT_EQ(s.screenWidth, 640) << mode;
    EXPECT_EQ(s.screenHeight, 480) << mode;
  }
}

TEST(Settings, GroundIsForcedOnForTheRunOnly) {
  MemoryStore store = storedWith({{"withGround", 0}});
  const Settings s = prepared(store);
  EXPECT_EQ(s.withGround, 1);
  EXPECT_EQ(store.values["withGround"], 0);
}

TEST(Settings, FormationsAddTheLeader) {
  {
    MemoryStore store =
        storedWith({{"formation", 1}, {"numHARRIERStriangle", 25}, {"numHarriers", 3}});
    EXPECT_EQ(prepared(store).numHarriers, 26);
  }
  {
    MemoryStore store = storedWith({{"formation", 2}, {"numHarriers", 30}});
    EXPECT_EQ(prepared(store).numHarriers, 31);
  }
}

TEST(Settings, RandomFormationDrawsOnceAndIsNotStored) {
  int triangles = 0;
  for (uint32_t seed = 0; seed < 200; ++seed) {
    MemoryStore store =
        storedWith({{"formation", 100}, {"numHarriers", 4}, {"numHARRIERStriangle", 9}});
    Settings s;
    Random random;
    random.state = seed;
    Random expected = random;
    prepareRunSettings(s, store, random, SettingsOverrides{}, kHostModes);
    const int draw = expected.next() % 2;
    EXPECT_EQ(random.state, expected.state);  // exactly one draw
    EXPECT_EQ(s.formation, draw);
    EXPECT_EQ(s.numHarriers, draw == 1 ? 10 : 4);
    EXPECT_EQ(store.values["formation"], 100);
    triangles += draw;
  }
  EXPECT_GT(triangles, 60);
  EXPECT_LT(triangles, 140);
}

TEST(Settings, AnyCloudValueOtherThanOneDrawsLines) {
  for (int32_t cloud : {0, 2, -1, 1000}) {
    MemoryStore store = storedWith({{"cloudSurface", cloud}});
    EXPECT_EQ(prepared(store).cloudPrimitive, kPrimitiveLineList) << cloud;
  }
}

// Counts that the dialog could not have produced must still leave a live count of 1 to 31, and
// at least 2 when a formation needs a leader and a follower.
TEST(Settings, HostileCountsAreBroughtIntoTheTable) {
  const int32_t counts[] = {0, -1, INT_MIN, 31, 32, INT_MAX, 1, 30};
  for (int32_t formation : {0, 1, 2, 100, 5, -7}) {
    for (int32_t count : counts) {
      for (int32_t triangle : counts) {
        MemoryStore store = storedWith(
            {{"formation", formation}, {"numHarriers", count}, {"numHARRIERStriangle", triangle}});
        const Settings s = prepared(store);
        const bool flock = s.formation == 1 || s.formation == 2;
        EXPECT_GE(s.numHarriers, flock ? 2 : 1) << formation << " " << count << " " << triangle;
        EXPECT_LE(s.numHarriers, kMaxHarriers) << formation << " " << count << " " << triangle;
      }
    }
  }
}

TEST(Settings, SaveWritesAllSixEvenToANewStore) {
  MemoryStore store;
  Settings s;
  s.numHarriers = 3;
  s.formation = 2;
  EXPECT_TRUE(saveSettings(s, store));
  EXPECT_EQ(store.writes.size(), 6u);
  EXPECT_EQ(store.values["numHarriers"], 3);
  EXPECT_EQ(store.values["formation"], 2);
  store.failStoring = true;
  EXPECT_FALSE(saveSettings(s, store));
}

TEST(Settings, OverridesComeAfterLoadingAndBeforeTheDerivation) {
  MemoryStore store = storedWith({{"formation", 0}, {"mode", 0}});
  SettingsOverrides overrides;
  int32_t value = 0;
  ASSERT_TRUE(parseOverrideValue(kFieldFormation, "triangle", value, kHostModes));
  overrides.values[kFieldFormation] = value;
  ASSERT_TRUE(parseOverrideValue(kFieldTriangle, "9", value, kHostModes));
  overrides.values[kFieldTriangle] = value;
  ASSERT_TRUE(parseOverrideValue(kFieldMode, "800x600", value, kHostModes));
  overrides.values[kFieldMode] = value;
  Settings s;
  Random random;
  prepareRunSettings(s, store, random, overrides, kHostModes);
  EXPECT_EQ(s.formation, 1);
  EXPECT_EQ(s.numHarriers, 10);
  EXPECT_EQ(s.screenWidth, 800);
  EXPECT_EQ(store.values["formation"], 0);  // never saved
  EXPECT_EQ(store.values.count("numHARRIERStriangle"), 0u);
}

TEST(Settings, OverrideValuesAreChecked) {
  int32_t v = 0;
  EXPECT_TRUE(parseOverrideValue(kFieldHarriers, "30", v, kHostModes));
  EXPECT_EQ(v, 30);
  EXPECT_FALSE(parseOverrideValue(kFieldHarriers, "31", v, kHostModes));
  EXPECT_FALSE(parseOverrideValue(kFieldHarriers, "0", v, kHostModes));
  EXPECT_FALSE(parseOverrideValue(kFieldHarriers, "", v, kHostModes));
  EXPECT_FALSE(parseOverrideValue(kFieldHarriers, "12abc", v, kHostModes));
  EXPECT_FALSE(parseOverrideValue(kFieldHarriers, "99999999999999999999", v, kHostModes));
  EXPECT_TRUE(parseOverrideValue(kFieldClouds, "wire", v, kHostModes));
  EXPECT_EQ(v, 0);
  EXPECT_FALSE(parseOverrideValue(kFieldClouds, "Wire", v, kHostModes));
  EXPECT_TRUE(parseOverrideValue(kFieldFormation, "random", v, kHostModes));
  EXPECT_EQ(v, 100);
  EXPECT_TRUE(parseOverrideValue(kFieldFormation, "line", v, kHostModes));
  EXPECT_EQ(v, 2);
  EXPECT_FALSE(parseOverrideValue(kFieldTriangle, "10", v, kHostModes));
  EXPECT_FALSE(parseOverrideValue(kFieldMode, "1280x1024", v, kHostModes));
}

// The Linux port's fourth resolution: the picture takes its window's size, whatever it is; a
// stored 3 without a window (or in the Windows build) is still the smallest screen.
TEST(Settings, ScreenModeFollowsTheWindow) {
  int32_t v = 0;
  Settings s;
  EXPECT_FALSE(parseOverrideValue(kFieldMode, "screen", v, kFixedModes));
  s.mode = kModeScreen;
  EXPECT_FALSE(drawsAtWindowSize(s, kFixedModes));
  ASSERT_TRUE(parseOverrideValue(kFieldMode, "screen", v, kWindowSizeModes));
  s.mode = v;
  EXPECT_TRUE(drawsAtWindowSize(s, kWindowSizeModes));
  const struct {
    int width, height, expectedWidth, expectedHeight;
  } sizes[] = {
      {3840, 2160, 3840, 2160}, {695, 390, 695, 390}, {0, -5, 1, 1}, {24000, 100, 8192, 100}};
  for (const auto& size : sizes) {
    followWindow(s, size.width, size.height);
    EXPECT_EQ(s.screenWidth, size.expectedWidth);
    EXPECT_EQ(s.screenHeight, size.expectedHeight);
  }
}

}  // namespace
}  // namespace tavrik
