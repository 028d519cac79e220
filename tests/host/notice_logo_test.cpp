#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "host/linux/cli/logo.h"
#include "host/linux/x11/x11_notice.h"

namespace tavrik {
namespace {

// The notice follows the language of messages: LC_ALL before LC_MESSAGES before LANG, the first
// one set and not empty; only Japanese gives the Japanese sentence.
TEST(PasswordNotice, EnglishUnlessTheLocaleIsJapanese) {
  const struct {
    const char* lcAll;
    const char* lcMessages;
    const char* lang;
    const char* expected;
  } cases[] = {
      {nullptr, nullptr, nullptr, kPasswordNoticeEnglish},
      {nullptr, nullptr, "C", kPasswordNoticeEnglish},
      {nullptr, nullptr, "en_US.UTF-8", kPasswordNoticeEnglish},
      {nullptr, nullptr, "ja_JP.UTF-8", kPasswordNoticeJapanese},
      {nullptr, nullptr, "ja", kPasswordNoticeJapanese},
      {nullptr, nullptr, "ja_JP.eucJP@x", kPasswordNoticeJapanese},
      {nullptr, "ja_JP.UTF-8", "en_GB.UTF-8", kPasswordNoticeJapanese},
      {"", "", "ja_JP.UTF-8", kPasswordNoticeJapanese},
      {"C", "ja_JP.UTF-8", "ja_JP.UTF-8", kPasswordNoticeEnglish},
      {"ja_JP.UTF-8", nullptr, "C", kPasswordNoticeJapanese},
      {nullptr, nullptr, "jam", kPasswordNoticeEnglish},
  };
  for (const auto& c : cases) {
    EXPECT_STREQ(passwordNotice(c.lcAll, c.lcMessages, c.lang), c.expected)
        << (c.lcAll ? c.lcAll : "-") << " " << (c.lcMessages ? c.lcMessages : "-") << " "
        << (c.lang ? c.lang : "-");
  }
}

TEST(Logo, TheBuiltInLogoDecodes) {
  LogoImage logo;
  ASSERT_TRUE(decodeBmp8(logoBmpData(), logoBmpSize(), logo));
  EXPECT_EQ(logo.width, kLogoWidth);
  EXPECT_EQ(logo.height, kLogoHeight);
  auto at = [&](int x, int y) { return logo.pixels[static_cast<size_t>(y * logo.width + x)]; };
  EXPECT_EQ(at(0, 0), 0);     // black ground
  EXPECT_NE(at(130, 10), 0);  // the grey block, top right
  EXPECT_NE(at(120, 56), 0);  // the dart's nose points right
  EXPECT_EQ(at(10, 56), 0);   // nothing at the far left
  const uint16_t hull = at(80, 56);
  EXPECT_GT(hull & 31, (hull >> 11) & 31);  // more blue than red: light blue
}

TEST(Logo, BadBitmapsAreRefused) {
  LogoImage logo;
  EXPECT_FALSE(decodeBmp8(nullptr, 0, logo));
  std::vector<unsigned char> bytes(logoBmpData(), logoBmpData() + logoBmpSize());
  EXPECT_FALSE(decodeBmp8(bytes.data(), bytes.size() - 1, logo));  // truncated
  std::vector<unsigned char> wrongDepth = bytes;
  wrongDepth[28] = 24;
  EXPECT_FALSE(decodeBmp8(wrongDepth.data(), wrongDepth.size(), logo));
  std::vector<unsigned char> hugeOffset = bytes;
  hugeOffset[13] = 0x7F;
  EXPECT_FALSE(decodeBmp8(hugeOffset.data(), hugeOffset.size(), logo));
  std::vector<unsigned char> compressed = bytes;
  compressed[30] = 1;
  EXPECT_FALSE(decodeBmp8(compressed.data(), compressed.size(), logo));
}

}  // namespace
}  // namespace tavrik
