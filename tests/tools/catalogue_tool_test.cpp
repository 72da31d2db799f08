#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "StringManager.h"
#include "TempDir.h"
#include "TestPaths.h"
#include "TextLines.h"

namespace quillor {
namespace {

using ::testing::HasSubstr;

struct ToolRun {
  int status = -1;
  std::string out;
  std::string err;
};

std::string Quoted(const std::string& arg) {
  std::string q = "'";
  for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// Runs the tool from the test's working directory (bin/, beside Data/).
ToolRun RunTool(const std::vector<std::string>& args) {
  static test::TempDir outputs;
  const auto outFile = outputs.Path() / "out";
  const auto errFile = outputs.Path() / "err";
  std::string command = Quoted(QUILLOR_CATALOGUE_TOOL);
  for (const std::string& arg : args) command += " " + Quoted(arg);
  command += " >" + Quoted(outFile.string()) + " 2>" + Quoted(errFile.string());
  ToolRun run;
  const int raw = std::system(command.c_str());
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.out = test::TempDir::Read(outFile);
  run.err = test::TempDir::Read(errFile);
  return run;
}

std::vector<std::vector<std::string>> Records(const std::string& out) {
  std::vector<std::vector<std::string>> records;
  for (const std::string& line : SplitLines(out)) {
    std::vector<std::string> fields;
    for (int32_t i = 1; i <= TStringManager::WordCount(line, ';'); ++i) {
      fields.push_back(TStringManager::GetWord(line, i, ';'));
    }
    records.push_back(fields);
  }
  return records;
}

TEST(CatalogueTool, BadUsageExitsWithTwoAndExplains) {
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{},
                                             {"frobnicate"},
                                             {"search"},
                                             {"search", "--approx"},
                                             {"search", "--fast", "x"},
                                             {"encode", "a.csv"},
                                             {"encode", "a.csv", "-o"},
                                             {"decode"},
                                             {"decode", "a.db", "b.db"},
                                             {"search", "--db"}}) {
    const ToolRun run = RunTool(args);
    EXPECT_EQ(run.status, 2) << ::testing::PrintToString(args);
    EXPECT_THAT(run.err, HasSubstr("usage: quillor-catalogue"));
    EXPECT_EQ(run.out, "");
  }
  const ToolRun help = RunTool({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_THAT(help.out,
              HasSubstr("quillor-catalogue encode bdpm-catalogue.csv -o data/BaseDeDonneeArticles.db"));
}

TEST(CatalogueTool, MissingFilesAreNamedAndFail) {
  test::TempDir dir;
  const std::string missing = (dir.Path() / "nothing.db").string();
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"decode", missing},
                                             {"encode", missing, "-o", (dir.Path() / "x.db").string()},
                                             {"search", "--db", missing, "aspirine"},
                                             {"decode", dir.Path().string()}}) {
    const ToolRun run = RunTool(args);
    EXPECT_EQ(run.status, 1) << ::testing::PrintToString(args);
    EXPECT_THAT(run.err, HasSubstr(args[1] == "--db" ? missing : args[1]));
  }
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / "x.db"));
}

TEST(CatalogueTool, EncodeThenDecodeGivesThePlainLinesBackWithCrLf) {
  test::TempDir dir;
  const auto plain =
      dir.Write("plain.csv", "CIP;Designation;Prix\n1;cr\xE8me \xC9T\xC9;1,00\r\n\r2;\\n;\r\n");
  const std::string db = (dir.Path() / "out.db").string();
  const ToolRun encode = RunTool({"encode", plain.string(), "-o", db});
  ASSERT_EQ(encode.status, 0) << encode.err;
  const std::string stored = test::TempDir::Read(db);
  EXPECT_EQ(stored.find("CIP"), std::string::npos);  // scrambled
  EXPECT_EQ(std::count(stored.begin(), stored.end(), '\n'), 4);
  const ToolRun decode = RunTool({"decode", db});
  ASSERT_EQ(decode.status, 0) << decode.err;
  EXPECT_EQ(decode.out, "CIP;Designation;Prix\r\n1;cr\xE8me \xC9T\xC9;1,00\r\n\r\n2;\\n;\r\n");
}

TEST(CatalogueTool, UnstorableCharacterIsRefusedWithItsPlaceAndNothingIsWritten) {
  test::TempDir dir;
  const auto target = dir.Write("kept.db", "old content");
  const auto plain = dir.Write("bad.csv",
                               "CIP;Designation\r\n1;AB\x8B"
                               "C\r\n");
  const ToolRun run = RunTool({"encode", plain.string(), "-o", target.string()});
  EXPECT_EQ(run.status, 1);
  EXPECT_THAT(run.err, HasSubstr("bad.csv:2:5:"));
  EXPECT_THAT(run.err, HasSubstr("0x8B"));
  EXPECT_EQ(test::TempDir::Read(target), "old content");

  const auto withNul = dir.Write("nul.csv", std::string("A\rB\0C", 5));
  const ToolRun nul = RunTool({"encode", withNul.string(), "-o", target.string()});
  EXPECT_EQ(nul.status, 1);
  EXPECT_THAT(nul.err, HasSubstr("nul.csv:2:2:"));
  EXPECT_EQ(test::TempDir::Read(target), "old content");
  EXPECT_EQ(
      std::distance(std::filesystem::directory_iterator(dir.Path()), std::filesystem::directory_iterator()),
      3);
}

TEST(CatalogueTool, BundledFileDecodesToTheSharedCatalogue) {
  const ToolRun run = RunTool({"decode", "Data/BaseDeDonneeArticles.db"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, test::TempDir::Read(test::RealCatalogue()));
}

// The articles whose designation holds every word, read straight from the
// plain catalogue: an oracle independent of the table.
std::vector<std::vector<std::string>> CatalogueWith(const std::vector<std::string>& words) {
  std::vector<std::vector<std::string>> found;
  TStringList lines = SplitLines(test::TempDir::Read(test::RealCatalogue()));
  for (size_t i = 1; i < lines.size(); ++i) {
    const std::string designation = TStringManager::GetWord(lines[i], 2, ';');
    if (std::all_of(words.begin(), words.end(),
                    [&](const std::string& w) { return designation.find(w) != std::string::npos; })) {
      found.push_back({TStringManager::GetWord(lines[i], 1, ';'), designation,
                       TStringManager::GetWord(lines[i], 3, ';')});
    }
  }
  std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a[1] < b[1]; });
  return found;
}

TEST(CatalogueTool, ExactSearchOnTheBundledCatalogue) {
  const ToolRun run = RunTool({"search", "aspirine", "500"});
  ASSERT_EQ(run.status, 0) << run.err;
  const auto records = Records(run.out);
  const auto expected = CatalogueWith({"ASPIRINE", "500"});
  ASSERT_GT(expected.size(), 5u);
  EXPECT_EQ(records, expected);
  EXPECT_EQ(Records(RunTool({"search", "500", "ASPIRINE"}).out), expected);
  EXPECT_EQ(Records(RunTool({"search", "  \xE2spirine ", "500"}).out), expected);
}

TEST(CatalogueTool, ApproximateSearchWithScoresOnTheBundledCatalogue) {
  const ToolRun run = RunTool({"search", "--approx", "--scores", "doliprane"});
  ASSERT_EQ(run.status, 0) << run.err;
  const auto records = Records(run.out);
  ASSERT_EQ(records.size(), 20501u);
  double previous = 101.0;
  std::string previousDesignation;
  for (size_t i = 0; i < records.size(); ++i) {
    ASSERT_EQ(records[i].size(), 4u) << i;
    const double score = std::strtod(records[i][3].c_str(), nullptr);
    ASSERT_LE(score, previous) << i;
    // Equal scores: the later designation in index order comes first.
    if (score == previous) {
      ASSERT_GE(previousDesignation, records[i][1]) << i;
    }
    if (i % 97 == 0) {
      char expected[40];
      std::snprintf(expected, sizeof expected, "%.17g",
                    TStringManager::StringSimilarity("DOLIPRANE", records[i][1]));
      EXPECT_EQ(records[i][3], expected) << records[i][1];
    }
    previous = score;
    previousDesignation = records[i][1];
  }
}

TEST(CatalogueTool, InvalidPatternFails) {
  const ToolRun run = RunTool({"search", "aspirine", "(500"});
  EXPECT_EQ(run.status, 1);
  EXPECT_THAT(run.err, HasSubstr("TPcreRegEx.Compile() - Error in regex"));
  EXPECT_EQ(run.out, "");
}

}  // namespace
}  // namespace quillor
