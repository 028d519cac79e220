// A value from the command line or the environment, made fit for a one-line message: in single
// quotes, with control characters, quotes and backslashes escaped and a long value cut short.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace tavrik {

inline std::string quotedValue(std::string_view text) {
  constexpr size_t kMaxShown = 200;
  std::string out = "'";
  for (size_t i = 0; i < text.size() && i < kMaxShown; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\'' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c == 0x7f) {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
      out += escaped;
    } else {
      out += static_cast<char>(c);
    }
  }
  out += text.size() > kMaxShown ? "'..." : "'";
  return out;
}

}  // namespace tavrik
