// Dosages read from the composition file and typed in a search, compared
// exactly across units of mass.
#include "knowledge/Dosage.h"

#include <gtest/gtest.h>

namespace quillor {
namespace {

TDosage Composition(const char* text) {
  const std::optional<TDosage> dosage = ParseCompositionDosage(text);
  EXPECT_TRUE(dosage.has_value()) << text;
  return dosage.value_or(TDosage{});
}

TDosage Searched(const char* number, const char* unit = "") {
  const std::optional<TDosage> dosage = ParseSearchedDosage(number, unit);
  EXPECT_TRUE(dosage.has_value()) << number << " " << unit;
  return dosage.value_or(TDosage{});
}

TEST(Dosage, DecimalsAreExact) {
  EXPECT_EQ(ParseDecimal("1000"), (TDecimal{1, 3}));
  EXPECT_EQ(ParseDecimal("1,00"), (TDecimal{1, 0}));
  EXPECT_EQ(ParseDecimal("0,5"), (TDecimal{5, -1}));
  EXPECT_EQ(ParseDecimal("2.5"), ParseDecimal("2,50"));
  EXPECT_EQ(ParseDecimal("0"), (TDecimal{0, 0}));
  EXPECT_EQ(ParseDecimal("100 000", true), (TDecimal{1, 5}));
  EXPECT_EQ(ParseDecimal("100 000"), std::nullopt) << "groups only where a composition writes them";
  EXPECT_EQ(ParseDecimal("1,"), std::nullopt);
  EXPECT_EQ(ParseDecimal(",5"), std::nullopt);
  EXPECT_EQ(ParseDecimal("1,2,3"), std::nullopt);
  EXPECT_EQ(ParseDecimal("12345678901234567890"), std::nullopt) << "beyond 18 digits";
  EXPECT_EQ(ParseDecimal("123456789012345678"), (TDecimal{123456789012345678, 0}));
}

TEST(Dosage, TheCompositionFilesWritingsAreRead) {
  EXPECT_EQ(Composition("1000 MG").milligrams, (TDecimal{1, 3}));
  EXPECT_EQ(Composition("1 G").milligrams, (TDecimal{1, 3}));
  EXPECT_EQ(Composition("1,00 MG").milligrams, (TDecimal{1, 0}));
  EXPECT_EQ(Composition("500 MICROGRAMMES").milligrams, (TDecimal{5, -1}));
  EXPECT_EQ(Composition("10,0 MCG").milligrams, (TDecimal{1, -2}));
  EXPECT_EQ(Composition("1 000 MG (1 DH)").milligrams, (TDecimal{1, 3}));
  const TDosage ui = Composition("100 000 UI");
  EXPECT_FALSE(ui.mass);
  EXPECT_EQ(ui.unit, "UI");
  EXPECT_EQ(ui.written, (TDecimal{1, 5}));
  EXPECT_EQ(Composition("2CH A 30CH ET 4DH A 60DH").unit, "CH");
  EXPECT_EQ(Composition("3,33 ML (TM)").unit, "ML");
  EXPECT_EQ(Composition("0,5 MG/ML").unit, "MG/ML") << "a concentration is no mass";
  EXPECT_FALSE(Composition("0,5 MG/ML").mass);
  EXPECT_EQ(Composition("5").unit, "");
  EXPECT_EQ(ParseCompositionDosage(""), std::nullopt);
  EXPECT_EQ(ParseCompositionDosage("QSP 1 IR"), std::nullopt);
  EXPECT_EQ(ParseCompositionDosage("DE 2CH A 30CH"), std::nullopt);
}

TEST(Dosage, ATypedNumberTakesItsUnitGluedOrApart) {
  EXPECT_EQ(Searched("1G").milligrams, (TDecimal{1, 3}));
  EXPECT_EQ(Searched("0,5G").milligrams, (TDecimal{5, 2}));
  EXPECT_EQ(Searched("500", "MG").milligrams, (TDecimal{5, 2}));
  EXPECT_EQ(Searched("100MCG").milligrams, (TDecimal{1, -1}));
  EXPECT_EQ(Searched("2,5").unit, "");
  EXPECT_EQ(Searched("1000", "UI").unit, "UI");
  EXPECT_EQ(ParseSearchedDosage("1000X"), std::nullopt) << "no unit";
  EXPECT_EQ(ParseSearchedDosage("500MG", "MG"), std::nullopt) << "two units";
  EXPECT_EQ(ParseSearchedDosage("G"), std::nullopt);
  EXPECT_EQ(ParseSearchedDosage("10/20"), std::nullopt);
  EXPECT_TRUE(IsUnitWord("MG"));
  EXPECT_TRUE(IsUnitWord("%"));
  EXPECT_FALSE(IsUnitWord("MGX"));
  EXPECT_FALSE(IsUnitWord("PARACETAMOL"));
}

TEST(Dosage, MassesMatchInAnyOfTheirUnits) {
  for (const char* composition : {"1 G", "1000 MG", "1000,0 MG", "1 000 MG"}) {
    EXPECT_TRUE(DosageMatches(Searched("1000"), Composition(composition))) << composition;
    EXPECT_TRUE(DosageMatches(Searched("1G"), Composition(composition))) << composition;
    EXPECT_TRUE(DosageMatches(Searched("1000", "MG"), Composition(composition))) << composition;
    EXPECT_TRUE(DosageMatches(Searched("1", "G"), Composition(composition))) << composition;
    EXPECT_FALSE(DosageMatches(Searched("100"), Composition(composition))) << composition;
    EXPECT_FALSE(DosageMatches(Searched("1000", "UI"), Composition(composition))) << composition;
    EXPECT_FALSE(DosageMatches(Searched("1000", "MCG"), Composition(composition))) << composition;
  }
  EXPECT_TRUE(DosageMatches(Searched("0,5G"), Composition("500 MG")));
  EXPECT_TRUE(DosageMatches(Searched("500", "MCG"), Composition("0,5 MG")));
  EXPECT_TRUE(DosageMatches(Searched("2,5"), Composition("2,5 MG")));
  EXPECT_TRUE(DosageMatches(Searched("2,5"), Composition("2,50 MG")));
  EXPECT_FALSE(DosageMatches(Searched("25"), Composition("2,5 MG")));
}

TEST(Dosage, ABareNumberAlsoMatchesTheNumberAsWrittenInAnyUnit) {
  EXPECT_TRUE(DosageMatches(Searched("100"), Composition("100 MICROGRAMMES")));
  EXPECT_TRUE(DosageMatches(Searched("1"), Composition("1 G")));
  EXPECT_TRUE(DosageMatches(Searched("100000"), Composition("100 000 UI")));
  EXPECT_TRUE(DosageMatches(Searched("5"), Composition("5 %")));
  EXPECT_FALSE(DosageMatches(Searched("100", "MG"), Composition("100 MICROGRAMMES")));
  // Other units compare by name and number, never converted.
  EXPECT_TRUE(DosageMatches(Searched("100000", "UI"), Composition("100 000 UI")));
  EXPECT_FALSE(DosageMatches(Searched("100000", "UI"), Composition("100 000 U")));
  EXPECT_TRUE(DosageMatches(Searched("10", "U"), Composition("10 UNITES")));
}

}  // namespace
}  // namespace quillor
