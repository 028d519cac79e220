#include "host/switches.h"

#include <array>

namespace tavrik {

namespace {

struct SwitchEntry {
  const char* text;
  SaverMode mode;
};

constexpr std::array<SwitchEntry, 16> kSwitchTable = {{
    {"-c", SaverMode::Configure},
    {"-C", SaverMode::Configure},
    {"/c", SaverMode::Configure},
    {"/C", SaverMode::Configure},
    {"-p", SaverMode::Preview},
    {"-P", SaverMode::Preview},
    {"/p", SaverMode::Preview},
    {"/P", SaverMode::Preview},
    {"-s", SaverMode::Run},
    {"-S", SaverMode::Run},
    {"/s", SaverMode::Run},
    {"/S", SaverMode::Run},
    {"-a", SaverMode::Password},
    {"-A", SaverMode::Password},
    {"/a", SaverMode::Password},
    {"/A", SaverMode::Password},
}};

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// The C library's atol over a string_view, kept to the 32 bits of a window handle; a number too
// long for 64 bits keeps the leading digits that fit instead of overflowing.
uint64_t windowNumber(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && isBlank(text[i])) {
    ++i;
  }
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  const uint64_t limit = negative ? uint64_t{1} << 63 : (uint64_t{1} << 63) - 1;
  uint64_t value = 0;
  bool full = false;
  for (; i < text.size() && isDigit(text[i]); ++i) {
    const uint64_t digit = static_cast<uint64_t>(text[i] - '0');
    full = full || value > (limit - digit) / 10;
    if (!full) {
      value = value * 10 + digit;
    }
  }
  if (negative) {
    value = ~value + 1;
  }
  return value & 0xFFFFFFFFu;
}

}  // namespace

bool parseCommandLine(std::string_view commandText, SaverMode& mode, uint64_t& parentWindow) {
  parentWindow = 0;
  if (commandText.empty()) {
    mode = SaverMode::Configure;
    return true;
  }
  for (const SwitchEntry& entry : kSwitchTable) {
    const size_t at = commandText.find(entry.text);
    if (at != std::string_view::npos) {
      mode = entry.mode;
      parentWindow = windowNumber(commandText.substr(at + 2));
      return true;
    }
  }
  return false;
}

bool isSwitchArgument(std::string_view text) {
  if (text.size() < 2) {
    return false;
  }
  bool known = false;
  for (const SwitchEntry& entry : kSwitchTable) {
    known = known || text.substr(0, 2) == entry.text;
  }
  if (!known) {
    return false;
  }
  if (text.size() == 2) {
    return true;
  }
  if (text[2] != ':' || text.size() == 3) {
    return false;
  }
  for (size_t i = 3; i < text.size(); ++i) {
    if (!isDigit(text[i])) {
      return false;
    }
  }
  return true;
}

}  // namespace tavrik
