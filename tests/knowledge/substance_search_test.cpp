// The search by substance: how a query is read, and which specialities its
// words match, on compositions written here.
#include <gtest/gtest.h>

#include <map>

#include "knowledge/SubstanceSearch.h"

namespace quillor {
namespace {

std::string Clauses(const std::string& query) {
  std::string shown;
  for (const TSubstanceClause& clause : ParseSubstanceQuery(query)) {
    shown += "[" + (clause.word.empty() ? std::string("*") : clause.word);
    for (const TDosage& dosage : clause.dosages) {
      const TDecimal& value = dosage.mass ? dosage.milligrams : dosage.written;
      shown += " " + std::to_string(value.mantissa) + "e" + std::to_string(value.exponent) +
               (dosage.unit.empty() ? "" : dosage.unit);
    }
    shown += "]";
  }
  return shown;
}

TEST(SubstanceQuery, NumbersGoToTheWordBeforeThemOrStandAloneFirst) {
  EXPECT_EQ(Clauses("PARACETAMOL 1000"), "[PARACETAMOL 1e3]");
  EXPECT_EQ(Clauses("PARACETAMOL 1G"), "[PARACETAMOL 1e3MG]");
  EXPECT_EQ(Clauses("PARACETAMOL 500 MG"), "[PARACETAMOL 5e2MG]") << "a unit apart belongs to its number";
  EXPECT_EQ(Clauses("PARACETAMOL 0,5G"), "[PARACETAMOL 5e2MG]");
  EXPECT_EQ(Clauses("1000 PARACETAMOL"), "[* 1e3][PARACETAMOL]");
  EXPECT_EQ(Clauses("500 30 MG"), "[* 5e2][* 3e1MG]") << "each leading number on its own";
  EXPECT_EQ(Clauses("PARACETAMOL 500 CODEINE 30"), "[PARACETAMOL 5e2][CODEINE 3e1]");
  EXPECT_EQ(Clauses("ACIDE ACETYLSALICYLIQUE 500"), "[ACIDE][ACETYLSALICYLIQUE 5e2]");
  EXPECT_EQ(Clauses("AMLODIPINE  5"), "[AMLODIPINE 5e0]") << "two spaces make no empty word";
  EXPECT_EQ(Clauses("COLECALCIFEROL 100000 UI"), "[COLECALCIFEROL 1e5UI]");
}

TEST(SubstanceQuery, WhatIsNeitherNumberNorUnitNamesASubstance) {
  EXPECT_EQ(Clauses("MG"), "[MG]") << "a unit with no number before it";
  EXPECT_EQ(Clauses("VITAMINE B12"), "[VITAMINE][B12]");
  EXPECT_EQ(Clauses("BETA 1A"), "[BETA][1A]") << "not a number: the beginning of a name's word";
  EXPECT_EQ(Clauses("VALSARTAN 10/20"), "[VALSARTAN][10/20]");
  EXPECT_EQ(Clauses("PARACETAMOL 500MG MG"), "[PARACETAMOL 5e2MG][MG]") << "one unit only";
  EXPECT_EQ(Clauses(""), "");
  EXPECT_EQ(Clauses("   "), "");
}

// Compositions of a few specialities, numbered from 0 by their code.
class SubstanceIndexTest : public ::testing::Test {
 protected:
  std::vector<TCompositionRecord> records = {
      // 0: an active substance expressed as its fraction.
      {"100", "COMPRIME", 1, false, "1", "BESILATE D'AMLODIPINE", "6,935 MG", "UN COMPRIME"},
      {"100", "COMPRIME", 1, true, "2", "AMLODIPINE", "5 MG", "UN COMPRIME"},
      // 1: two substances.
      {"101", "COMPRIME", 1, false, "3", "PARACETAMOL", "500 MG", "UN COMPRIME"},
      {"101", "COMPRIME", 2, false, "4", "PHOSPHATE DE CODEINE HEMIHYDRATE", "30 MG", "UN COMPRIME"},
      // 2: paracetamol written in grams.
      {"102", "COMPRIME", 1, false, "3", "PARACETAMOL", "1 G", "UN COMPRIME"},
      // 3: the same link number in two elements is two substances.
      {"103", "COMPRIME", 1, false, "5", "ALPHA", "10 MG", "UN COMPRIME"},
      {"103", "SOLVANT", 1, false, "6", "BETA", "20 MG", "1 ML"},
      // 4: another salt, the same fraction and dosage as 0.
      {"104", "COMPRIME", 1, false, "7", "MALEATE D'AMLODIPINE", "6,42 MG", "UN COMPRIME"},
      {"104", "COMPRIME", 1, true, "2", "AMLODIPINE", "5 MG", "UN COMPRIME"},
      // 5: 10 mg of amlodipine.
      {"105", "COMPRIME", 1, true, "2", "AMLODIPINE", "10 MG", "UN COMPRIME"},
      // Not wanted: no speciality number.
      {"999", "COMPRIME", 1, false, "3", "PARACETAMOL", "1000 MG", "UN COMPRIME"},
  };
  std::map<std::string, int32_t> numbers = {{"100", 0}, {"101", 1}, {"102", 2},
                                            {"103", 3}, {"104", 4}, {"105", 5}};
  TSubstanceIndex index{records,
                        [this](const std::string& cis) {
                          const auto found = numbers.find(cis);
                          return found == numbers.end() ? -1 : found->second;
                        },
                        6};

  std::string Found(const std::string& query) const {
    std::vector<uint8_t> matched;
    index.Match(ParseSubstanceQuery(query), matched);
    std::string found;
    for (size_t s = 0; s < matched.size(); ++s) {
      if (matched[s]) found += std::to_string(s);
    }
    return found;
  }
};

TEST_F(SubstanceIndexTest, AWordMatchesTheBeginningOfAWordOfASubstancesNames) {
  EXPECT_EQ(Found("AMLODIPINE"), "045");
  EXPECT_EQ(Found("AMLO"), "045") << "after the apostrophe of D'AMLODIPINE too";
  EXPECT_EQ(Found("LODIPINE"), "") << "the beginning of a word only";
  EXPECT_EQ(Found("BESILATE"), "0");
  EXPECT_EQ(Found("CODEINE"), "1");
  EXPECT_EQ(Found("PARACETAMOL"), "12");
  EXPECT_EQ(Found("PARACETAMOL CODEINE"), "1") << "every word must match";
  EXPECT_EQ(Found("PARACETAMOL XYZ"), "");
}

TEST_F(SubstanceIndexTest, AnActiveSubstanceAndItsFractionAreOneSubstance) {
  EXPECT_EQ(Found("AMLODIPINE 5"), "04");
  EXPECT_EQ(Found("BESILATE 5"), "0") << "the salt's name, the fraction's dosage";
  EXPECT_EQ(Found("AMLODIPINE 6,935"), "0");
  EXPECT_EQ(Found("AMLODIPINE 10"), "5");
  EXPECT_EQ(Found("ALPHA 20"), "") << "the same link number in another element is another substance";
  EXPECT_EQ(Found("ALPHA 10"), "3");
  EXPECT_EQ(Found("ALPHA BETA 20"), "3");
}

TEST_F(SubstanceIndexTest, ANumberAppliesToTheSubstanceNamedBeforeIt) {
  EXPECT_EQ(Found("PARACETAMOL 500"), "1");
  EXPECT_EQ(Found("PARACETAMOL 30"), "") << "30 mg is the codeine's";
  EXPECT_EQ(Found("30 PARACETAMOL"), "1") << "first, it applies to any substance";
  EXPECT_EQ(Found("PARACETAMOL 500 CODEINE 30"), "1");
  EXPECT_EQ(Found("CODEINE 30 PARACETAMOL 500"), "1");
  EXPECT_EQ(Found("CODEINE 500"), "");
  EXPECT_EQ(Found("PARACETAMOL 500 30"), "") << "both numbers are the paracetamol's";
}

TEST_F(SubstanceIndexTest, DosagesMatchAcrossUnitsOfMass) {
  EXPECT_EQ(Found("PARACETAMOL 1000"), "2");
  EXPECT_EQ(Found("PARACETAMOL 1G"), "2");
  EXPECT_EQ(Found("PARACETAMOL 1000 MG"), "2");
  EXPECT_EQ(Found("PARACETAMOL 0,5G"), "1");
  EXPECT_EQ(Found("PARACETAMOL 500000 MCG"), "1");
  EXPECT_EQ(Found("PARACETAMOL 1000 UI"), "");
  EXPECT_EQ(Found("5"), "04");
  EXPECT_EQ(Found("1G"), "2");
}

TEST_F(SubstanceIndexTest, SignaturesTellTheSameSubstancesAtTheSameDosages) {
  EXPECT_NE(index.Signature(0), 0u);
  EXPECT_EQ(index.Signature(0), index.Signature(4)) << "two salts expressed as 5 mg of amlodipine";
  EXPECT_NE(index.Signature(0), index.Signature(5));
  EXPECT_NE(index.Signature(1), index.Signature(2));
  EXPECT_EQ(index.Signature(6), 0u) << "outside the specialities";
  EXPECT_EQ(index.Signature(-1), 0u);
}

}  // namespace
}  // namespace quillor
