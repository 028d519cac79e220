#include "host/linux/cli/xscreensaver_programs.h"

#include <gtest/gtest.h>

#include <string>

namespace tavrik {
namespace {

// The programs list as XScreenSaver's settings dialog writes it: tabs, a disabled entry, a GL
// entry, the last entry's closing "\n\n".
constexpr const char* kWritten =
    "# XScreenSaver Preferences File\n"
    "mode:\t\trandom\n"
    "programs:\t\t\t\t\t\t\t\t      \\\n"
    "\t\t\t\tmaze -root\t\t\t\t    \\n\\\n"
    "-\t\t\t\tqix -root -solid\t\t\t    \\n\\\n"
    "  GL: \t\t\t\tgears -root\t\t\t\t    \\n\\n\n"
    "\n"
    "pointerHysteresis:\t10\n";

TEST(XScreenSaverPrograms, AddsOneLineAndKeepsEveryOtherByte) {
  const std::string before = kWritten;
  const std::string after = withProgramsEntry(before, "tavrik");
  const size_t list = before.find("\\\n") + 2;
  EXPECT_EQ(after,
            before.substr(0, list) + "  \"TAVRIK\"  tavrik --root \\n\\\n" + before.substr(list));
  EXPECT_TRUE(programsRunHack(after));
  EXPECT_EQ(withProgramsEntry(after, "tavrik"), after);
}

TEST(XScreenSaverPrograms, FindsTheHackHoweverItIsListed) {
  struct Case {
    const char* text;
    bool runs;
  };
  const Case cases[] = {
      {"programs: \\\n  \"TAVRIK\"  tavrik --root \\n\\\n  maze -root \\n\n", true},
      {"programs: \\\n-\t\"TAVRIK\"  tavrik --root \\n\n", true},  // turned off: kept off
      {"programs: /opt/t/libexec/xscreensaver/tavrik --root\n", true},
      {"programs: \\\n  GL:  tavrik -root \\n\n", true},
      {"programs: \\\n  tavrik-settings \\n\\\n  mytavrik -root \\n\n", false},
      {"programs: maze -root\n# tavrik --root\n", false},  // a comment after the list
      {"mode: one\n", false},
      {"", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(programsRunHack(c.text), c.runs) << c.text;
  }
}

TEST(XScreenSaverPrograms, MakesOrContinuesAListThatIsMissingOrOnOneLine) {
  struct Case {
    const char* before;
    const char* after;
  };
  const Case cases[] = {
      {"", "programs:\t\\\n  \"TAVRIK\"  tavrik --root \\n\n"},
      {"mode: one", "mode: one\nprograms:\t\\\n  \"TAVRIK\"  tavrik --root \\n\n"},
      {"programs: maze -root\nlock: False\n",
       "programs:\t\\\n  \"TAVRIK\"  tavrik --root \\n\\\n  maze -root\nlock: False\n"},
      {"programs:\n", "programs:\t\\\n  \"TAVRIK\"  tavrik --root \\n\n"},
      {"programs: qix -root\r\n",
       "programs:\t\\\n  \"TAVRIK\"  tavrik --root \\n\\\n  qix -root\r\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(withProgramsEntry(c.before, "tavrik"), c.after) << c.before;
    EXPECT_TRUE(programsRunHack(c.after)) << c.after;
  }
}

}  // namespace
}  // namespace tavrik
