// The rows a command line is read from. A row names an option, the value it takes, the values
// it accepts and its lines of --help, and says where its value goes: a member of the program's
// options, whose type says how the value is read, or a tag that the program reads. One generic
// apply takes every row, so no option has parsing code of its own.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

#include "config/settings.h"

namespace tavrik {

// How text is taken into a text member.
enum class TextRule : uint8_t {
  Any,
  NotEmpty,  // else "--name needs a value"
  Word,      // one of the words of the argument ("soft|gl")
};

// What a row says besides where its value goes.
struct OptionRule {
  uint8_t group = 0;  // the group --help lists it in; each program numbers its own
  // The name without dashes (nullptr: the settings field's override); one dash or two mean the
  // same, except for an exact option, which is taken only as --name and only when its value
  // follows (else it is an unknown option).
  const char* name = nullptr;
  const char* alias = nullptr;     // another name that means the same, not listed by --help
  const char* argument = nullptr;  // the value it takes, as --help shows it; nullptr: none
  bool exact = false;
  bool bothDashes = false;  // --help lists it as "-name, --name"
  // A number's range, and what a bad value's message says of the values taken (nullptr: nothing;
  // a settings override's comes from its field).
  uint32_t low = 0;
  uint32_t high = 0;
  const char* range = nullptr;
  TextRule text = TextRule::Any;
  int32_t sets = 1;         // what an option without a value sets: a flag's value, a mode
  bool headless = false;    // it asks for a run without a window...
  bool withWindow = false;  // ...unless a window is named: that window's run then takes it
  bool resource = false;    // an X resource of its name sets it too
  int field = -1;           // a settings override's index in the settings table
  // The help lines after the names, '\n' between them; nullptr: on the next option's line.
  const char* help = nullptr;
};

// A row: the rule, and where the value goes (std::monostate: nowhere, the option is ignored).
template <class Target, class... Destinations>
struct OptionRow {
  OptionRule rule;
  std::variant<std::monostate, Destinations...> to = std::monostate{};
};

// The option being taken: its row's rule, its name as messages spell it ("--delay"), its value.
struct TakenOption {
  const OptionRule& rule;
  const std::string& dashed;
  std::string_view value;
  std::string& error;
  const DisplayModes& modes;
  bool worded = false;  // a flag given a word ("true", "off"), as a resource gives it
};

// The words a flag takes as a value ("true", "off", ...), in either case.
inline constexpr SettingChoice kFlagWords[] = {{"true", 1},  {"on", 1},  {"yes", 1}, {"1", 1},
                                               {"false", 0}, {"off", 0}, {"no", 0},  {"0", 0}};

// The readings of each type of destination; false with a one-line message in taken.error.
bool takeValue(TakenOption& taken, bool& flag);
bool takeValue(TakenOption& taken, uint32_t& number);
bool takeValue(TakenOption& taken, std::optional<uint32_t>& number);
bool takeValue(TakenOption& taken, std::string& text);

// The one apply: the row's value into its destination in target.
template <class Target, class... Destinations>
bool applyOption(const OptionRow<Target, Destinations...>& row, TakenOption& taken,
                 Target& target) {
  return std::visit(
      [&](auto to) {
        if constexpr (std::is_same_v<decltype(to), std::monostate>) {
          return true;
        } else if constexpr (std::is_member_object_pointer_v<decltype(to)>) {
          return takeValue(taken, target.*to);
        } else {
          return takeValue(taken, to, target);
        }
      },
      row.to);
}

// True when argv[i] names the option of rule.
bool namesOption(const OptionRule& rule, int argc, char** argv, int i);
// "--name" for an option spelled "-name" or "--name", as messages name it.
std::string dashedName(std::string_view arg);
// "unknown option '...' (see --help)".
std::string unknownOption(std::string_view arg);
// True when a and b differ at most in the case of ASCII letters.
bool equalsIgnoringCase(std::string_view a, std::string_view b);
// True when value is one of the words of the rule's argument ("soft|gl").
bool isArgumentWord(const OptionRule& rule, std::string_view value);
// "bad value for --delay: '7x' (...)", without a range when range is nullptr.
std::string badValue(const std::string& dashed, std::string_view value, const char* range);

// Takes argv[i] when one of rows names it, and its value (advancing i), into target. False with
// a one-line message in error when the value is missing or bad; taken is the row's rule, or
// nullptr when no row names argv[i].
template <class Rows, class Target>
bool takeOption(const Rows& rows, int argc, char** argv, int& i, Target& target, std::string& error,
                const DisplayModes& modes, const OptionRule*& taken) {
  taken = nullptr;
  for (const auto& row : rows) {
    if (!namesOption(row.rule, argc, argv, i)) {
      continue;
    }
    taken = &row.rule;
    const std::string dashed = dashedName(argv[i]);
    TakenOption option{row.rule, dashed, {}, error, modes};
    if (row.rule.argument != nullptr) {
      if (i + 1 >= argc) {
        error = dashed + " needs a value";
        return false;
      }
      option.value = argv[++i];
    }
    return applyOption(row, option, target);
  }
  return true;
}

// One group's lines of --help, each option's names after dashes ("-" or "--").
void appendUsage(std::string& text, std::string& names, const OptionRule& rule, const char* dashes);
template <class Rows>
std::string optionUsage(const Rows& rows, uint8_t group, const char* dashes) {
  std::string text;
  std::string names;
  for (const auto& row : rows) {
    if (row.rule.group == group) {
      appendUsage(text, names, row.rule, dashes);
    }
  }
  return text;
}

}  // namespace tavrik
