#include "host/switches.h"

#include <gtest/gtest.h>

namespace tavrik {
namespace {

struct Parsed {
  bool ok;
  SaverMode mode;
  uint64_t window;
};

Parsed parseText(std::string_view text) {
  Parsed p{false, SaverMode::Run, 99};
  p.ok = parseCommandLine(text, p.mode, p.window);
  return p;
}

TEST(SwitchText, EmptyTextConfiguresWithoutOwner) {
  const Parsed p = parseText("");
  EXPECT_TRUE(p.ok);
  EXPECT_EQ(p.mode, SaverMode::Configure);
  EXPECT_EQ(p.window, 0u);
}

TEST(SwitchText, WindowNumberFollowsTheSwitch) {
  EXPECT_EQ(parseText("/p 1234").window, 1234u);
  EXPECT_EQ(parseText("/p 1234").mode, SaverMode::Preview);
  EXPECT_EQ(parseText("/c 1234").window, 1234u);
  EXPECT_EQ(parseText("-p\t  5678").window, 5678u);
  EXPECT_EQ(parseText("/p 12ab").window, 12u);
}

TEST(SwitchText, ColonEndsTheNumber) {
  const Parsed p = parseText("/c:1234");
  EXPECT_TRUE(p.ok);
  EXPECT_EQ(p.mode, SaverMode::Configure);
  EXPECT_EQ(p.window, 0u);
}

TEST(SwitchText, TableOrderWinsOverTextOrder) {
  EXPECT_EQ(parseText("/s /c").mode, SaverMode::Configure);
  EXPECT_EQ(parseText("/S -c").mode, SaverMode::Configure);
  EXPECT_EQ(parseText("/p /s").mode, SaverMode::Preview);
  EXPECT_EQ(parseText("/a /s").mode, SaverMode::Run);
  EXPECT_EQ(parseText("/A").mode, SaverMode::Password);
}

TEST(SwitchText, NumberAfterTheWinningSwitch) {
  // /c wins; the digits after it are the window, not those after /s.
  EXPECT_EQ(parseText("/s 5 /c 7").window, 7u);
}

TEST(SwitchText, RunDigitsAreParsedAndIgnored) {
  const Parsed p = parseText("-S 42");
  EXPECT_EQ(p.mode, SaverMode::Run);
  EXPECT_EQ(p.window, 42u);
}

TEST(SwitchText, NoSwitchIsNoMode) {
  EXPECT_FALSE(parseText("/x").ok);
  EXPECT_FALSE(parseText("hello").ok);
  EXPECT_FALSE(parseText("-x -y").ok);
}

TEST(SwitchText, SignsAndHugeNumbersStayWithinAHandle) {
  EXPECT_EQ(parseText("/p +15").window, 15u);
  EXPECT_EQ(parseText("/p -1").window, 0xFFFFFFFFu);
  EXPECT_EQ(parseText("/p 99999999999999999999999999").window,
            parseText("/p 99999999999999999999999999").window);
  EXPECT_LE(parseText("/p 99999999999999999999999999").window, 0xFFFFFFFFu);
}

TEST(SwitchText, EveryNumberThatFits64BitsIsReadWhole) {
  EXPECT_EQ(parseText("/p 07766279631452241920P99").window, 7766279631452241920u & 0xFFFFFFFFu);
  EXPECT_EQ(parseText("/p 9223372036854775807").window, 0xFFFFFFFFu);
  EXPECT_EQ(parseText("/p -9223372036854775808").window, 0u);
}

}  // namespace
}  // namespace tavrik
