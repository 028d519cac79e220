#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "config/file_store.h"
#include "config/settings.h"
#include "support/host_modes.h"
#include "support/persisted_values.h"

namespace tavrik {
namespace {

namespace fs = std::filesystem;

class FileStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tavrik-store-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    path_ = dir_ + "/tavrik/settings";
  }
  void TearDown() override {
    std::error_code ec;
    fs::permissions(dir_, fs::perms::owner_all, ec);
    fs::remove_all(dir_, ec);
  }

  void writeFile(const std::string& text) {
    fs::create_directories(fs::path(path_).parent_path());
    std::ofstream(path_, std::ios::binary) << text;
  }
  std::string readFile() const {
    std::ifstream in(path_, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  Settings load() {
    Settings s(kHostModes);
    FileSettingsStore store(path_);
    loadSettings(s, store);
    return s;
  }

  std::string dir_;
  std::string path_;
};

TEST_F(FileStoreTest, FirstLoadCreatesTheFileWithTheDefaults) {
  const Settings s = load();
  EXPECT_EQ(s.numHarriers, 15);
  EXPECT_EQ(readFile(), "numHarriers=15\nmode=" + std::to_string(kHostModes.defaultMode) +
                            "\ncloudSurface=1\nwithGround=1\nformation=0\n"
                            "numHARRIERStriangle=16\n");
  struct stat info {};
  ASSERT_EQ(stat(path_.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(FileStoreTest, SaveAndLoadRoundTrip) {
  Settings s;
  s.numHarriers = 30;
  s.mode = 2;
  s.cloudSurface = 0;
  s.withGround = 0;
  s.formation = 100;
  s.numHARRIERStriangle = 25;
  FileSettingsStore store(path_);
  ASSERT_TRUE(saveSettings(s, store));
  const Settings back = load();
  EXPECT_EQ(testing::persistedValues(back), (testing::PersistedValues{30, 2, 0, 0, 100, 25}));
  // No temporary file is left beside it.
  int files = 0;
  for (const auto& entry : fs::directory_iterator(fs::path(path_).parent_path())) {
    (void)entry;
    ++files;
  }
  EXPECT_EQ(files, 1);
}

TEST_F(FileStoreTest, ExtremeValuesRoundTrip) {
  Settings s;
  s.numHarriers = INT32_MIN;
  s.mode = INT32_MAX;
  FileSettingsStore store(path_);
  ASSERT_TRUE(saveSettings(s, store));
  const Settings back = load();
  EXPECT_EQ(back.numHarriers, INT32_MIN);
  EXPECT_EQ(back.mode, INT32_MAX);
}

TEST_F(FileStoreTest, JunkLinesAreSkippedAndGoodOnesKept) {
  writeFile(
      "# comment\n"
      "garbage without equals\n"
      "numHarriers = 7 \r\n"
      "mode=abc\n"
      "cloudSurface=\n"
      "formation=99999999999\n"
      "numHARRIERStriangle=9x\n"
      "unknownName=5\n"
      "=3\n"
      "withGround=4294967295\n");
  const Settings s = load();
  EXPECT_EQ(s.numHarriers, 7);
  EXPECT_EQ(s.mode, kHostModes.defaultMode);
  EXPECT_EQ(s.cloudSurface, 1);
  EXPECT_EQ(s.formation, 0);
  EXPECT_EQ(s.numHARRIERStriangle, 16);
  EXPECT_EQ(s.withGround, -1);  // the raw 32 bits, as the registry would hold them
  // Loading an existing file never rewrites it.
  EXPECT_NE(readFile().find("garbage"), std::string::npos);
}

TEST_F(FileStoreTest, DuplicateLinesTakeTheLastReadableOne) {
  writeFile("numHarriers=3\nnumHarriers=4\nnumHarriers=x\n");
  EXPECT_EQ(load().numHarriers, 4);
}

TEST_F(FileStoreTest, BinaryBytesAndAnEmptyFileGiveDefaults) {
  std::string junk;
  for (int i = 0; i < 4096; ++i) {
    junk += static_cast<char>((i * 37 + 11) & 0xFF);
  }
  junk += std::string("\0\nmode=2\n", 9);
  writeFile(junk);
  const Settings s = load();
  EXPECT_EQ(s.numHarriers, 15);
  EXPECT_EQ(s.mode, 2);  // a good line after binary bytes still counts
  writeFile("");
  EXPECT_EQ(load().numHarriers, 15);
}

TEST_F(FileStoreTest, AHugeFileIsReadOnlyInPart) {
  std::string big(1 << 20, 'x');
  big += "\nnumHarriers=3\n";
  writeFile(big);
  EXPECT_EQ(load().numHarriers, 15);
}

TEST_F(FileStoreTest, ADirectoryInPlaceOfTheFileGivesDefaultsAndIsLeftAlone) {
  fs::create_directories(path_);
  const Settings s = load();
  EXPECT_EQ(s.numHarriers, 15);
  EXPECT_TRUE(fs::is_directory(path_));
  Settings changed;
  changed.numHarriers = 5;
  FileSettingsStore store(path_);
  EXPECT_FALSE(saveSettings(changed, store));
  EXPECT_TRUE(fs::is_directory(path_));
}

TEST_F(FileStoreTest, UnreadableFileGivesDefaultsAndIsNotOverwritten) {
  if (geteuid() == 0) {
    GTEST_SKIP() << "root reads every file";
  }
  writeFile("numHarriers=3\n");
  fs::permissions(path_, fs::perms::none);
  EXPECT_EQ(load().numHarriers, 15);
  fs::permissions(path_, fs::perms::owner_read);
  EXPECT_EQ(load().numHarriers, 3);
}

TEST_F(FileStoreTest, ANamedPipeInPlaceOfTheFileDoesNotBlock) {
  fs::create_directories(fs::path(path_).parent_path());
  ASSERT_EQ(mkfifo(path_.c_str(), 0600), 0);
  EXPECT_EQ(load().numHarriers, 15);
  EXPECT_TRUE(fs::is_fifo(path_));
}

TEST_F(FileStoreTest, AFolderThatCannotBeCreatedFailsTheSaveNotTheRun) {
  // A regular file where the folder should be: nothing can be created below it.
  std::ofstream(dir_ + "/tavrik") << "not a folder";
  const Settings s = load();
  EXPECT_EQ(s.numHarriers, 15);
  FileSettingsStore store(path_);
  EXPECT_FALSE(saveSettings(s, store));
}

TEST_F(FileStoreTest, AFailedSaveKeepsTheOldFile) {
  writeFile("numHarriers=3\n");
  const std::string before = readFile();
  // A folder in the way of the temporary file makes the write fail.
  fs::create_directories(path_ + ".tmp." + std::to_string(getpid()));
  Settings s;
  s.numHarriers = 9;
  FileSettingsStore store(path_);
  EXPECT_FALSE(saveSettings(s, store));
  EXPECT_EQ(readFile(), before);
}

// Dotfile managers link the settings file in from elsewhere: it is read and saved through the
// link, which stays.
TEST_F(FileStoreTest, ALinkedFileIsReadAndSavedInPlace) {
  fs::create_directories(dir_ + "/dotfiles");
  std::ofstream(dir_ + "/dotfiles/settings") << "numHarriers=3\n";
  fs::create_directories(fs::path(path_).parent_path());
  fs::create_symlink("../dotfiles/settings", path_);
  Settings s = load();
  EXPECT_EQ(s.numHarriers, 3);
  s.numHarriers = 9;
  FileSettingsStore store(path_);
  EXPECT_TRUE(saveSettings(s, store));
  EXPECT_EQ(fs::read_symlink(path_), "../dotfiles/settings");
  EXPECT_EQ(load().numHarriers, 9);
  EXPECT_EQ(fs::file_size(dir_ + "/dotfiles/settings"), readFile().size());
}

// A link to anything but a regular file (a device, a pipe, a loop) gives the defaults at once and
// is never replaced: the save fails instead.
TEST_F(FileStoreTest, ALinkToSomethingElseGivesDefaultsAndStays) {
  fs::create_directories(fs::path(path_).parent_path());
  const std::string fifo = dir_ + "/fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  fs::create_symlink(dir_ + "/loop-b", dir_ + "/loop-a");
  fs::create_symlink(dir_ + "/loop-a", dir_ + "/loop-b");
  const std::string targets[] = {"/dev/zero", fifo, dir_ + "/loop-a"};
  for (const std::string& target : targets) {
    fs::remove(path_);
    fs::create_symlink(target, path_);
    Settings s = load();
    EXPECT_EQ(s.numHarriers, 15) << target;
    s.numHarriers = 9;
    FileSettingsStore store(path_);
    EXPECT_FALSE(saveSettings(s, store)) << target;
    EXPECT_EQ(fs::read_symlink(path_), target);
  }
  EXPECT_TRUE(fs::is_fifo(fifo));
}

// A dangling link reads as a new file; its target is written only where its folder exists.
TEST_F(FileStoreTest, ADanglingLinkIsWrittenOnlyIntoAnExistingFolder) {
  fs::create_directories(fs::path(path_).parent_path());
  fs::create_directories(dir_ + "/dotfiles");
  fs::create_symlink(dir_ + "/dotfiles/settings", path_);
  EXPECT_EQ(load().numHarriers, 15);
  EXPECT_TRUE(fs::is_symlink(path_));
  EXPECT_TRUE(fs::is_regular_file(dir_ + "/dotfiles/settings"));

  fs::remove(path_);
  fs::create_symlink(dir_ + "/gone/settings", path_);
  Settings s = load();
  s.numHarriers = 9;
  FileSettingsStore store(path_);
  EXPECT_FALSE(saveSettings(s, store));
  EXPECT_FALSE(fs::exists(dir_ + "/gone"));
  EXPECT_TRUE(fs::is_symlink(path_));
}

TEST(FileStorePath, FollowsTheXdgConfigFolderThenHome) {
  const char* oldConfig = std::getenv("XDG_CONFIG_HOME");
  const char* oldHome = std::getenv("HOME");
  const std::string savedConfig = oldConfig ? oldConfig : "";
  const std::string savedHome = oldHome ? oldHome : "";

  setenv("XDG_CONFIG_HOME", "/cfg", 1);
  EXPECT_EQ(defaultSettingsPath(), "/cfg/tavrik/settings");
  setenv("XDG_CONFIG_HOME", "relative", 1);  // not absolute: ignored
  setenv("HOME", "/home/u", 1);
  EXPECT_EQ(defaultSettingsPath(), "/home/u/.config/tavrik/settings");
  unsetenv("XDG_CONFIG_HOME");
  unsetenv("HOME");
  EXPECT_EQ(defaultSettingsPath(), "");

  // With no path at all the store still works: defaults, nothing saved.
  Settings s;
  FileSettingsStore store(defaultSettingsPath());
  loadSettings(s, store);
  EXPECT_EQ(s.numHarriers, 15);

  oldConfig ? setenv("XDG_CONFIG_HOME", savedConfig.c_str(), 1) : unsetenv("XDG_CONFIG_HOME");
  oldHome ? setenv("HOME", savedHome.c_str(), 1) : unsetenv("HOME");
}

}  // namespace
}  // namespace tavrik
