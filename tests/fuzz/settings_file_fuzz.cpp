// The per-user settings file holds whatever bytes it holds: reading it must give each value the
// file supplies and the default for every other, never write to the file, and leave a run that
// starts from it within its tables.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "config/file_store.h"
#include "config/settings.h"
#include "device/null_device.h"
#include "host/run.h"
#include "host/timers.h"
#include "support/host_modes.h"

namespace tavrik {
namespace {

// libFuzzer hands each input to a plain function, so the one file of this process is known at
// file scope: made at start-up, rewritten for every input, removed at exit.
std::string gPath;

void check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "settings_file_fuzz: %s\n", what);
    std::abort();
  }
}

void removeFile() {
  unlink(gPath.c_str());
}

// Overwritten and then cut to size: on ext4 a file cut to nothing and written again is flushed
// at close, which would make the disk, not the reader, the cost of each input.
void writeFile(const uint8_t* data, size_t size) {
  const int fd = ::open(gPath.c_str(), O_WRONLY | O_CLOEXEC);
  check(fd >= 0, "cannot open the scratch file");
  size_t done = 0;
  while (done < size) {
    const ssize_t n = pwrite(fd, data + done, size - done, static_cast<off_t>(done));
    check(n > 0, "cannot write the scratch file");
    done += static_cast<size_t>(n);
  }
  check(ftruncate(fd, static_cast<off_t>(size)) == 0, "cannot cut the scratch file");
  check(::close(fd) == 0, "cannot close the scratch file");
}

off_t fileSize() {
  struct stat info {};
  check(stat(gPath.c_str(), &info) == 0, "the scratch file is gone");
  return info.st_size;
}

// The whole run with no picture: set-up and a few frames, with the values derived from the file.
void runFrom(SettingsStore& store, uint32_t seed) {
  const auto run = std::make_unique<Run>();
  prepareRun(*run, store, seed, SettingsOverrides{}, kHostModes);
  const Settings& s = run->settings;
  check(s.numHarriers >= 1 && s.numHarriers <= kMaxHarriers, "live harrier count out of range");
  check(s.withGround == 1, "ground not forced on");
  check(s.formation != kFormationRandom, "random formation not resolved");
  check(s.cloudPrimitive == kPrimitiveTriangleStrip || s.cloudPrimitive == kPrimitiveLineList,
        "cloud primitive");
  NullDevice device;
  SteppedTimer timer(60000, 40);
  check(startRun(*run, device, timer), "the run did not start on the null device");
  for (int frame = 0; frame < 3; ++frame) {
    runFrame(*run, device, timer);
  }
  endRun(device);
}

}  // namespace
}  // namespace tavrik

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* dir = std::getenv("TMPDIR");
  std::string path =
      std::string(dir != nullptr && dir[0] == '/' ? dir : "/tmp") + "/tavrik-settings-fuzz-XXXXXX";
  const int fd = mkstemp(path.data());
  if (fd < 0) {
    std::perror("settings_file_fuzz: mkstemp");
    std::exit(1);
  }
  ::close(fd);
  tavrik::gPath = path;
  std::atexit(tavrik::removeFile);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tavrik;
  writeFile(data, size);

  FileSettingsStore store(gPath);
  bool created = true;
  store.open(created);
  check(!created, "an existing file counted as new");
  int32_t values[kSettingFieldCount];
  for (size_t i = 0; i < kHostSettingFields.size(); ++i) {
    values[i] = kHostSettingFields[i].defaultValue;
    store.readValue(kHostSettingFields[i].name, values[i]);
  }
  int32_t other = 7;
  check(!store.readValue("withGroundx", other) && other == 7, "a name outside the table read");
  check(store.close(), "closing after reading failed");

  Settings settings(kHostModes);
  check(loadSettings(settings, store), "loading an existing file failed");
  for (size_t i = 0; i < kHostSettingFields.size(); ++i) {
    check(settings.*kHostSettingFields[i].member == values[i], "loading differs from reading");
  }
  check(fileSize() == static_cast<off_t>(size), "reading changed the file");

  uint32_t seed = 0;
  for (size_t i = 0; i < size; ++i) {
    seed = seed * 31 + data[i];
  }
  runFrom(store, seed);
  return 0;
}
