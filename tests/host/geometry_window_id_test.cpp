#include <gtest/gtest.h>

#include <cstdint>

#include "host/linux/cli/command_line.h"

namespace tavrik {
namespace {

TEST(WindowId, DecimalOrHexadecimal) {
  uint64_t id = 0;
  EXPECT_TRUE(parseWindowId("1234", id));
  EXPECT_EQ(id, 1234u);
  EXPECT_TRUE(parseWindowId("0x4a0001f", id));
  EXPECT_EQ(id, 0x4a0001fu);
  EXPECT_TRUE(parseWindowId("0X1F", id));
  EXPECT_EQ(id, 0x1fu);
  for (const char* bad :
       {"", "0x", "abc", "12z", "-5", "+5", "0x-1", "1 2", "99999999999999999999"}) {
    EXPECT_FALSE(parseWindowId(bad, id)) << bad;
  }
}

TEST(Geometry, SizePositionOrBoth) {
  const struct {
    const char* text;
    bool ok;
    WindowGeometry expected;
  } cases[] = {
      {"640x480", true, {true, 640, 480, false, 0, 0, false, false}},
      {"=800X600+10+20", true, {true, 800, 600, true, 10, 20, false, false}},
      {"+0-0", true, {false, 0, 0, true, 0, 0, false, true}},
      {"320x200-5-7", true, {true, 320, 200, true, 5, 7, true, true}},
      {"", false, {}},
      {"640", false, {}},
      {"640x", false, {}},
      {"0x480", false, {}},
      {"640x480+10", false, {}},
      {"640x480+10+20 ", false, {}},
      {"9999999x10", false, {}},
      {"x480", false, {}},
  };
  for (const auto& c : cases) {
    WindowGeometry g;
    ASSERT_EQ(parseGeometry(c.text, g), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(g.hasSize, c.expected.hasSize) << c.text;
      EXPECT_EQ(g.width, c.expected.width) << c.text;
      EXPECT_EQ(g.height, c.expected.height) << c.text;
      EXPECT_EQ(g.hasPosition, c.expected.hasPosition) << c.text;
      EXPECT_EQ(g.x, c.expected.x) << c.text;
      EXPECT_EQ(g.y, c.expected.y) << c.text;
      EXPECT_EQ(g.fromRight, c.expected.fromRight) << c.text;
      EXPECT_EQ(g.fromBottom, c.expected.fromBottom) << c.text;
    }
  }
}

}  // namespace
}  // namespace tavrik
