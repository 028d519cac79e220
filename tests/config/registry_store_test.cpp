#include "config/registry_store.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "config/settings.h"
#include "support/host_modes.h"

namespace tavrik {
namespace {

// Each test works on a scratch key of its own under HKEY_CURRENT_USER.
class RegistryStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    key_ = std::string("Software\\TavrikTest\\") +
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
    RegDeleteTreeA(HKEY_CURRENT_USER, key_.c_str());
  }
  void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\TavrikTest"); }

  void put(const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
  }
  // The stored value and its type; type 0 when missing.
  DWORD get(const char* name, DWORD& type) {
    DWORD value = 0;
    DWORD size = sizeof value;
    type = 0;
    RegGetValueA(HKEY_CURRENT_USER, key_.c_str(), name, RRF_RT_ANY, &type, &value, &size);
    return value;
  }

  // What a run loads from the key.
  Settings load() {
    RegistrySettingsStore store(key_.c_str());
    Settings settings(kHostModes);
    loadSettings(settings, store);
    return settings;
  }

  std::string key_;
};

TEST_F(RegistryStoreTest, ANewKeyReceivesTheDefaultsAsDwords) {
  RegistrySettingsStore store(key_.c_str());
  Settings settings(kHostModes);
  EXPECT_TRUE(loadSettings(settings, store));
  const DWORD expected[] = {15, 0, 1, 1, 0, 16};
  for (size_t i = 0; i < kHostSettingFields.size(); ++i) {
    DWORD type = 0;
    EXPECT_EQ(get(kHostSettingFields[i].name, type), expected[i]) << kHostSettingFields[i].name;
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD)) << kHostSettingFields[i].name;
  }
}

TEST_F(RegistryStoreTest, AnExistingKeySuppliesWhatItHoldsAndNothingElse) {
  const DWORD mode = 2;
  put("mode", REG_DWORD, &mode, 4);
  const Settings settings = load();
  EXPECT_EQ(settings.mode, 2);
  EXPECT_EQ(settings.numHarriers, 15);
  DWORD type = 0;
  get("numHarriers", type);
  EXPECT_EQ(type, 0u) << "loading an existing key wrote a default into it";
}

TEST_F(RegistryStoreTest, ValuesOfAnotherTypeOrSizeCountAsMissing) {
  const char text[] = "25";
  const uint64_t wide = 20;
  const DWORD big = 0xFFFFFFFFu;
  put("numHarriers", REG_SZ, text, sizeof text);
  put("formation", REG_QWORD, &wide, sizeof wide);
  put("cloudSurface", REG_BINARY, &big, 2);
  put("mode", REG_DWORD, &big, 4);
  const Settings settings = load();
  EXPECT_EQ(settings.numHarriers, 15);
  EXPECT_EQ(settings.formation, 0);
  EXPECT_EQ(settings.cloudSurface, 1);
  EXPECT_EQ(settings.mode, -1);  // a REG_DWORD is taken as it is; the run start copes with it
}

TEST_F(RegistryStoreTest, SaveWritesAllSixAndReportsSuccess) {
  RegistrySettingsStore store(key_.c_str());
  Settings settings;
  settings.numHarriers = 30;
  settings.formation = 2;
  settings.withGround = 0;
  EXPECT_TRUE(saveSettings(settings, store));
  DWORD type = 0;
  EXPECT_EQ(get("numHarriers", type), 30u);
  EXPECT_EQ(get("formation", type), 2u);
  EXPECT_EQ(get("withGround", type), 0u);
  EXPECT_EQ(get("numHARRIERStriangle", type), 16u);
}

TEST_F(RegistryStoreTest, AKeyThatCannotBeOpenedKeepsTheDefaultsAndFailsTheSave) {
  // A key name longer than the registry allows can be neither opened nor created.
  const std::string tooLong = key_ + "\\" + std::string(300, 'x');
  RegistrySettingsStore store(tooLong.c_str());
  Settings settings;
  settings.numHarriers = 7;
  EXPECT_TRUE(loadSettings(settings, store));
  EXPECT_EQ(settings.numHarriers, 7);
  EXPECT_FALSE(saveSettings(settings, store));
}

}  // namespace
}  // namespace tavrik
