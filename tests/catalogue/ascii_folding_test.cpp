#include <gtest/gtest.h>

#include "catalogue/AsciiFolding.h"
#include "text/Cp1252.h"

namespace quillor::catalogue {
namespace {

TEST(AsciiFolding, AccentsLigaturesAndTypographyBecomeUpperCaseAscii) {
  EXPECT_EQ(FoldToUpperAscii(U"comprimé pelliculé sécable").text, "COMPRIME PELLICULE SECABLE");
  EXPECT_EQ(FoldToUpperAscii(U"CŒUR Æ ß ç à è ù î ô ÿ ë").text, "COEUR AE SS C A E U I O Y E");
  EXPECT_EQ(FoldToUpperAscii(U"CARMIN D\u2019INDIGO \u00ABPEEL OFF\u00BB \u201Cx\u201D").text,
            "CARMIN D'INDIGO \"PEEL OFF\" \"X\"");
  EXPECT_EQ(FoldToUpperAscii(U"2 \u00D7 2 \u2013 a\u2026").text, "2 X 2 - A...");
  // Micro is written MC (100 µg is 100 MCG); degree, registered and copyright signs go.
  EXPECT_EQ(FoldToUpperAscii(U"1000 \u00B5g/4 ml N\u00B05 Onco-Tain\u00AE \u00A9").text,
            "1000 MCG/4 ML N5 ONCO-TAIN");
  EXPECT_EQ(FoldToUpperAscii(U"m\u00B2 \u00BD").text, "M2 1/2");
}

TEST(AsciiFolding, EverySpaceAndControlBecomesOneSpaceAndTheEndsAreTrimmed) {
  EXPECT_EQ(FoldToUpperAscii(U"  de 30\u00A0\u00A0g\u00E9lule(s)\u202F\t\r ").text, "DE 30 GELULE(S)");
  EXPECT_EQ(FoldToUpperAscii(U"a\u0001b\u007Fc\u0085d").text, "A B C D");
  EXPECT_EQ(FoldToUpperAscii(U"").text, "");
  EXPECT_EQ(FoldToUpperAscii(U" \u00A0 ").text, "");
  // A dropped sign between spaces leaves one space, not two.
  EXPECT_EQ(FoldToUpperAscii(U"15 \u00B0 C").text, "15 C");
}

TEST(AsciiFolding, ACharacterWithoutSpellingIsReportedAndWrittenAsAQuestionMark) {
  const FoldedText folded = FoldToUpperAscii(U"\u00BFx\u4E2D\u2030");
  EXPECT_EQ(folded.text, "?X??");
  EXPECT_EQ(folded.unmapped, (std::vector<char32_t>{U'\u00BF', U'\u4E2D', U'\u2030'}));
  EXPECT_TRUE(FoldToUpperAscii(U"cr\u00E8me \u0153uf").unmapped.empty());
  EXPECT_EQ(CodePointName(U'\u00BF'), "U+00BF");
  EXPECT_EQ(CodePointName(U'\U0001F600'), "U+1F600");
}

// Whatever a Windows-1252 file holds is either spelt or reported: folding
// never drops a character silently, and always yields printable ASCII.
TEST(AsciiFolding, EveryWindows1252CharacterIsSpeltOrReported) {
  for (int byte = 0; byte < 256; ++byte) {
    const char32_t cp = Cp1252ToCodePoint(static_cast<unsigned char>(byte));
    const FoldedText folded = FoldToUpperAscii(std::u32string(U"A") + cp + U"B");
    for (char c : folded.text) {
      ASSERT_TRUE(c >= 0x20 && c < 0x7F) << byte;
      ASSERT_FALSE(c >= 'a' && c <= 'z') << byte;
    }
    std::string spelling;
    if (AsciiSpelling(cp, spelling)) {
      EXPECT_TRUE(folded.unmapped.empty()) << byte;
    } else {
      EXPECT_EQ(folded.unmapped, std::vector<char32_t>{cp}) << byte;
      EXPECT_EQ(folded.text, "A?B") << byte;
    }
  }
  // The Latin letters of Windows-1252 all have a spelling.
  for (char32_t cp = 0xC0; cp <= 0xFF; ++cp) {
    std::string spelling;
    EXPECT_TRUE(AsciiSpelling(cp, spelling)) << CodePointName(cp);
  }
}

TEST(AsciiFolding, LatinExtendedLettersLoseTheirMarks) {
  EXPECT_EQ(FoldToUpperAscii(U"\u0160\u017D\u0141\u0119\u0131\u0133\u017F").text, "SZLEIIJS");
}

}  // namespace
}  // namespace quillor::catalogue
