#include "config/file_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace tavrik {

namespace {

// Far more than six lines need; a larger file is read only this far.
constexpr size_t kMaxFileBytes = 64 * 1024;

int fieldIndex(std::string_view name) {
  for (size_t i = 0; i < kSharedSettingFields.size(); ++i) {
    if (name == kSharedSettingFields[i].name) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r')) {
    s.remove_prefix(1);
  }
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
    s.remove_suffix(1);
  }
  return s;
}

// A decimal 32-bit value; the registry holds raw bits, so values up to 2^32 - 1 written by
// hand read back as the same bits.
bool parseValue(std::string_view text, int32_t& value) {
  if (text.empty()) {
    return false;
  }
  const char* end = text.data() + text.size();
  int64_t parsed = 0;
  const auto [ptr, ec] = std::from_chars(text.data(), end, parsed);
  if (ec != std::errc() || ptr != end || parsed < INT32_MIN || parsed > int64_t{UINT32_MAX}) {
    return false;
  }
  value = static_cast<int32_t>(static_cast<uint32_t>(parsed));
  return true;
}

bool makeDirectories(const std::string& path) {
  for (size_t slash = path.find('/', 1); slash != std::string::npos;
       slash = path.find('/', slash + 1)) {
    const std::string dir = path.substr(0, slash);
    if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) {
      return false;
    }
  }
  return true;
}

bool writeAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) {
        continue;
      }
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// Follows the symbolic links at the end of path, so a file that a dotfile manager links into the
// config folder is read and saved in place and the links stay. A loop stops after 40 links; the
// path then still names a link, which is neither read nor replaced.
std::string linkTarget(const std::string& path) {
  std::string current = path;
  for (int links = 0; links < 40; ++links) {
    char target[4096];
    const ssize_t n = readlink(current.c_str(), target, sizeof target);
    if (n <= 0 || static_cast<size_t>(n) >= sizeof target) {
      break;
    }
    if (target[0] == '/') {
      current.assign(target, static_cast<size_t>(n));
    } else {
      current.erase(current.rfind('/') + 1);
      current.append(target, static_cast<size_t>(n));
    }
  }
  return current;
}

}  // namespace

std::string defaultSettingsPath() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && config[0] == '/') {
    return std::string(config) + "/tavrik/settings";
  }
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') {
    return std::string(home) + "/.config/tavrik/settings";
  }
  return {};
}

void FileSettingsStore::open(bool& created) {
  for (Entry& entry : entries_) {
    entry = Entry{};
  }
  dirty_ = false;
  created = false;
  if (path_.empty()) {
    return;
  }
  // Non-blocking, so a FIFO or a device in the file's place is opened and then refused at once.
  const std::string target = linkTarget(path_);
  const int fd = ::open(target.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (fd < 0) {
    // Only a file that is not there yet counts as new; one we may not read is left alone.
    created = errno == ENOENT;
    return;
  }
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return;
  }
  std::string text(kMaxFileBytes, '\0');
  size_t size = 0;
  while (size < text.size()) {
    const ssize_t n = read(fd, text.data() + size, text.size() - size);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      break;
    }
    size += static_cast<size_t>(n);
  }
  ::close(fd);
  text.resize(size);

  // The last readable line for a name wins, as when a line is appended by hand.
  std::string_view rest(text);
  while (!rest.empty()) {
    const size_t newline = rest.find('\n');
    const std::string_view line = rest.substr(0, newline);
    rest = newline == std::string_view::npos ? std::string_view() : rest.substr(newline + 1);
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      continue;
    }
    const int index = fieldIndex(trim(line.substr(0, equals)));
    int32_t value = 0;
    if (index >= 0 && parseValue(trim(line.substr(equals + 1)), value)) {
      entries_[index].present = true;
      entries_[index].value = value;
    }
  }
}

bool FileSettingsStore::readValue(const char* name, int32_t& value) {
  const int index = fieldIndex(name);
  if (index < 0 || !entries_[index].present) {
    return false;
  }
  value = entries_[index].value;
  return true;
}

void FileSettingsStore::writeValue(const char* name, int32_t value) {
  const int index = fieldIndex(name);
  if (index < 0) {
    return;
  }
  entries_[index].present = true;
  entries_[index].value = value;
  dirty_ = true;
}

bool FileSettingsStore::close() {
  if (!dirty_) {
    return true;
  }
  dirty_ = false;
  if (path_.empty()) {
    return false;
  }
  // Only a regular file is replaced. A link's target is written only where its folder exists:
  // the folders of our own path we make, someone else's we don't.
  const std::string target = linkTarget(path_);
  struct stat info {};
  if (lstat(target.c_str(), &info) == 0) {
    if (!S_ISREG(info.st_mode)) {
      return false;
    }
  } else if (errno != ENOENT || (target == path_ && !makeDirectories(path_))) {
    return false;
  }
  std::string text;
  for (size_t i = 0; i < kSharedSettingFields.size(); ++i) {
    if (entries_[i].present) {
      text += kSharedSettingFields[i].name;
      text += '=';
      text += std::to_string(entries_[i].value);
      text += '\n';
    }
  }
  // Written beside the file and renamed over it, so a reader never sees half a file.
  const std::string temp = target + ".tmp." + std::to_string(getpid());
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) {
    return false;
  }
  const bool written = writeAll(fd, text.data(), text.size()) && fsync(fd) == 0;
  const bool closed = ::close(fd) == 0;
  if (!written || !closed || std::rename(temp.c_str(), target.c_str()) != 0) {
    std::remove(temp.c_str());
    return false;
  }
  return true;
}

}  // namespace tavrik
