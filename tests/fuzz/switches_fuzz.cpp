// The screen-saver switches read any command text: the mode is the first of the four groups, in
// table order, with a switch anywhere in the text, and the number after it fits a 32-bit handle.
// A lone switch argument always parses as its own mode, with no number (a colon ends it).
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "host/switches.h"

namespace tavrik {
namespace {

void check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "switches_fuzz: %s\n", what);
    std::abort();
  }
}

// The mode a switch letter stands for, or -1.
int letterMode(char c) {
  switch (c) {
    case 'c':
    case 'C':
      return static_cast<int>(SaverMode::Configure);
    case 'p':
    case 'P':
      return static_cast<int>(SaverMode::Preview);
    case 's':
    case 'S':
      return static_cast<int>(SaverMode::Run);
    case 'a':
    case 'A':
      return static_cast<int>(SaverMode::Password);
    default:
      return -1;
  }
}

// The earliest group in table order that has a switch anywhere in text, or -1.
int expectedMode(std::string_view text) {
  int best = -1;
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    const int mode = (text[i] == '-' || text[i] == '/') ? letterMode(text[i + 1]) : -1;
    if (mode >= 0 && (best < 0 || mode < best)) {
      best = mode;
    }
  }
  return best;
}

// Where the winning switch starts: its group's four spellings in table order, the first found.
size_t winningSwitch(std::string_view text, int mode) {
  const char letters[] = "cpsa";
  const char lower = letters[mode];
  const char upper = static_cast<char>(lower - 'a' + 'A');
  const std::string spellings[4] = {{'-', lower}, {'-', upper}, {'/', lower}, {'/', upper}};
  for (const std::string& spelling : spellings) {
    const size_t at = text.find(spelling);
    if (at != std::string_view::npos) {
      return at;
    }
  }
  return std::string_view::npos;
}

// The number after the switch as the C library reads it, when it does not overflow.
bool libraryNumber(std::string_view after, uint64_t& number) {
  const std::string text(after);
  errno = 0;
  const long long value = std::strtoll(text.c_str(), nullptr, 10);
  if (errno != 0) {
    return false;
  }
  number = static_cast<uint64_t>(value) & 0xFFFFFFFFu;
  return true;
}

}  // namespace
}  // namespace tavrik

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tavrik;
  // A copy of exactly the input's size, so a read past the text is caught.
  const std::unique_ptr<char[]> copy(new char[size == 0 ? 1 : size]);
  if (size > 0) {
    std::memcpy(copy.get(), data, size);
  }
  const std::string_view text(copy.get(), size);

  SaverMode mode = SaverMode::Password;
  uint64_t window = 99;
  const bool parsed = parseCommandLine(text, mode, window);
  check(window <= 0xFFFFFFFFu, "window number wider than 32 bits");
  if (text.empty()) {
    check(parsed && mode == SaverMode::Configure && window == 0, "empty text");
  } else {
    const int expected = expectedMode(text);
    check(parsed == (expected >= 0), "a switch found where none is, or missed");
    check(!parsed || static_cast<int>(mode) == expected, "not the first group in table order");
    check(parsed || window == 0, "a window number without a switch");
    uint64_t number = 0;
    if (parsed && libraryNumber(text.substr(winningSwitch(text, expected) + 2), number)) {
      check(window == number, "the number differs from the C library's reading");
    }
  }

  if (isSwitchArgument(text)) {
    check(text.size() >= 2 && letterMode(text[1]) >= 0, "not a switch");
    SaverMode alone = SaverMode::Password;
    uint64_t number = 99;
    check(parseCommandLine(text, alone, number), "a switch argument does not parse");
    check(static_cast<int>(alone) == letterMode(text[1]), "a switch argument's mode");
    check(number == 0, "a colon does not end the number");
  }
  return 0;
}
