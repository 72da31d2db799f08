// A floor under the search quality of the bundled catalogue, a little below
// what it reaches, so that a change of the designations (or of the search)
// that makes the approximate search worse is seen. The figures themselves are
// printed by bench/search_quality_bench.
#include <gtest/gtest.h>

#include "database/SearchQuality.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestPaths.h"

namespace quillor::test {
namespace {

constexpr size_t kFloorRightOnFirstScreen = 39;  // of 45; 41 reached
constexpr size_t kFloorRightFirstRow = 31;       // of 45; 33 reached
constexpr size_t kFloorRightRows = 100;          // of 450; 107 reached

TEST(SearchQuality, TheBundledCatalogueStaysAboveItsFloor) {
  std::vector<LabelledQuery> queries;
  ASSERT_TRUE(ReadLabelledQueries((SourceDir() / "bench" / "approx-queries.txt").string(), queries));
  ASSERT_EQ(queries.size(), 45u);
  std::unique_ptr<TMyDatabase> table = LoadArticleFile((DataDir() / "BaseDeDonneeArticles.db").string());
  ASSERT_TRUE(table);
  const SearchQualityFigures figures = MeasureSearchQuality(*table, queries);
  std::string misses;
  for (const QueryOutcome& outcome : figures.outcomes) {
    if (outcome.rightRows == 0) misses += " \"" + outcome.query + "\"";
  }
  EXPECT_GE(figures.rightOnFirstScreen, kFloorRightOnFirstScreen)
      << "no right row on the first screen for" << misses;
  EXPECT_GE(figures.rightFirstRow, kFloorRightFirstRow);
  EXPECT_GE(figures.rightRows, kFloorRightRows);
}

// The measure itself, on a small table whose figures can be counted by hand.
TEST(SearchQuality, TheMeasureCountsRightRowsOfTheFirstScreen) {
  TStringList lines = {"CIP;Designation;Prix", "1;DOLIPRANE 1000MG CPR B/8;1", "2;DOLIPRANE 500MG CPR B/16;1",
                       "3;ADVIL 400MG CPR B/14;2", "4;ZZZZ;3"};
  for (int i = 0; i < 20; ++i) lines.push_back("1" + std::to_string(i) + ";AAAA " + std::to_string(i) + ";1");
  std::unique_ptr<TMyDatabase> table = TMyDatabase::CreateFromList(lines);
  const std::vector<LabelledQuery> queries = {{"doliprane", {"DOLIPRANE"}},
                                              {"advil 400", {"ADVIL", "400"}},
                                              {"\xE9"
                                               "ph\xE9m\xE8re",
                                               {"EPHEMERE"}}};
  const SearchQualityFigures figures = MeasureSearchQuality(*table, queries);
  ASSERT_EQ(figures.outcomes.size(), 3u);
  EXPECT_EQ(figures.outcomes[0].rightRows, 2u);
  EXPECT_TRUE(figures.outcomes[0].firstRowRight);
  EXPECT_EQ(figures.outcomes[1].rightRows, 1u);
  EXPECT_TRUE(figures.outcomes[1].firstRowRight);
  EXPECT_EQ(figures.outcomes[1].firstDesignation, "ADVIL 400MG CPR B/14");
  EXPECT_EQ(figures.outcomes[2].rightRows, 0u);
  EXPECT_EQ(figures.queries, 3u);
  EXPECT_EQ(figures.rightOnFirstScreen, 2u);
  EXPECT_EQ(figures.rightFirstRow, 2u);
  EXPECT_EQ(figures.rightRows, 3u);
}

TEST(SearchQuality, LabelledQueriesAreReadAsUtf8AndMalformedFilesRefused) {
  TempDir dir;
  std::vector<LabelledQuery> queries;
  ASSERT_TRUE(ReadLabelledQueries(
      dir.Write("q.txt", "# comment\nprimp\xC3\xA9ran 10|PRIMPERAN 10\n\n").string(), queries));
  ASSERT_EQ(queries.size(), 1u);
  EXPECT_EQ(queries[0].query, "primp\xE9ran 10");
  EXPECT_EQ(queries[0].wanted, (std::vector<std::string>{"PRIMPERAN", "10"}));
  EXPECT_FALSE(ReadLabelledQueries(dir.Write("bad.txt", "no bar here\n").string(), queries));
  EXPECT_FALSE(ReadLabelledQueries(dir.Write("empty.txt", "x|\n").string(), queries));
  EXPECT_FALSE(ReadLabelledQueries((dir.Path() / "none.txt").string(), queries));
}

}  // namespace
}  // namespace quillor::test
