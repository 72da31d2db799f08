// Telling a scanned box code from a search text, on real codes of the public
// drug database's 2026 export (DOLIPRANE 1000 mg, 8 tablets: CIP7 3595583,
// CIP13 3400935955838; a CIP7 of the 300xxxx block, which has no CIP7 check
// digit: 3007651, CIP13 3400930076514).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "text/ScannedCode.h"

namespace quillor {
namespace {

using ::testing::HasSubstr;
using TKind = TScannedCode::TKind;

std::string CipOf(const std::string& text) {
  const TScannedCode code = ReadScannedCode(text);
  EXPECT_EQ(code.kind, TKind::kCip7) << ShowGroupSeparators(text) << ": " << code.reason;
  return code.cip7;
}

TKind KindOf(const std::string& text) {
  return ReadScannedCode(text).kind;
}

TEST(ScannedCode, CipSevenAndThirteenAreReadWithTheirCheckDigits) {
  EXPECT_EQ(CipOf("3595583"), "3595583");
  EXPECT_EQ(CipOf("  3595583\r\n"), "3595583");
  EXPECT_EQ(CipOf("3400935955838"), "3595583");
  EXPECT_EQ(CipOf("3400930076514"), "3007651");
  // A CIP7 without its check digit is no code: it is searched as typed.
  EXPECT_EQ(KindOf("3007651"), TKind::kNotACode);
  EXPECT_EQ(KindOf("3595584"), TKind::kNotACode);
  // A CIP13 with a wrong check digit is unreadable; another country's or
  // another trade's EAN-13 is a valid code that no medicine holds.
  const TScannedCode wrong = ReadScannedCode("3400935955839");
  EXPECT_EQ(wrong.kind, TKind::kUnreadable);
  EXPECT_THAT(wrong.reason, HasSubstr("cl\xE9 de contr\xF4le"));
  EXPECT_EQ(KindOf("3401560123456"), TKind::kOtherGoods);  // parapharmacy (ACL), valid key
  EXPECT_EQ(KindOf("3401560123457"), TKind::kUnreadable);
  EXPECT_TRUE(HasValidGs1CheckDigit("03400935955838"));
  EXPECT_FALSE(HasValidGs1CheckDigit("03400935955830"));
}

TEST(ScannedCode, AnEan13WithItsSymbologyIdentifierIsTheBareEan13) {
  EXPECT_EQ(CipOf("]E03400935955838"), "3595583");
  EXPECT_EQ(CipOf(" ]E03400930076514\r"), "3007651");
  EXPECT_EQ(KindOf("]E03401560123456"), TKind::kOtherGoods);
  const TScannedCode wrongKey = ReadScannedCode("]E03400935955839");
  EXPECT_EQ(wrongKey.kind, TKind::kUnreadable);
  EXPECT_THAT(wrongKey.reason, HasSubstr("cl\xE9 de contr\xF4le"));
  // Only an EAN-13 follows ]E0.
  for (const char* text : {"]E0", "]E0359558", "]E0340093595583", "]E034009359558381", "]E0DOLIPRANE"}) {
    const TScannedCode code = ReadScannedCode(text);
    EXPECT_EQ(code.kind, TKind::kUnreadable) << text;
    EXPECT_THAT(code.reason, HasSubstr("EAN-13")) << text;
  }
}

TEST(ScannedCode, DataMatrixStringsInEveryFormScannersType) {
  const std::string gs = "\x1D";
  const std::string product = "0103400935955838";
  const std::string expiry = "17271130";
  const std::string lot = "10AB12-C";
  const std::string serial = "21XK29QP3";
  for (const std::string& separator :
       {gs, std::string("<GS>"), std::string("{GS}"), std::string("[GS]"), std::string("^]"),
        std::string("~"), std::string("|"), std::string("^"), std::string("#"), std::string("@")}) {
    for (const std::string& prefix : {std::string("]d2"), std::string()}) {
      // Product code first, as printed on French boxes, and last.
      EXPECT_EQ(CipOf(prefix + product + expiry + lot + separator + serial), "3595583");
      EXPECT_EQ(CipOf(prefix + expiry + lot + separator + serial + separator + product), "3595583");
      EXPECT_EQ(CipOf(prefix + serial + separator + product + expiry + lot + separator), "3595583");
    }
  }
  EXPECT_EQ(CipOf(product), "3595583");
  EXPECT_EQ(CipOf("]d2" + product), "3595583");
  EXPECT_EQ(CipOf("0103400930076514" + expiry), "3007651");

  // A wrong check digit, no product code, a cut string: unreadable.
  EXPECT_EQ(KindOf("]d20103400935955830" + expiry), TKind::kUnreadable);
  const TScannedCode noProduct = ReadScannedCode("]d2" + expiry + lot + gs + serial);
  EXPECT_EQ(noProduct.kind, TKind::kUnreadable);
  EXPECT_THAT(noProduct.reason, HasSubstr("pas de code produit"));
  EXPECT_EQ(KindOf(expiry + lot + gs + serial), TKind::kUnreadable);
  EXPECT_EQ(KindOf("]d20103400935955"), TKind::kUnreadable);
  EXPECT_EQ(KindOf("]d2" + product + "1727113"), TKind::kUnreadable);
  EXPECT_EQ(KindOf("]d2" + product + "05123"), TKind::kUnreadable);  // no such identifier
  // A GTIN that is not a French medicine's.
  EXPECT_EQ(KindOf("]d2" + std::string("0104012345678901")), TKind::kOtherGoods);
  EXPECT_EQ(ShowGroupSeparators("10A" + gs + "21B"), "10A<GS>21B");
}

TEST(ScannedCode, SearchTextsAreNeverTakenForCodes) {
  for (const char* text :
       {"",        "   ",          "DOLIPRANE",      "DOLIPRANE 1000", "1000",      "500",
        "2000",    "200020",       "1000MG",         "10 MG",          "(.+)+[#@]", "ASPIRINE 5.0",
        "3400934", "340093595583", "34009359558381", "1726123110ABC",  "B/8",       "A|B",
        "01",      "0103400935"}) {
    EXPECT_EQ(KindOf(text), TKind::kNotACode) << text;
  }
}

}  // namespace
}  // namespace quillor
