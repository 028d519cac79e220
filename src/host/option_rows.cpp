#include "host/option_rows.h"

#include <charconv>

#include "config/quote.h"

namespace tavrik {

namespace {

// "--root" means "-root"; a lone "-" or a bare word stays as it is.
std::string_view optionName(std::string_view arg) {
  if (arg.size() > 2 && arg[0] == '-' && arg[1] == '-') {
    return arg.substr(2);
  }
  if (arg.size() > 1 && arg[0] == '-') {
    return arg.substr(1);
  }
  return {};
}

const char* nameOf(const OptionRule& rule) {
  return rule.field >= 0 ? kSharedSettingFields[static_cast<size_t>(rule.field)].option : rule.name;
}

bool parseUnsigned(std::string_view text, uint32_t& value) {
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return !text.empty() && ec == std::errc() && ptr == end;
}

bool bad(TakenOption& taken) {
  taken.error = badValue(taken.dashed, taken.value, taken.rule.range);
  return false;
}

// The label --help gives an option: "-geometry WxH+X+Y", "-help, --help", "--frames N".
std::string label(const OptionRule& rule, const char* dashes) {
  std::string text = dashes;
  text += nameOf(rule);
  if (rule.bothDashes) {
    text.append(", --").append(nameOf(rule));
  }
  if (rule.argument != nullptr) {
    text.append(" ").append(rule.argument);
  }
  return text;
}

}  // namespace

bool takeValue(TakenOption& taken, bool& flag) {
  if (!taken.worded) {
    flag = taken.rule.sets != 0;
    return true;
  }
  for (const SettingChoice& word : kFlagWords) {
    if (equalsIgnoringCase(taken.value, word.word)) {
      flag = (word.value != 0) == (taken.rule.sets != 0);
      return true;
    }
  }
  return bad(taken);
}

bool takeValue(TakenOption& taken, uint32_t& number) {
  uint32_t parsed = 0;
  if (!parseUnsigned(taken.value, parsed) || parsed < taken.rule.low || parsed > taken.rule.high) {
    return bad(taken);
  }
  number = parsed;
  return true;
}

bool takeValue(TakenOption& taken, std::optional<uint32_t>& number) {
  uint32_t parsed = 0;
  if (!takeValue(taken, parsed)) {
    return false;
  }
  number = parsed;
  return true;
}

bool takeValue(TakenOption& taken, std::string& text) {
  if (taken.rule.text == TextRule::NotEmpty && taken.value.empty()) {
    taken.error = taken.dashed + " needs a value";
    return false;
  }
  if (taken.rule.text == TextRule::Word && !isArgumentWord(taken.rule, taken.value)) {
    return bad(taken);
  }
  text = taken.value;
  return true;
}

bool namesOption(const OptionRule& rule, int argc, char** argv, int i) {
  const std::string_view arg = argv[i];
  const std::string_view name = optionName(arg);
  if (rule.exact) {
    return arg.size() > 2 && arg.substr(0, 2) == "--" && name == nameOf(rule) && i + 1 < argc;
  }
  return name == nameOf(rule) || (rule.alias != nullptr && name == rule.alias);
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) {
      return false;
    }
  }
  return true;
}

bool isArgumentWord(const OptionRule& rule, std::string_view value) {
  std::string_view words = rule.argument != nullptr ? rule.argument : "";
  while (!words.empty()) {
    const size_t bar = words.find('|');
    if (words.substr(0, bar) == value) {
      return true;
    }
    words = bar == std::string_view::npos ? std::string_view() : words.substr(bar + 1);
  }
  return false;
}

std::string dashedName(std::string_view arg) {
  return "--" + std::string(optionName(arg));
}

std::string unknownOption(std::string_view arg) {
  return "unknown option " + quotedValue(arg) + " (see --help)";
}

std::string badValue(const std::string& dashed, std::string_view value, const char* range) {
  std::string text = "bad value for " + dashed + ": " + quotedValue(value);
  if (range != nullptr) {
    text.append(" ").append(range);
  }
  return text;
}

void appendUsage(std::string& text, std::string& names, const OptionRule& rule,
                 const char* dashes) {
  constexpr size_t kHelpColumn = 24;
  names.append(names.empty() ? "  " : ", ").append(label(rule, dashes));
  if (rule.help == nullptr) {
    return;
  }
  // Names too long to leave two spaces before the help put the help on a line of its own.
  text += names;
  text += names.size() + 2 <= kHelpColumn ? std::string(kHelpColumn - names.size(), ' ')
                                          : "\n" + std::string(kHelpColumn, ' ');
  for (const char* c = rule.help; *c != '\0'; ++c) {
    text += *c;
    if (*c == '\n') {
      text.append(kHelpColumn, ' ');
    }
  }
  text += '\n';
  names.clear();
}

}  // namespace tavrik
