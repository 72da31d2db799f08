#include <gtest/gtest.h>

#include <random>

#include "AsciiFolding.h"
#include "DesignationFit.h"

namespace quillor::catalogue {
namespace {

DenominationParts Parts(Words name, Words strength, Words qualifiers, Words form) {
  return DenominationParts{std::move(name), std::move(strength), std::move(qualifiers), std::move(form)};
}

TEST(DesignationFit, EverythingWhenItFits) {
  const FittedDesignation d = FitDesignation(Parts({"DOLIPRANE"}, {"1000MG"}, {}, {"CPR"}), "B/8");
  EXPECT_EQ(d.text, "DOLIPRANE 1000MG CPR B/8");
  EXPECT_TRUE(d.nameWhole);
  EXPECT_FALSE(d.nameCut);
  EXPECT_EQ(FitDesignation(Parts({"BIAFINE"}, {}, {}, {"EMULS"}), "T/93G").text, "BIAFINE EMULS T/93G");
  EXPECT_EQ(FitDesignation(Parts({"X"}, {}, {}, {}), "").text, "X");
}

TEST(DesignationFit, QualifiersAndFormGiveWayBeforeTheName) {
  const DenominationParts nurofen =
      Parts({"NUROFENPRO"}, {"20MG/ML"}, {"ENFANTS", "ET", "NOURRISSONS", "SANS", "SUCRE"}, {"SUSP", "BUV"});
  // 1. qualifiers abbreviated, 2. the form's first word, 3. qualifiers from the last.
  EXPECT_EQ(FitDesignation(nurofen, "FL/150ML", 80).text,
            "NUROFENPRO 20MG/ML ENFANTS ET NOURRISSONS SANS SUCRE SUSP BUV FL/150ML");
  EXPECT_EQ(FitDesignation(nurofen, "FL/150ML", 60).text,
            "NUROFENPRO 20MG/ML ENF ET NOUR SS SUCRE SUSP BUV FL/150ML");
  EXPECT_EQ(FitDesignation(nurofen, "FL/150ML", 55).text,
            "NUROFENPRO 20MG/ML ENF ET NOUR SS SUCRE SUSP FL/150ML");
  EXPECT_EQ(FitDesignation(nurofen, "FL/150ML", 50).text, "NUROFENPRO 20MG/ML ENF ET NOUR SS SUSP FL/150ML");
  // A filler left at the end goes with the word after it.
  EXPECT_EQ(FitDesignation(nurofen, "FL/150ML").text, "NUROFENPRO 20MG/ML ENF SUSP FL/150ML");
  EXPECT_TRUE(FitDesignation(nurofen, "FL/150ML").nameWhole);
  // Then the form goes, then the strength is written once per unit.
  EXPECT_EQ(FitDesignation(nurofen, "FL/150ML", 28).text, "NUROFENPRO 20MG/ML FL/150ML");
  const DenominationParts maalox = Parts({"MAALOX"}, {"400MG/400MG"}, {}, {"CPR"});
  EXPECT_EQ(FitDesignation(maalox, "B/40", 25).text, "MAALOX 400/400MG CPR B/40");
  EXPECT_EQ(FitDesignation(maalox, "B/40", 21).text, "MAALOX 400/400MG B/40");
}

TEST(DesignationFit, ANameTooLongIsAbbreviatedFromItsLastWordThenLosesWords) {
  const DenominationParts generic =
      Parts({"AMOXICILLINE/ACIDE", "CLAVULANIQUE", "BIOGARAN"}, {"1G/125MG"}, {}, {"PDR", "SUSP", "BUV"});
  const FittedDesignation d = FitDesignation(generic, "B/8");
  EXPECT_EQ(d.text, "AMOXICILLINE/ACIDE CLAV BGR 1G/125MG B/8");  // 40: the molecules' names stay
  EXPECT_FALSE(d.nameWhole);
  EXPECT_FALSE(d.nameCut);
  EXPECT_EQ(FitDesignation(generic, "B/8", 30).text, "AMOX/AC CLAV BGR 1G/125MG B/8");
  const FittedDesignation cut = FitDesignation(generic, "B/8", 25);
  EXPECT_EQ(cut.text, "AMOX/AC CLAV 1G/125MG B/8");
  EXPECT_TRUE(cut.nameCut);
  // With fewer words of the name, there is room for the form again.
  EXPECT_EQ(FitDesignation(generic, "B/8", 24).text, "AMOX/AC 1G/125MG PDR B/8");
}

TEST(DesignationFit, ThePackStaysWhenNothingElseFits) {
  const DenominationParts long_ = Parts({"PIPERACILLINE/TAZOBACTAM"}, {"4G/500MG"}, {}, {"PDR"});
  // Without an abbreviation for its only word, the strength goes before the pack.
  const FittedDesignation d =
      FitDesignation(Parts({"ABCDEFGHIJKLMNOPQRSTUVWXYZ"}, {"4G/500MG"}, {}, {}), "10X30ML", 34);
  EXPECT_EQ(d.text, "ABCDEFGHIJKLMNOPQRSTUVWXYZ 10X30ML");
  EXPECT_TRUE(d.nameWhole);
  EXPECT_EQ(FitDesignation(long_, "10X30ML").text, "PIPERA/TAZO 4G/500MG PDR 10X30ML");
  // A name of one word that fits only without the strength is still whole.
  const FittedDesignation one =
      FitDesignation(Parts({"ABCDEFGHIJKLMNOPQRSTUVWXYZ"}, {"4G/500MG"}, {}, {}), "B/8", 30);
  EXPECT_EQ(one.text, "ABCDEFGHIJKLMNOPQRSTUVWXYZ B/8");
  EXPECT_TRUE(one.nameWhole);
}

TEST(DesignationFit, WordsAddedToThePackAreLeftOutWhereTheDesignationShowsThem) {
  const DenominationParts chlorhex = Parts({"CHLORHEX/CHLOROBUT", "BGR", "CSL"}, {}, {}, {});
  EXPECT_EQ(FitDesignation(chlorhex, "FL/200ML BGR").text, "CHLORHEX/CHLOROBUT BGR CSL FL/200ML");
  EXPECT_EQ(FitDesignation(chlorhex, "FL/200ML VTS").text, "CHLORHEX/CHLOROBUT BGR CSL FL/200ML VTS");
  const DenominationParts stelara = Parts({"STELARA"}, {"45MG"}, {}, {"SOL", "INJ"});
  EXPECT_EQ(FitDesignation(stelara, "SER/0,5ML SER").text, "STELARA 45MG SOL INJ SER/0,5ML");
  EXPECT_EQ(FitDesignation(stelara, "SER/0,5ML STYLO").text, "STELARA 45MG SOL INJ SER/0,5ML STYLO");
  // The summary itself always stays, even where the name says it too.
  EXPECT_EQ(FitDesignation(Parts({"KIT"}, {}, {}, {}), "KIT").text, "KIT KIT");
}

TEST(DesignationFit, APackGrowsOnlyWhereThatCostsNoWordOfTheNameNorTheStrength) {
  const DenominationParts rebif = Parts({"REBIF"}, {"22MCG"}, {}, {"SOL", "INJ"});
  EXPECT_EQ(FitDesignationNoWorse(rebif, "12X0,5ML STYLO", "12X0,5ML").text,
            "REBIF 22MCG SOL INJ 12X0,5ML STYLO");
  // The name would lose SANOFI: the pack stays as it was.
  const DenominationParts insulin = Parts({"INSULINE", "ASPARTE", "SANOFI"}, {"100U/ML"}, {}, {"SOL", "INJ"});
  ASSERT_EQ(FitDesignation(insulin, "5X3ML STYLO").nameWordsKept, 2u);
  const FittedDesignation kept = FitDesignationNoWorse(insulin, "5X3ML STYLO", "5X3ML");
  EXPECT_EQ(kept.text, "INSULINE ASPARTE SANOFI 100U/ML 5X3ML");
  EXPECT_EQ(kept.nameWordsKept, 3u);
  // The strength would go: the same.
  const DenominationParts single = Parts({"ABCDEFGHIJKLMNOPQRSTUVWXYZ"}, {"4G/500MG"}, {}, {});
  ASSERT_FALSE(FitDesignation(single, "B/8 LONG").strengthKept);
  EXPECT_EQ(FitDesignationNoWorse(single, "B/8 LONG", "B/8").text, "ABCDEFGHIJKLMNOPQRSTUVWXYZ 4G/500MG B/8");
  // Abbreviating the name is no loss of its words.
  const DenominationParts generic = Parts({"OXOMEMAZINE", "SANDOZ"}, {"0,33MG/ML"}, {}, {});
  ASSERT_EQ(FitDesignation(generic, "FL/150ML").text, "OXOMEMAZINE SANDOZ 0,33MG/ML FL/150ML");
  EXPECT_EQ(FitDesignationNoWorse(generic, "FL/150ML SIROP", "FL/150ML").text,
            "OXOMEMAZINE SDZ 0,33MG/ML FL/150ML SIROP");
}

TEST(DesignationFit, CompactStrengthOnlyWhenEveryQuantityHasTheSameUnit) {
  EXPECT_EQ(CompactStrength({"10MG/160MG/25MG"}), Words{"10/160/25MG"});
  EXPECT_EQ(CompactStrength({"0,5MG/0,4MG"}), Words{"0,5/0,4MG"});
  EXPECT_EQ(CompactStrength({"10MG/2ML"}), Words{"10MG/2ML"});
  EXPECT_EQ(CompactStrength({"20MG/ML"}), Words{"20MG/ML"});
  EXPECT_EQ(CompactStrength({"1000MG", "5%"}), (Words{"1000MG", "5%"}));
}

// On random parts made of real words: never over the bound, never a piece
// of a word, and the pack is always the end of the designation.
TEST(DesignationFit, RandomPartsStayWithinTheBoundAndKeepWholeWords) {
  const Words pool = {"AMOXICILLINE", "ACIDE",   "CLAVULANIQUE", "BIOGARAN", "HYDROCHLOROTHIAZIDE",
                      "VALSARTAN",    "SANDOZ",  "VITAMINE",     "D3",       "MAUX",
                      "D'ESTOMAC",    "ENFANTS", "SANS",         "SUCRE",    "CONSEIL"};
  std::mt19937 random(20260527);
  for (int trial = 0; trial < 3000; ++trial) {
    auto pick = [&](size_t most) {
      Words words(random() % (most + 1));
      for (std::string& word : words) word = pool[random() % pool.size()];
      return words;
    };
    Words name = pick(5);
    if (name.empty()) name.push_back("NOM");
    const DenominationParts parts = Parts(name, random() % 2 ? Words{"500MG/30MG"} : Words{}, pick(3),
                                          random() % 2 ? Words{"CPR", "EFF"} : Words{"SOL", "BUV"});
    const std::string pack = random() % 2 ? "B/30" : "20X2ML";
    const FittedDesignation d = FitDesignation(parts, pack);
    ASSERT_LE(d.text.size(), kDesignationMaxLength) << d.text;
    ASSERT_EQ(d.text.substr(d.text.size() - pack.size()), pack) << d.text;
    // Every word is a whole word of the parts or an abbreviation of one.
    Words allowed = {"CPR", "EFF", "SOL", "BUV", "500MG/30MG", "500/30MG", pack};
    for (const std::string& word : pool) {
      allowed.push_back(word);
    }
    for (const char* word : {"AMOX", "AC", "CLAV", "BGR", "HCTZ", "VALS", "SDZ", "VIT", "EST", "ENF", "SS",
                             "CSL", "D'EST", "NOM"}) {
      allowed.emplace_back(word);
    }
    for (const std::string& word : SplitWords(d.text)) {
      if (word == pack) continue;
      size_t start = 0;
      bool known = true;
      // Compound words are checked part by part.
      for (size_t i = 0; i <= word.size(); ++i) {
        if (i == word.size() || (word[i] == '/' && word.find("MG") == std::string::npos)) {
          const std::string part = word.substr(start, i - start);
          known = known && std::find(allowed.begin(), allowed.end(), part) != allowed.end();
          start = i + 1;
        }
      }
      ASSERT_TRUE(known) << word << " in " << d.text;
    }
    EXPECT_EQ(d.nameWhole, d.text.rfind(JoinWords(name) + " ", 0) == 0 || d.text == JoinWords(name))
        << d.text;
  }
}

}  // namespace
}  // namespace quillor::catalogue
