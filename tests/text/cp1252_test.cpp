#include "text/Cp1252.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

namespace quillor {
namespace {

TEST(Cp1252, EveryByteSurvivesARoundTripThroughUtf8) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  const std::string utf8 = Cp1252ToUtf8(all);
  EXPECT_EQ(Utf8ToCp1252(utf8), all);
  for (int b = 0; b < 256; ++b) {
    const char32_t cp = Cp1252ToCodePoint(static_cast<unsigned char>(b));
    EXPECT_EQ(CodePointToCp1252(cp), b) << b;
  }
}

TEST(Cp1252, KnownCodePoints) {
  EXPECT_EQ(Cp1252ToCodePoint(0x80), U'\u20AC');
  EXPECT_EQ(Cp1252ToCodePoint(0x85), U'\u2026');
  EXPECT_EQ(Cp1252ToCodePoint(0x9C), U'\u0153');
  EXPECT_EQ(Cp1252ToCodePoint(0x9F), U'\u0178');
  EXPECT_EQ(Cp1252ToCodePoint(0xE9), U'\u00E9');
  for (unsigned char undefined : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
    EXPECT_EQ(Cp1252ToCodePoint(undefined), static_cast<char32_t>(undefined));
  }
  // The C1 controls that Windows-1252 replaced have no byte.
  EXPECT_EQ(CodePointToCp1252(0x80), -1);
  EXPECT_EQ(CodePointToCp1252(0x85), -1);
  EXPECT_EQ(CodePointToCp1252(0x100), -1);
  EXPECT_EQ(Cp1252ToUtf8("cr\xE8me \x80"), "cr\xC3\xA8me \xE2\x82\xAC");
}

TEST(Cp1252, Utf8WithoutAByteOrMalformedBecomesTheReplacement) {
  EXPECT_EQ(Utf8ToCp1252("\xC3\xA9t\xC3\xA9"), "\xE9t\xE9");
  EXPECT_EQ(Utf8ToCp1252("\xE2\x82\xAC 5"), "\x80 5");
  EXPECT_EQ(Utf8ToCp1252("\xE4\xB8\xAD"), "?");           // U+4E2D
  EXPECT_EQ(Utf8ToCp1252("\xF0\x9F\x98\x80", '_'), "_");  // U+1F600
  EXPECT_EQ(Utf8ToCp1252("a\xFF"
                         "b"),
            "a?b");
  EXPECT_EQ(Utf8ToCp1252("a\xC3"), "a?");            // cut short
  EXPECT_EQ(Utf8ToCp1252("\xC0\xAF"), "??");         // overlong '/'
  EXPECT_EQ(Utf8ToCp1252("\xE0\x80\xAF"), "?");      // overlong, three bytes
  EXPECT_EQ(Utf8ToCp1252("\xED\xA0\x80"), "?");      // a surrogate
  EXPECT_EQ(Utf8ToCp1252("\xF4\x90\x80\x80"), "?");  // above U+10FFFF
  EXPECT_EQ(Utf8ToCp1252("\xC3(x"), "?(x");          // the byte after a bad lead is kept
  EXPECT_EQ(Utf8ToCp1252(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(Cp1252, StrictUtf8DecodingRefusesWhatTheLenientOneReplaces) {
  std::u32string cps;
  ASSERT_TRUE(DecodeUtf8Strictly("cr\xC3\xA8me \xE2\x80\x99 \xF0\x9F\x98\x80", cps));
  EXPECT_EQ(cps, U"cr\u00E8me \u2019 \U0001F600");
  ASSERT_TRUE(DecodeUtf8Strictly("", cps));
  EXPECT_TRUE(cps.empty());
  // Windows-1252 text with an accent is not UTF-8.
  for (const std::string& bad : {std::string("cr\xE8me"), std::string("a\xC3"), std::string("\xC0\xAF"),
                                 std::string("\xED\xA0\x80"), std::string("\xF4\x90\x80\x80")}) {
    cps = U"x";
    EXPECT_FALSE(DecodeUtf8Strictly(bad, cps)) << bad;
    EXPECT_TRUE(cps.empty());
  }
}

}  // namespace
}  // namespace quillor
