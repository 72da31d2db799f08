// The catalogue tool and the knowledge files: the import writes them beside
// the article file from the publication's other files.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "KnowledgeFiles.h"
#include "TempDir.h"
#include "TestPaths.h"
#include "ToolRun.h"

namespace quillor {
namespace {

using test::Fixture;
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

}  // namespace
}  // namespace quillor
