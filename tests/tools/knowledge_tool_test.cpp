// The catalogue tool and the knowledge files: the import writes them beside
// the article file from the publication's other files.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "knowledge/KnowledgeFiles.h"
#include "tests/support/KnowledgeFileRecords.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestPaths.h"
#include "tests/tools/ToolRun.h"
#include "update/AvailabilityInUse.h"

namespace quillor {
namespace {

using test::Fixture;
using test::ReadSpecialitiesFile;
using test::RunTool;
using test::TempDir;
using test::ToolRun;
using ::testing::HasSubstr;

// The cut export lines copied into a folder of their own, all files or
// those named.
std::filesystem::path CopyOfFixtures(const TempDir& dir, const std::vector<std::string>& names) {
  const std::filesystem::path folder = dir.Path() / "publication";
  std::filesystem::create_directories(folder);
  for (const std::string& name : names) std::filesystem::copy_file(Fixture("2026-05", name), folder / name);
  return folder;
}

const std::vector<std::string> kAllFixtures = {"CIS_bdpm.txt",           "CIS_CIP_bdpm.txt",
                                               "CIS_COMPO_bdpm.txt",     "CIS_GENER_bdpm.txt",
                                               "CIS_CIP_Dispo_Spec.txt", "CIS_CPD_bdpm.txt"};

ToolRun Import(const std::filesystem::path& publication, const std::filesystem::path& db,
               std::vector<std::string> more = {}) {
  std::vector<std::string> args = {"import", (publication / "CIS_bdpm.txt").string(),
                                   (publication / "CIS_CIP_bdpm.txt").string(), "-o", db.string()};
  args.insert(args.end(), more.begin(), more.end());
  return RunTool(args);
}

TEST(KnowledgeTool, ImportWritesTheKnowledgeFilesBesideTheArticleFile) {
  TempDir dir;
  const std::filesystem::path publication = CopyOfFixtures(dir, kAllFixtures);
  std::filesystem::create_directories(dir.Path() / "Data");
  const std::filesystem::path db = dir.Path() / "Data" / "Articles.db";
  const ToolRun run = Import(publication, db, {"--availability-date", "19/05/2026"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_THAT(run.out,
              HasSubstr((publication / "CIS_COMPO_bdpm.txt").string() + ": Windows-1252, CR LF, 51 lines; "));
  EXPECT_THAT(run.out, HasSubstr("3 generic groups with an article, 42 lines naming no speciality"));
  EXPECT_THAT(run.out, HasSubstr("48 conditions"));
  EXPECT_THAT(run.out, HasSubstr("8 kept, 6 naming no speciality"));
  EXPECT_THAT(run.out, HasSubstr("dated 19/05/2026"));
  for (const char* name : {kSpecialitiesFileName, kCompositionsFileName, kAvailabilityFileName}) {
    EXPECT_THAT(run.out, HasSubstr("written: " + (dir.Path() / "Data" / name).string())) << name;
  }
  TAvailabilityFile availability;
  ASSERT_TRUE(
      ReadAvailabilityFile((dir.Path() / "Data" / kAvailabilityFileName).string(), availability).Usable());
  EXPECT_EQ(FormatDayDate(availability.published), "19/05/2026");
  EXPECT_EQ(availability.records.size(), 8u);
  TSpecialitiesFile specialities;
  ASSERT_TRUE(
      ReadSpecialitiesFile((dir.Path() / "Data" / kSpecialitiesFileName).string(), specialities).Usable());
  EXPECT_EQ(specialities.articles.size(), test::Records(RunTool({"decode", db.string()}).out).size() - 1);
}

TEST(KnowledgeTool, AMissingFileLeavesItsKnowledgeFileAsItWasAndTheRestWorks) {
  TempDir dir;
  const std::filesystem::path publication =
      CopyOfFixtures(dir, {"CIS_bdpm.txt", "CIS_CIP_bdpm.txt", "CIS_COMPO_bdpm.txt"});
  const std::filesystem::path db = dir.Path() / "Articles.db";
  const auto keptAvailability = dir.Write(kAvailabilityFileName, "the availability of last week");
  const ToolRun run = Import(publication, db);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_THAT(run.out, HasSubstr((publication / "CIS_CIP_Dispo_Spec.txt").string() + ": no such file"));
  EXPECT_THAT(run.out, HasSubstr((publication / "CIS_GENER_bdpm.txt").string() + ": no such file"));
  EXPECT_THAT(run.out, HasSubstr("no generic group"));
  EXPECT_THAT(run.out,
              HasSubstr((dir.Path() / kAvailabilityFileName).string() + ": not written (left as it was)"));
  EXPECT_EQ(TempDir::Read(keptAvailability), "the availability of last week");
  EXPECT_TRUE(std::filesystem::exists(dir.Path() / kSpecialitiesFileName));
  EXPECT_TRUE(std::filesystem::exists(dir.Path() / kCompositionsFileName));
  EXPECT_TRUE(std::filesystem::exists(db));
}

TEST(KnowledgeTool, AnAvailabilityDateMustBeADay) {
  TempDir dir;
  const std::filesystem::path publication = CopyOfFixtures(dir, kAllFixtures);
  for (const char* date : {"2026-05-19", "31/02/2026", ""}) {
    const ToolRun run = Import(publication, dir.Path() / "a.db", {"--availability-date", date});
    EXPECT_EQ(run.status, 2) << date;
    EXPECT_THAT(run.err, HasSubstr("--availability-date needs a date"));
  }
  EXPECT_EQ(Import(publication, dir.Path() / "a.db", {"--availability-date"}).status, 2);
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / "a.db"));
}

TEST(KnowledgeTool, AKnowledgeFileThatCannotBeWrittenFailsTheImport) {
  TempDir dir;
  const std::filesystem::path publication = CopyOfFixtures(dir, kAllFixtures);
  // A folder where the availability file should go.
  std::filesystem::create_directories(dir.Path() / kAvailabilityFileName / "inside");
  const ToolRun run = Import(publication, dir.Path() / "a.db");
  EXPECT_EQ(run.status, 1);
  EXPECT_THAT(run.err, HasSubstr((dir.Path() / kAvailabilityFileName).string()));
  EXPECT_TRUE(std::filesystem::exists(dir.Path() / "a.db")) << "the article file was written before";
}

// --- substance, equivalents, availability on the bundled Data/ -----------------------------

const std::vector<std::string> kStatusWords = {"rupture", "tension", "arret", "remise", "disponible"};

TEST(KnowledgeTool, SubstanceListsTheArticlesOfTheSubstanceAtThatDosageInDesignationOrder) {
  const ToolRun run = RunTool({"substance", "parac\xC3\xA9tamol", "1000"});
  ASSERT_EQ(run.status, 0) << run.err;
  const auto records = test::Records(run.out);
  ASSERT_GT(records.size(), 30u);
  std::vector<std::string> designations;
  for (const auto& record : records) {
    ASSERT_EQ(record.size(), 3u);
    designations.push_back(record[1]);
  }
  EXPECT_TRUE(std::is_sorted(designations.begin(), designations.end()));
  for (const char* expected : {"DOLIPRANE 1000MG CPR B/8", "DAFALGAN 1000MG CPR B/8",
                               "EFFERALGAN 1000MG CPR B/8", "PARACETAMOL BIOGARAN 1G CPR B/8"}) {
    EXPECT_NE(std::find(designations.begin(), designations.end(), expected), designations.end()) << expected;
  }
  EXPECT_EQ(std::find(designations.begin(), designations.end(), "DOLIPRANE 500MG CPR B/16"),
            designations.end());
  // The same query in grams, and nothing for a substance no speciality holds.
  EXPECT_EQ(RunTool({"substance", "PARACETAMOL", "1G"}).out,
            RunTool({"substance", "paracetamol", "1000", "mg"}).out);
  const ToolRun none = RunTool({"substance", "xyzzy"});
  EXPECT_EQ(none.status, 0);
  EXPECT_EQ(none.out, "");
}

TEST(KnowledgeTool, EquivalentsAreListedWithTheirStatusWhateverTheCodesForm) {
  const ToolRun run = RunTool({"equivalents", "3010124"});
  ASSERT_EQ(run.status, 0) << run.err;
  const auto records = test::Records(run.out);
  ASSERT_GT(records.size(), 10u);
  bool princeps = false;
  for (const auto& record : records) {
    ASSERT_EQ(record.size(), 4u);
    EXPECT_NE(record[0], "3010124") << "not itself";
    EXPECT_NE(std::find(kStatusWords.begin(), kStatusWords.end(), record[3]), kStatusWords.end())
        << record[3];
    EXPECT_THAT(record[1], HasSubstr("400"));
    princeps = princeps || record[1].rfind("XEROQUEL LP 400MG", 0) == 0;
  }
  EXPECT_TRUE(princeps);
  // Its CIP13, with and without ]E0, and its DataMatrix: the same list.
  for (const char* code : {"3400930101247", "]E03400930101247", "]d201034009301012471726123110LOT1"}) {
    EXPECT_EQ(RunTool({"equivalents", code}).out, run.out) << code;
  }
}

TEST(KnowledgeTool, AvailabilityGivesStatusSinceAndPageForEachCode) {
  const ToolRun run = RunTool({"availability", "3010124", "3595583", "3400935955838"});
  ASSERT_EQ(run.status, 0) << run.err;
  const auto records = test::Records(run.out);
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0][0], "3010124");
  EXPECT_EQ(records[0][1], "tension");
  EXPECT_EQ(records[0][2], "16/09/2024");
  EXPECT_EQ(records[0][3].rfind("https://ansm.sante.fr/", 0), 0u);
  EXPECT_EQ(records[1], (std::vector<std::string>{"3595583", "disponible", "", ""}));
  EXPECT_EQ(records[2], records[1]) << "the CIP13 of the same box";
}

// As the window: a fresher availability fetched on its own is the one told;
// an article file named by --db is told with the availability beside it.
TEST(KnowledgeTool, TheAvailabilityToldIsTheOneTheWindowShows) {
  TempDir data;
  TAvailabilityFile fresher;
  fresher.published = *ParseDayDate("02/06/2026");
  fresher.records = {{"60234100", "", TAvailabilityStatus::kShortage, *ParseDayDate("01/06/2026"),
                      *ParseDayDate("02/06/2026"), kNoDate, "https://ansm.sante.fr/doliprane"}};
  const std::string stored = update::RefreshedAvailabilityFile(data.Path().string());
  std::filesystem::create_directories(std::filesystem::path(stored).parent_path());
  std::string error;
  ASSERT_TRUE(WriteAvailabilityFile(stored, fresher, &error)) << error;

  const ToolRun run = RunTool({"availability", "--data", data.Path().string(), "3595583", "3010124"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(test::Records(run.out),
            (std::vector<std::vector<std::string>>{
                {"3595583", "rupture", "01/06/2026", "https://ansm.sante.fr/doliprane"},
                {"3010124", "disponible", "", ""}}))
      << "the fresher file replaces the bundled one";
  const ToolRun beside = RunTool({"availability", "--db", "Data/BaseDeDonneeArticles.db", "3595583"});
  EXPECT_EQ(beside.out, "3595583;disponible;;\n");
}

TEST(KnowledgeTool, CodesThatNameNoArticleAreSaidAndFail) {
  const ToolRun run = RunTool({"availability", "3595583", "1234567", "3400935955839", "ASPIRINE"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(test::Records(run.out),
            (std::vector<std::vector<std::string>>{{"3595583", "disponible", "", ""}}))
      << "the good code is still answered";
  EXPECT_THAT(run.err, HasSubstr("1234567: no article of that code"));
  EXPECT_THAT(run.err, HasSubstr("Code illisible : 3400935955839"));
  EXPECT_THAT(run.err, HasSubstr("ASPIRINE: not a box's code"));
  const ToolRun equivalents = RunTool({"equivalents", "1234567"});
  EXPECT_EQ(equivalents.status, 1);
  EXPECT_EQ(equivalents.out, "");
  EXPECT_EQ(RunTool({"equivalents", "3401560123456"}).status, 1) << "a product that is no medicine";
}

TEST(KnowledgeTool, BadUsageExitsWithTwo) {
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"substance"},
                                             {"equivalents"},
                                             {"availability"},
                                             {"equivalents", "3010124", "3595583"},
                                             {"availability", "--db"},
                                             {"substance", "--fast", "x"}}) {
    const ToolRun run = RunTool(args);
    EXPECT_EQ(run.status, 2) << ::testing::PrintToString(args);
    EXPECT_THAT(run.err, HasSubstr("usage: quillor-catalogue"));
  }
}

TEST(KnowledgeTool, WithoutTheKnowledgeFilesTheCommandsFailNamingTheFile) {
  TempDir dir;
  const std::filesystem::path db = dir.Path() / "Articles.db";
  std::filesystem::copy_file("Data/BaseDeDonneeArticles.db", db);
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"substance", "--db", db.string(), "paracetamol"},
                                             {"equivalents", "--db", db.string(), "3595583"},
                                             {"availability", "--db", db.string(), "3595583"}}) {
    const ToolRun run = RunTool(args);
    EXPECT_EQ(run.status, 1) << ::testing::PrintToString(args);
    EXPECT_THAT(run.err, HasSubstr((dir.Path() / kSpecialitiesFileName).string() + ": no such file"));
  }
  // One cut short is not used either.
  std::filesystem::copy_file("Data/" + std::string(kSpecialitiesFileName),
                             dir.Path() / kSpecialitiesFileName);
  const std::string availability = TempDir::Read("Data/" + std::string(kAvailabilityFileName));
  dir.Write(kAvailabilityFileName, availability.substr(0, availability.size() / 2));
  const ToolRun cut = RunTool({"availability", "--db", db.string(), "3595583"});
  EXPECT_EQ(cut.status, 1);
  EXPECT_THAT(cut.err, HasSubstr(kAvailabilityFileName + std::string(": cut short")));
  const ToolRun missing = RunTool({"substance", "--db", (dir.Path() / "none.db").string(), "x"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_THAT(missing.err, HasSubstr("none.db: no such file"));
}

TEST(KnowledgeTool, SearchReadsAnEan13WithItsSymbologyIdentifier) {
  const ToolRun run = RunTool({"search", "]E03400935955838"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "3595583;DOLIPRANE 1000MG CPR B/8;1,16\n");
  const ToolRun wrong = RunTool({"search", "]E0340093595583"});
  EXPECT_EQ(wrong.status, 1);
  EXPECT_THAT(wrong.err, HasSubstr("EAN-13"));
}

}  // namespace
}  // namespace quillor
