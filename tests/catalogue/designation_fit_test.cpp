#include <gtest/gtest.h>

#include <random>

#include "catalogue/AsciiFolding.h"
#include "catalogue/DesignationFit.h"

namespace quillor::catalogue {
namespace {

DenominationParts Parts(Words name, Words strength, Words qualifiers, Words form) {
  return DenominationParts{std::move(name), std::move(strength), std::move(qualifiers), std::move(form), {}};
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

TEST(DesignationFit, TheStrengthAndThePackStayWhenNothingElseFits) {
  const DenominationParts long_ = Parts({"PIPERACILLINE/TAZOBACTAM"}, {"4G/500MG"}, {}, {"PDR"});
  EXPECT_EQ(FitDesignation(long_, "10X30ML").text, "PIPERA/TAZO 4G/500MG PDR 10X30ML");
  // Without an abbreviation for its only word, the word is cut to its first
  // letters: that is an abbreviation, not a loss.
  const DenominationParts alphabet = Parts({"ABCDEFGHIJKLMNOPQRSTUVWXYZ"}, {"4G/500MG"}, {}, {});
  const FittedDesignation d = FitDesignation(alphabet, "10X30ML", 34);
  EXPECT_EQ(d.text, "ABCDE 4G/500MG 10X30ML");
  EXPECT_FALSE(d.nameWhole);
  EXPECT_TRUE(d.strengthKept);
  EXPECT_EQ(d.lost, "");
  EXPECT_EQ(d.lossRank, 0);
  // Two siblings of such a name keep their packs apart.
  EXPECT_NE(FitDesignation(alphabet, "B/8", 20).text, FitDesignation(alphabet, "B/16", 20).text);
  // Only where even the strength and the pack leave no room for five letters
  // of the name does the strength go, and the designation says so.
  const FittedDesignation none = FitDesignation(alphabet, "10X30ML", 14);
  EXPECT_EQ(none.text, "ABCDE 10X30ML");
  EXPECT_FALSE(none.strengthKept);
  EXPECT_EQ(none.lossRank, 3);
  EXPECT_NE(none.lost.find("strength"), std::string::npos) << none.lost;
}

TEST(DesignationFit, TheFormsEssentialWordsStay) {
  DenominationParts clarithromycin = Parts({"CLARITHROMYCINE", "BIOGARAN"}, {"500MG"}, {}, {"CPR", "LM"});
  clarithromycin.essential = {"LM"};
  EXPECT_EQ(FitDesignation(clarithromycin, "B/10").text, "CLARITHROMYCINE BIOGARAN 500MG LM B/10");
  EXPECT_EQ(FitDesignation(clarithromycin, "B/10", 80).text, "CLARITHROMYCINE BIOGARAN 500MG CPR LM B/10");
  // The name is abbreviated before the release goes.
  EXPECT_EQ(FitDesignation(clarithromycin, "B/10", 34).text, "CLARITHROMYCINE BGR 500MG LM B/10");
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

TEST(DesignationFit, APackGrowsWhereThatCostsAbbreviationsOnly) {
  const DenominationParts rebif = Parts({"REBIF"}, {"22MCG"}, {}, {"SOL", "INJ"});
  EXPECT_EQ(FitDesignationNoWorse(rebif, "12X0,5ML STYLO", "12X0,5ML").text,
            "REBIF 22MCG SOL INJ 12X0,5ML STYLO");
  // A pen and cartridges of one insulin: the name's words are cut to their
  // first letters to say which.
  const DenominationParts insulin = Parts({"INSULINE", "ASPARTE", "SANOFI"}, {"100U/ML"}, {}, {"SOL", "INJ"});
  const FittedDesignation pen = FitDesignationNoWorse(insulin, "5X3ML STYLO", "5X3ML");
  EXPECT_EQ(pen.text, "INSUL ASPAR SANOFI 100U/ML 5X3ML STYLO");
  EXPECT_EQ(pen.nameWordsKept, 3u);
  // A pack that would cost a word of the name stays as it was.
  ASSERT_TRUE(FitDesignation(insulin, "5X3ML STYLO PREREMPLI").nameCut);
  EXPECT_EQ(FitDesignationNoWorse(insulin, "5X3ML STYLO PREREMPLI", "5X3ML").text,
            "INSULINE ASPARTE SANOFI 100U/ML 5X3ML");
  // So does one that would cost the strength.
  const DenominationParts single = Parts({"ABCDEFGHIJKLMNOPQRSTUVWXYZ"}, {"4G/500MG"}, {}, {});
  const std::string longPack = "B/8 " + std::string(30, 'Q');
  ASSERT_FALSE(FitDesignation(single, longPack).strengthKept);
  EXPECT_EQ(FitDesignationNoWorse(single, longPack, "B/8").text, "ABCDEFGHIJKLMNOPQRSTUVWXYZ 4G/500MG B/8");
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
  // Strengths of a combination joined by "+", with what they are per.
  EXPECT_EQ(CompactStrength({"20MG/ML+5MG/ML"}), Words{"20+5MG/ML"});
  EXPECT_EQ(CompactStrength({"2MG+3MG+10MG"}), Words{"2+3+10MG"});
  EXPECT_EQ(CompactStrength({"100MCG/50MCG/DOS"}), Words{"100/50MCG/DOS"});
  EXPECT_EQ(CompactStrength({"500MG/267MG/10ML"}), Words{"500/267MG/10ML"});
  EXPECT_EQ(CompactStrength({"150MCG/30MCG+10MCG"}), Words{"150/30+10MCG"});
  // A last quantity of 100 of the same unit is what the others are per.
  EXPECT_EQ(CompactStrength({"0,1G/0,25G/100G"}), Words{"0,1/0,25G/100G"});
  // Nothing in common, or a ratio: as they are.
  EXPECT_EQ(CompactStrength({"125MG/5ML"}), Words{"125MG/5ML"});
  EXPECT_EQ(CompactStrength({"1/100000"}), Words{"1/100000"});
  EXPECT_EQ(CompactStrength({"2X10^13VG/ML"}), Words{"2X10^13VG/ML"});
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
