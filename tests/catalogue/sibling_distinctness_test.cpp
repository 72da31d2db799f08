#include <gtest/gtest.h>

#include "catalogue/AsciiFolding.h"
#include "catalogue/PackSummary.h"
#include "catalogue/SiblingDistinctness.h"

namespace quillor::catalogue {
namespace {

// The import's use for one speciality's articles: `packs[i]` is the pack
// summary of `siblings[i]` and `designationOf` makes a designation of a
// pack. Returns how many packs were extended.
size_t MakeSiblingsDistinct(const std::vector<Article>& siblings, std::vector<std::string>& packs,
                            const std::function<std::string(const std::string& pack)>& designationOf) {
  std::vector<std::string> labels;
  for (const Article& sibling : siblings) labels.push_back(ProductLabel(sibling.label));
  return MakeDistinct(labels, packs,
                      [&designationOf](size_t, const std::string& pack) { return designationOf(pack); });
}

std::vector<Article> Siblings(const std::vector<std::u32string>& labels) {
  std::vector<Article> siblings;
  for (const std::u32string& label : labels) {
    Article article;
    article.label = FoldToUpperAscii(label).text;
    siblings.push_back(article);
  }
  return siblings;
}

std::vector<std::string> Packs(const std::vector<Article>& siblings) {
  std::vector<std::string> packs;
  for (const Article& article : siblings) packs.push_back(SummarisePack(article.label));
  return packs;
}

std::string Plain(const std::string& pack) {
  return "MAALOX 460/400MG " + pack;
}

TEST(SiblingDistinctness, PacksAlikeForDifferentLabelsGetTheWordsThatTellThemApart) {
  const auto siblings =
      Siblings({U"20 sachet(s) polyt\u00E9r\u00E9phtalate (PET) aluminium poly\u00E9thyl\u00E8ne de 4,3 ml",
                U"20 sachet(s) polypropyl\u00E8ne aluminium poly\u00E9thyl\u00E8ne de 4,3 ml"});
  std::vector<std::string> packs = Packs(siblings);
  ASSERT_EQ(packs[0], packs[1]);
  EXPECT_EQ(MakeSiblingsDistinct(siblings, packs, Plain), 2u);
  EXPECT_EQ(packs, (std::vector<std::string>{"20X4,3ML PET", "20X4,3ML PP"}));
}

TEST(SiblingDistinctness, SameLabelsAndDifferentPacksAreLeftAlone) {
  // The same label twice (two codes for one pack), spacing aside.
  const auto same = Siblings({U"plaquette(s) PVC-Aluminium de 40 comprim\u00E9(s)",
                              U"plaquette(s)  PVC-Aluminium de 40  comprim\u00E9(s)",
                              U"plaquette(s) PVC-Aluminium de 60 comprim\u00E9(s)"});
  std::vector<std::string> packs = Packs(same);
  EXPECT_EQ(MakeSiblingsDistinct(same, packs, Plain), 0u);
  EXPECT_EQ(packs, (std::vector<std::string>{"B/40", "B/40", "B/60"}));
}

TEST(SiblingDistinctness, TellingWordsAreFewAndShort) {
  const auto siblings = Siblings({U"1 flacon(s) en verre de 30 ml",
                                  U"1 flacon(s) en verre brun avec bouchon compte-gouttes polypropyl\u00E8ne "
                                  U"s\u00E9curit\u00E9 de 30 ml"});
  std::vector<std::string> packs = Packs(siblings);
  EXPECT_EQ(MakeSiblingsDistinct(siblings, packs, Plain), 1u);
  EXPECT_EQ(packs[0], "FL/30ML");
  EXPECT_EQ(packs[1], "FL/30ML BRUN");
}

// Word order, a bare number, a unit alone, a little word or the date a
// presentation was abrogated tell a pharmacist nothing: such siblings are one
// product and share a designation (their CIPs tell them apart).
TEST(SiblingDistinctness, SiblingsAreNeverToldApartByWhatSaysNothing) {
  for (const auto& labels : std::vector<std::vector<std::u32string>>{
           {U"1 flacon(s) verre brun de 30 ml", U"1 flacon(s) brun verre de 30 ml"},
           {U"1 tube(s) aluminium de 15 g", U"tube(s) aluminium de 15 g 2"},
           {U"plaquette(s) de 28 comprim\u00E9(s)", U"plaquette(s) de 28 comprim\u00E9s dans un \u00E9tui"},
           {U"plaquette(s) PVC de 30 comprim\u00E9(s)",
            U"plaquette(s) PVC de 30 comprim\u00E9(s) ( abrog\u00E9e le 28/02/2025)"},
           {U"plaquette(s) de 28 comprim\u00E9(s)",
            U"plaquette(s) de 28 comprim\u00E9(s)(Distributeur Parall\u00E8le : Inter Trade Pharma)"},
       }) {
    const auto siblings = Siblings(labels);
    std::vector<std::string> packs = Packs(siblings);
    ASSERT_EQ(packs[0], packs[1]) << packs[1];
    EXPECT_EQ(MakeSiblingsDistinct(siblings, packs, Plain), 0u) << packs[1];
    EXPECT_EQ(packs[0], packs[1]);
  }
}

TEST(SiblingDistinctness, ABloodGroupAndAQuantityWithItsUnitTellSiblingsApart) {
  const auto groups = Siblings(
      {U"10 poche(s) PVC de 200 ml. Groupe sanguin A", U"10 poche(s) PVC de 200 ml. Groupe sanguin AB"});
  std::vector<std::string> packs = Packs(groups);
  MakeSiblingsDistinct(groups, packs, Plain);
  EXPECT_EQ(packs, (std::vector<std::string>{"10X200ML A", "10X200ML AB"}));
  const auto solvents = Siblings({U"1 flacon(s) en verre - 1 flacon(s) en verre de solvant de 20 ml",
                                  U"1 flacon(s) en verre - 1 flacon(s) en verre de solvant de 50 ml"});
  packs = {"FL", "FL"};
  MakeSiblingsDistinct(solvents, packs, Plain);
  EXPECT_EQ(packs, (std::vector<std::string>{"FL 20ML", "FL 50ML"}));
}

TEST(SiblingDistinctness, PunctuationIsNoDifference) {
  const auto siblings =
      Siblings({U"1 bouteille de 2 L avec manod\u00E9tendeur, affichage et prises",
                U"1 bouteille de 2 L avec manod\u00E9tendeur et prises (bouteille Presence)"});
  std::vector<std::string> packs = Packs(siblings);
  MakeSiblingsDistinct(siblings, packs, Plain);
  EXPECT_EQ(packs[0], "BOUT/2L AFFICHAGE");
  EXPECT_EQ(packs[1], "BOUT/2L PRESENCE");
}

TEST(SiblingDistinctness, TellingWordsLoseTheirMarksAndBrackets) {
  const auto siblings =
      Siblings({U"40 poche(s) de 100 ml", U"40 poche(s) pr\u00E9-remplie(s) de 100 ml (PEHD)"});
  std::vector<std::string> packs = Packs(siblings);
  MakeSiblingsDistinct(siblings, packs, Plain);
  EXPECT_EQ(packs[1], "40X100ML PRE-REMPLIE");
}

// Across specialities: the sources are denominations, and a designation that
// cannot take a longer pack keeps the one it had.
TEST(SiblingDistinctness, DenominationsThatDifferTellTheirArticlesApart) {
  const std::vector<std::string> sources = {
      "REBIF 22MCG, SOLUTION INJECTABLE EN SERINGUE PREREMPLIE",
      "REBIF 22MCG, SOLUTION INJECTABLE EN STYLO PREREMPLI",
      "REBIF 22MCG, SOLUTION INJECTABLE EN STYLO PREREMPLI",
  };
  std::vector<std::string> packs = {"12X0,5ML", "12X0,5ML", "12X0,5ML"};
  const auto designation = [](size_t, const std::string& pack) { return "REBIF 22MCG SOL INJ " + pack; };
  EXPECT_EQ(MakeDistinct(sources, packs, designation), 3u);
  EXPECT_EQ(packs, (std::vector<std::string>{"12X0,5ML SER", "12X0,5ML STYLO", "12X0,5ML STYLO"}));
}

TEST(SiblingDistinctness, ARefusedPackIsNotKept) {
  const std::vector<std::string> sources = {"ALPHA SERINGUE", "ALPHA STYLO"};
  std::vector<std::string> packs = {"B/1", "B/1"};
  // The second article cannot take more.
  const auto refusing = [](size_t article, const std::string& pack) {
    return article == 1 ? std::string("ALPHA B/1") : "ALPHA " + pack;
  };
  EXPECT_EQ(MakeDistinct(sources, packs, refusing), 1u);
  EXPECT_EQ(packs, (std::vector<std::string>{"B/1 SER", "B/1"}));

  const auto refusingAll = [](size_t, const std::string&) { return std::string("ALPHA B/1"); };
  packs = {"B/1", "B/1"};
  EXPECT_EQ(MakeDistinct(sources, packs, refusingAll), 0u);
  EXPECT_EQ(packs, (std::vector<std::string>{"B/1", "B/1"}));
}

}  // namespace
}  // namespace quillor::catalogue
