// TKnowledge over knowledge files written here and a small article table:
// availability and hospital marks per article, the search by substance, the
// equivalents, and what is known when a file is missing or unusable.
#include "knowledge/Knowledge.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "database/Database.h"
#include "tests/support/TempDir.h"
#include "tests/support/TraceRecorder.h"

namespace quillor {
namespace {

using test::TempDir;

TAvailabilityRecord Line(const char* cis, const char* cip7, TAvailabilityStatus status, const char* start) {
  return {cis,
          cip7,
          status,
          *ParseDayDate(start),
          *ParseDayDate("10/05/2026"),
          kNoDate,
          "https://ansm/" + std::string(cis)};
}

// Quetiapine 400 (group 1) with four laboratories and two boxes of one;
// metformin 500 (group 2) and 1000 (group 3), one speciality in both;
// two ibuprofen 400 capsules of no group, and a tablet of the same dosage.
class KnowledgeTest : public ::testing::Test {
 protected:
  KnowledgeTest() {
    TSpecialitiesFile specialities;
    specialities.catalogueDate = *ParseDayDate("27/05/2026");
    specialities.specialities = {{"11", false, "CPR LP"}, {"12", false, "CPR LP"}, {"13", false, "CPR LP"},
                                 {"14", false, "CPR LP"}, {"21", false, "CPR"},    {"22", false, "CPR"},
                                 {"23", false, "CPR"},    {"31", false, "CAPS"},   {"32", false, "CAPS"},
                                 {"33", true, "CPR"},     {"40", true, "SOL"}};
    specialities.articles = {{"1000011", "11"}, {"1000012", "12"}, {"1000013", "13"}, {"1000014", "14"},
                             {"1000015", "14"}, {"2000021", "21"}, {"2000022", "22"}, {"2000023", "23"},
                             {"3000031", "31"}, {"3000032", "32"}, {"3000033", "33"}, {"4000040", "40"}};
    specialities.groups = {{"1", "11", 0}, {"1", "12", 1}, {"1", "13", 1}, {"1", "14", 1},
                           {"2", "21", 0}, {"2", "22", 1}, {"3", "23", 0}, {"3", "22", 1}};
    TCompositionsFile compositions;
    compositions.records = {
        {"11", "CPR", 1, false, "1", "FUMARATE DE QUETIAPINE", "460 MG", "UN CPR"},
        {"11", "CPR", 1, true, "2", "QUETIAPINE", "400 MG", "UN CPR"},
        {"31", "CAPSULE", 1, false, "3", "IBUPROFENE", "400 MG", "UNE CAPSULE"},
        {"32", "CAPSULE", 1, false, "3", "IBUPROFENE", "400,0 MG", "UNE CAPSULE"},
        {"33", "CPR", 1, false, "3", "IBUPROFENE", "400 MG", "UN CPR"},
        {"21", "CPR", 1, false, "4", "CHLORHYDRATE DE METFORMINE", "500 MG", "UN CPR"},
    };
    TAvailabilityFile availability;
    availability.published = *ParseDayDate("19/05/2026");
    availability.records = {Line("11", "", TAvailabilityStatus::kShortage, "01/04/2026"),
                            Line("13", "", TAvailabilityStatus::kTension, "02/04/2026"),
                            Line("14", "1000015", TAvailabilityStatus::kEnded, "03/04/2026"),
                            Line("12", "", TAvailabilityStatus::kBackInStock, "04/04/2026")};
    std::string error;
    EXPECT_TRUE(WriteSpecialitiesFile(Path(kSpecialitiesFileName), specialities, &error)) << error;
    EXPECT_TRUE(WriteCompositionsFile(Path(kCompositionsFileName), compositions, &error)) << error;
    EXPECT_TRUE(WriteAvailabilityFile(Path(kAvailabilityFileName), availability, &error)) << error;

    // Designations in an order that is not the codes'.
    table = TMyDatabase::CreateFromList(
        {"CIP;Designation;Prix", "1000011;QUETIAPINE PRINCEPS;1", "1000012;QUETIAPINE B;1",
         "1000013;QUETIAPINE A;1", "1000014;QUETIAPINE C B/30;1", "1000015;QUETIAPINE C B/60;1",
         "2000021;METFORMINE 500 P;1", "2000022;METFORMINE G;1", "2000023;METFORMINE 1000 P;1",
         "3000031;IBU CAPS X;1", "3000032;IBU CAPS Y;1", "3000033;IBU CPR;1", "4000040;HOPITAL;1",
         "9999999;INCONNU;1"});
  }

  std::string Path(const char* name) const { return (dir.Path() / name).string(); }

  std::vector<std::string> Codes(const std::vector<int32_t>& records) const {
    std::vector<std::string> codes;
    for (int32_t record : records) codes.push_back(table->DBGetString(0, record));
    return codes;
  }

  std::vector<std::string> Equivalents(const char* cip7) {
    return Codes(knowledge.EquivalentsOf(*table, cip7).records);
  }

  test::TraceRecorder trace;
  TempDir dir;
  std::unique_ptr<TMyDatabase> table;
  TKnowledge knowledge;
};

TEST_F(KnowledgeTest, EachArticleHasItsAvailabilityAndHospitalMark) {
  knowledge.Load(dir.Path().string());
  EXPECT_TRUE(knowledge.SpecialitiesReport().Usable());
  EXPECT_TRUE(knowledge.AvailabilityReport().Usable());
  EXPECT_EQ(FormatDayDate(knowledge.CatalogueDate()), "27/05/2026");
  EXPECT_EQ(FormatDayDate(knowledge.AvailabilityDate()), "19/05/2026");
  EXPECT_EQ(knowledge.AvailabilityOf("1000011").status, TAvailabilityStatus::kShortage);
  EXPECT_EQ(FormatDayDate(knowledge.AvailabilityOf("1000011").since), "01/04/2026");
  EXPECT_EQ(knowledge.AvailabilityOf("1000011").page, "https://ansm/11");
  EXPECT_EQ(knowledge.AvailabilityOf("1000014").status, TAvailabilityStatus::kAvailable);
  EXPECT_EQ(knowledge.AvailabilityOf("1000015").status, TAvailabilityStatus::kEnded);
  EXPECT_EQ(knowledge.AvailabilityOf("1000012").status, TAvailabilityStatus::kBackInStock);
  EXPECT_EQ(knowledge.AvailabilityOf("9999999").status, TAvailabilityStatus::kAvailable);
  EXPECT_EQ(knowledge.AvailabilityOf("").status, TAvailabilityStatus::kAvailable);
  EXPECT_EQ(knowledge.AvailabilityOf("10000111").status, TAvailabilityStatus::kAvailable);
  EXPECT_TRUE(knowledge.IsHospitalOnly("3000033"));
  EXPECT_TRUE(knowledge.IsHospitalOnly("4000040"));
  EXPECT_FALSE(knowledge.IsHospitalOnly("3000031"));
  EXPECT_FALSE(knowledge.IsHospitalOnly("9999999"));
  EXPECT_TRUE(knowledge.KnowsArticle("1000011"));
  EXPECT_FALSE(knowledge.KnowsArticle("9999999"));
  EXPECT_FALSE(knowledge.CompositionsRead()) << "read on first need only";
}

TEST_F(KnowledgeTest, EquivalentsAreTheOtherArticlesOfTheGroupAvailableFirst) {
  knowledge.Load(dir.Path().string());
  const TEquivalents equivalents = knowledge.EquivalentsOf(*table, "1000012");
  EXPECT_EQ(equivalents.basis, TEquivalents::TBasis::kGroups);
  // Available: C B/30 (its sibling B/60 ended); under tension: A; in
  // shortage: the princeps; ended: C B/60. Each rank in designation order.
  EXPECT_EQ(Codes(equivalents.records),
            (std::vector<std::string>{"1000014", "1000013", "1000011", "1000015"}));
  EXPECT_EQ(Equivalents("1000014"), (std::vector<std::string>{"1000012", "1000013", "1000011", "1000015"}))
      << "its own sibling box too, itself not";
  EXPECT_FALSE(knowledge.CompositionsRead()) << "groups need no composition";
}

TEST_F(KnowledgeTest, ASpecialityInTwoGroupsHasTheEquivalentsOfBoth) {
  knowledge.Load(dir.Path().string());
  EXPECT_EQ(Equivalents("2000022"), (std::vector<std::string>{"2000023", "2000021"}));
  EXPECT_EQ(Equivalents("2000021"), (std::vector<std::string>{"2000022"}));
  EXPECT_EQ(Equivalents("2000023"), (std::vector<std::string>{"2000022"}));
}

TEST_F(KnowledgeTest, OutsideAnyGroupTheSameSubstancesDosagesAndFormAreEquivalent) {
  knowledge.Load(dir.Path().string());
  const TEquivalents capsules = knowledge.EquivalentsOf(*table, "3000031");
  EXPECT_EQ(capsules.basis, TEquivalents::TBasis::kComposition);
  EXPECT_EQ(Codes(capsules.records), (std::vector<std::string>{"3000032"})) << "not the tablet";
  EXPECT_TRUE(knowledge.CompositionsRead());
  EXPECT_TRUE(Equivalents("4000040").empty()) << "a speciality without composition";
  const TEquivalents unknown = knowledge.EquivalentsOf(*table, "9999999");
  EXPECT_EQ(unknown.basis, TEquivalents::TBasis::kUnknown);
  EXPECT_TRUE(unknown.records.empty());
}

TEST_F(KnowledgeTest, TheSearchBySubstanceSelectsArticlesInDesignationOrder) {
  knowledge.Load(dir.Path().string());
  EXPECT_TRUE(knowledge.SearchBySubstance(*table, "IBUPROFENE 400"));
  EXPECT_EQ(Codes(table->Selection()), (std::vector<std::string>{"3000031", "3000032", "3000033"}));
  EXPECT_TRUE(knowledge.SearchBySubstance(*table, "QUETIAPINE 400"));
  EXPECT_EQ(Codes(table->Selection()), (std::vector<std::string>{"1000011"}));
  EXPECT_TRUE(knowledge.SearchBySubstance(*table, "FUMARATE 0,4G"));
  EXPECT_EQ(Codes(table->Selection()), (std::vector<std::string>{"1000011"}));
  EXPECT_TRUE(knowledge.SearchBySubstance(*table, "ASPIRINE"));
  EXPECT_EQ(table->SelectionCount(), 0);
  table->QueryAll("Designation");
  EXPECT_FALSE(knowledge.SearchBySubstance(*table, ""));
  EXPECT_EQ(table->SelectionCount(), 13) << "a blank query leaves the selection";
  EXPECT_TRUE(trace.Errors().empty());
}

TEST_F(KnowledgeTest, AnotherTableOrAChangedOneIsTiedToItsArticlesAfresh) {
  knowledge.Load(dir.Path().string());
  knowledge.SearchBySubstance(*table, "IBUPROFENE");
  auto other = TMyDatabase::CreateFromList({"CIP;Designation;Prix", "3000033;B;1", "1000011;A;1"});
  knowledge.SearchBySubstance(*other, "IBUPROFENE");
  ASSERT_EQ(other->SelectionCount(), 1);
  EXPECT_EQ(other->DBGetString(0, other->Selection()[0]), "3000033");
  other->SetData(0, 1, "3000031");
  knowledge.SearchBySubstance(*other, "IBUPROFENE");
  EXPECT_EQ(other->SelectionCount(), 2);
}

TEST_F(KnowledgeTest, WithoutCompositionsTheGroupsStillServe) {
  std::filesystem::remove(Path(kCompositionsFileName));
  knowledge.Load(dir.Path().string());
  EXPECT_TRUE(knowledge.SearchBySubstance(*table, "IBUPROFENE"));
  EXPECT_EQ(table->SelectionCount(), 0);
  EXPECT_EQ(knowledge.CompositionsReport().state, TKnowledgeFileState::kMissing);
  EXPECT_EQ(Equivalents("1000013").size(), 4u);
  EXPECT_TRUE(Equivalents("3000031").empty());
}

TEST_F(KnowledgeTest, WithoutSpecialitiesNothingIsKnownOfAnyArticle) {
  std::filesystem::remove(Path(kSpecialitiesFileName));
  knowledge.Load(dir.Path().string());
  EXPECT_EQ(knowledge.SpecialitiesReport().state, TKnowledgeFileState::kMissing);
  EXPECT_TRUE(knowledge.AvailabilityReport().Usable());
  EXPECT_EQ(knowledge.AvailabilityOf("1000011").status, TAvailabilityStatus::kAvailable)
      << "a speciality's lines cannot be tied to its articles";
  EXPECT_EQ(knowledge.AvailabilityDate(), kNoDate);
  EXPECT_EQ(knowledge.CatalogueDate(), kNoDate);
  EXPECT_EQ(knowledge.EquivalentsOf(*table, "1000011").basis, TEquivalents::TBasis::kUnknown);
}

TEST_F(KnowledgeTest, AnAvailabilityFileCutShortMarksNothingAndLoadingAgainForgets) {
  std::string text = TempDir::Read(Path(kAvailabilityFileName));
  dir.Write(kAvailabilityFileName, text.substr(0, text.size() / 2));
  knowledge.Load(dir.Path().string());
  EXPECT_EQ(knowledge.AvailabilityReport().state, TKnowledgeFileState::kTruncated);
  EXPECT_EQ(knowledge.AvailabilityOf("1000011").status, TAvailabilityStatus::kAvailable);
  EXPECT_EQ(knowledge.AvailabilityDate(), kNoDate);
  EXPECT_FALSE(knowledge.IsHospitalOnly("1000011"));
  EXPECT_TRUE(knowledge.IsHospitalOnly("3000033")) << "the other file still serves";

  TempDir empty;
  knowledge.Load(empty.Path().string());
  EXPECT_FALSE(knowledge.IsHospitalOnly("3000033"));
  EXPECT_FALSE(knowledge.KnowsArticle("1000011"));
}

// The availability can come fresher than the catalogue, from its own file:
// loading with it, or replacing it alone, leaves the catalogue's knowledge.
TEST_F(KnowledgeTest, AFresherAvailabilityFileReplacesTheBundledOne) {
  TAvailabilityFile fresher;
  fresher.published = *ParseDayDate("02/06/2026");
  fresher.records = {Line("11", "", TAvailabilityStatus::kBackInStock, "01/06/2026"),
                     Line("21", "", TAvailabilityStatus::kShortage, "01/06/2026")};
  TempDir other;
  const std::string fresherFile = (other.Path() / kAvailabilityFileName).string();
  std::string error;
  ASSERT_TRUE(WriteAvailabilityFile(fresherFile, fresher, &error)) << error;

  knowledge.Load(dir.Path().string(), fresherFile);
  EXPECT_EQ(knowledge.AvailabilityDate(), *ParseDayDate("02/06/2026"));
  EXPECT_EQ(knowledge.AvailabilityOf("1000011").status, TAvailabilityStatus::kBackInStock);
  EXPECT_EQ(knowledge.AvailabilityOf("2000021").status, TAvailabilityStatus::kShortage);
  EXPECT_EQ(knowledge.AvailabilityOf("1000013").status, TAvailabilityStatus::kAvailable);

  knowledge.LoadAvailability(Path(kAvailabilityFileName));
  EXPECT_EQ(knowledge.AvailabilityDate(), *ParseDayDate("19/05/2026"));
  EXPECT_EQ(knowledge.AvailabilityOf("1000011").status, TAvailabilityStatus::kShortage);
  EXPECT_EQ(knowledge.AvailabilityOf("2000021").status, TAvailabilityStatus::kAvailable);
  EXPECT_TRUE(knowledge.IsHospitalOnly("3000033")) << "the specialities stay read";

  knowledge.LoadAvailability((other.Path() / "absent.txt").string());
  EXPECT_EQ(knowledge.AvailabilityReport().state, TKnowledgeFileState::kMissing);
  EXPECT_EQ(knowledge.AvailabilityOf("1000011").status, TAvailabilityStatus::kAvailable);
  EXPECT_EQ(knowledge.AvailabilityDate(), kNoDate);
}

}  // namespace
}  // namespace quillor
