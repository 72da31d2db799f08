#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "database/Database.h"
#include "regex/PcreRegEx.h"
#include "tests/database/TableFixtures.h"
#include "tests/support/TestPaths.h"
#include "tests/support/TraceRecorder.h"
#include "text/StringManager.h"

namespace quillor {
namespace {

using test::SelectedValues;
using test::TableOf;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::unique_ptr<TMyDatabase> Designations(const std::vector<std::string>& values) {
  std::vector<std::string> lines{"CIP;Designation;Prix"};
  for (size_t i = 0; i < values.size(); ++i)
    lines.push_back(std::to_string(1000 + i) + ";" + values[i] + ";1,00");
  return TableOf(lines);
}

TEST(QueryAll, SelectsEveryRecordInIndexOrder) {
  test::TraceRecorder trace;
  auto table = Designations({"DOLIPRANE", "ASPIRINE", "BIAFINE"});
  table->QueryAll("Designation");
  EXPECT_THAT(table->Selection(), ElementsAre(1, 2, 0));
  table->QueryAll(0);
  EXPECT_THAT(table->Selection(), ElementsAre(0, 1, 2));
  EXPECT_THAT(trace.Errors(), IsEmpty());
}

TEST(QueryAll, UnknownFieldSelectsLiveRecordsInRecordOrder) {
  test::TraceRecorder trace;
  auto table = Designations({"B", "A"});
  table->QueryAll("designation");
  EXPECT_THAT(table->Selection(), ElementsAre(0, 1));
  EXPECT_THAT(trace.Errors(),
              ElementsAre("TMyDatabase.GetFieldPos:impossible de trouver le champ designation"));
}

TEST(QueryAll, EmptyTableGivesATraceLineAndNoBox) {
  test::TraceRecorder trace;
  TMyDatabase empty;
  empty.QueryAll(-1);
  EXPECT_EQ(empty.SelectionCount(), 0);
  auto headerOnly = TableOf({"A"});
  headerOnly->QueryAll("A");  // the field has an (empty) index: no line
  headerOnly->QueryAll(-1);
  EXPECT_THAT(trace.Errors(), IsEmpty());
  const auto lines = trace.Lines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "TMyDatabase.QueryAll: Requete sur base vide"), 2);
}

TEST(QueryModes, PatternModesFollowTheirAnchors) {
  test::TraceRecorder trace;
  auto table = Designations({"XABCY", "ABC", "XAB", "", "abc"});
  table->Query("Designation", "ABC", 0);
  EXPECT_THAT(SelectedValues(*table, 1), ElementsAre("ABC"));
  table->Query("Designation", "ABC", 4);
  EXPECT_THAT(SelectedValues(*table, 1), ElementsAre("ABC", "XABCY"));
  table->Query("Designation", "^X", 2);
  EXPECT_THAT(SelectedValues(*table, 1), ElementsAre("XAB", "XABCY"));
  table->Query("Designation", "XABCY", 5);
  EXPECT_THAT(SelectedValues(*table, 1), ElementsAre("", "ABC", "XAB", "XABCY"));
  table->Query("Designation", "A.C", 4);  // "." keeps its meaning
  EXPECT_THAT(SelectedValues(*table, 1), ElementsAre("ABC", "XABCY"));
  for (uint8_t mode : {6, 200}) {
    table->Query("Designation", "ABC", mode);
    EXPECT_EQ(table->SelectionCount(), 0);
    EXPECT_THAT(table->StepResult(), IsEmpty());
  }
  EXPECT_THAT(trace.Errors(), IsEmpty());
}

TEST(QueryModes, ModeFiveTestsEveryValueAsAPatternAndRaisesForABadOne) {
  auto table = Designations({"A(", "B"});
  EXPECT_THROW(table->Query("Designation", "xB", 5), ERegExError);
  EXPECT_EQ(table->SelectionCount(), 0);
  table->QueryAll("Designation");
  EXPECT_THROW(table->QueryAnd("Designation", "xB", 5), ERegExError);
  EXPECT_EQ(table->SelectionCount(), 2);
}

TEST(QueryModes, RankingListsEveryRecordByDecreasingSimilarityLaterEntryFirstOnTies) {
  test::TraceRecorder trace;
  // ABD and ABE score alike against ABC; XYZ shares nothing and still comes last.
  auto table = Designations({"XYZ", "ABE", "ABC", "ABD", "ABCD"});
  table->Query("Designation", "ABC", 3);
  EXPECT_THAT(SelectedValues(*table, 1), ElementsAre("ABC", "ABCD", "ABE", "ABD", "XYZ"));
  EXPECT_DOUBLE_EQ(TStringManager::StringSimilarity("ABC", "XYZ"), 0.0);
  EXPECT_THAT(trace.Errors(), IsEmpty());
}

TEST(QueryModes, RankingMatchesTheWrittenInsertionOnManyTies) {
  std::vector<std::string> values;
  for (int i = 0; i < 60; ++i) values.push_back(std::string(1 + i % 4, static_cast<char>('A' + i % 3)) + "B");
  auto table = Designations(values);
  table->Query("Designation", "AB", 3);
  // The insertion as written: before the first entry whose score is not greater.
  struct Ranked {
    double score;
    int32_t record;
  };
  std::vector<Ranked> expected;
  for (const TPairOfStringInt& entry : *table->IndexList(1)) {
    const double s = TStringManager::StringSimilarity("AB", entry.fString);
    size_t p = 0;
    while (p < expected.size() && expected[p].score > s) ++p;
    expected.insert(expected.begin() + static_cast<std::ptrdiff_t>(p), {s, entry.fInt});
  }
  std::vector<int32_t> expectedRecords;
  for (const Ranked& r : expected) expectedRecords.push_back(r.record);
  EXPECT_EQ(table->Selection(), expectedRecords);
}

// Large enough to be scored on two threads.
TEST(QueryModes, RankingOfALargeRealIndexMatchesTheWrittenInsertion) {
  TStringList lines;
  ASSERT_TRUE(ReadFileLines(test::RealCatalogue().string(), lines));
  lines.resize(6001);
  auto table = TableOf(lines);
  const std::string query = "DOLIPRANE 1000";
  table->Query("Designation", query, 3);
  std::vector<std::pair<double, int32_t>> expected;
  for (const TPairOfStringInt& entry : *table->IndexList(1)) {
    const double s = TStringManager::StringSimilarity(query, entry.fString);
    size_t p = 0;
    while (p < expected.size() && expected[p].first > s) ++p;
    expected.insert(expected.begin() + static_cast<std::ptrdiff_t>(p), {s, entry.fInt});
  }
  std::vector<int32_t> expectedRecords;
  for (const auto& r : expected) expectedRecords.push_back(r.second);
  EXPECT_EQ(table->Selection(), expectedRecords);
}

TEST(QueryModes, PrefixRunsByBisection) {
  test::TraceRecorder trace;
  auto table = Designations({"B", "ABD", "AB", "ABC"});
  const TIndexList* list = table->IndexList(1);
  EXPECT_EQ(table->DichotomicFindFirst(list, "AB", 0, 3), std::make_pair(0, 2));
  EXPECT_EQ(table->DichotomicFindFirst(list, "ABX", 0, 3), std::make_pair(0, 0));
  EXPECT_EQ(table->DichotomicFindFirst(list, "C", 0, 3), std::make_pair(-1, -1));
  EXPECT_EQ(table->DichotomicFindFirst(list, "0", 0, 3), std::make_pair(-1, -1));
  // The run is widened beyond the given bounds.
  EXPECT_EQ(table->DichotomicFindFirst(list, "A", 1, 1), std::make_pair(0, 2));
  table->Query("Designation", "ABC", 1);
  EXPECT_THAT(SelectedValues(*table, 1), ElementsAre("AB", "ABC"));
  EXPECT_THAT(trace.Errors(), IsEmpty());
}

TEST(QueryModes, PrefixRunIsFoundWhereverItLiesInALongIndex) {
  std::vector<std::string> values;
  for (char c = 'A'; c <= 'Z'; ++c) {
    for (int i = 0; i < 7; ++i)
      values.push_back(std::string(1, c) + std::string(1, static_cast<char>('a' + i)));
  }
  auto table = Designations(values);
  const TIndexList* list = table->IndexList(1);
  for (char c = 'A'; c <= 'Z'; ++c) {
    const int32_t first = (c - 'A') * 7;
    EXPECT_EQ(table->DichotomicFindFirst(list, std::string(1, c), 0, 181), std::make_pair(first, first + 6))
        << c;
    EXPECT_EQ(table->DichotomicFindFirst(list, std::string(1, c) + "c", 0, 181),
              std::make_pair(first + 2, first + 2));
  }
}

TEST(QueryModes, BisectionReportsAMissingListAndBadBounds) {
  test::TraceRecorder trace;
  auto table = Designations({"A", "B"});
  EXPECT_EQ(table->DichotomicFindFirst(nullptr, "A", 0, 1), std::make_pair(-1, -1));
  EXPECT_EQ(table->DichotomicFindFirst(table->IndexList(1), "A", 1, 0), std::make_pair(-1, -1));
  EXPECT_EQ(table->DichotomicFindFirst(table->IndexList(1), "A", 0, 2), std::make_pair(-1, -1));
  auto empty = TableOf({"Designation"});
  empty->Query("Designation", "A", 1);
  EXPECT_EQ(empty->SelectionCount(), 0);
  EXPECT_THAT(trace.Errors(),
              ElementsAre("TMyDatabase.DichotomicFindFirst:liste index non assignee",
                          "TMyDatabase.DichotomicFindFirst:Paire Start / Finish non valide : 1,0",
                          "TMyDatabase.DichotomicFindFirst:Paire Start / Finish non valide : 0,2",
                          "TMyDatabase.DichotomicFindFirst:Paire Start / Finish non valide : 0,-1"));
}

TEST(QueryAnd, NarrowsInTheSelectionsOrder) {
  test::TraceRecorder trace;
  auto table = Designations({"CA", "BA", "AB", "AC", "BB"});
  table->Query("Designation", "A", 3);  // a ranking order, not the index order
  const std::vector<int32_t> ranked = table->Selection();
  table->QueryAnd("Designation", "^.*A.*$", 2);
  std::vector<int32_t> expected;
  for (int32_t r : ranked) {
    if (table->DBGetString(1, r).find('A') != std::string::npos) expected.push_back(r);
  }
  EXPECT_EQ(table->Selection(), expected);
  table->QueryAnd("Designation", "^.*C.*$", 2);
  EXPECT_THAT(SelectedValues(*table, 1), ::testing::UnorderedElementsAre("CA", "AC"));
  EXPECT_THAT(trace.Errors(), IsEmpty());
}

TEST(QueryAnd, EmptySelectionRunsNoSearch) {
  test::TraceRecorder trace;
  auto table = Designations({"A"});
  table->Query("Designation", "Z", 0);
  ASSERT_EQ(table->SelectionCount(), 0);
  // Neither the unknown field nor the bad pattern is looked at.
  table->QueryAnd("Nope", "(", 2);
  EXPECT_EQ(table->SelectionCount(), 0);
  EXPECT_THAT(trace.Errors(), IsEmpty());
}

TEST(QueryAnd, UnknownFieldEmptiesTheSelectionAndABadPatternKeepsIt) {
  test::TraceRecorder trace;
  auto table = Designations({"A", "B"});
  table->QueryAll("Designation");
  EXPECT_THROW(table->QueryAnd("Designation", "^.*(.*$", 2), ERegExError);
  EXPECT_THAT(table->Selection(), ElementsAre(0, 1));
  EXPECT_THROW(table->Query("Designation", "[", 2), ERegExError);
  EXPECT_EQ(table->SelectionCount(), 0);
  table->QueryAll("Designation");
  table->QueryAnd("Nom", "A", 2);
  EXPECT_EQ(table->SelectionCount(), 0);
  EXPECT_THAT(trace.Errors(), ElementsAre("TMyDatabase.GetFieldPos:impossible de trouver le champ Nom"));
}

TEST(QueryAnd, RankingNarrowsNothing) {
  auto table = Designations({"B", "A", "C"});
  table->Query("Designation", "^[AB]$", 2);
  table->QueryAnd("Designation", "ZZZ", 3);
  EXPECT_THAT(SelectedValues(*table, 1), ElementsAre("A", "B"));
}

TEST(QueryAnd, StaleIndexIsRebuiltByTheStep) {
  auto table = Designations({"A", "B"});
  table->QueryAll("Designation");
  table->SetData(1, 1, "XA");
  table->QueryAnd("Designation", "^.*A.*$", 2);
  EXPECT_THAT(table->Selection(), ElementsAre(0, 1));
  EXPECT_TRUE(table->IndexValid(1));
}

TEST(SelectRecords, TheSelectionIsTheseRecordsInThisOrder) {
  test::TraceRecorder trace;
  auto table = Designations({"DOLIPRANE", "ASPIRINE", "BIAFINE"});
  table->QueryAll("Designation");
  const uint64_t stamp = table->ContentStamp();
  table->SelectRecords({2, 0});
  EXPECT_THAT(table->Selection(), ElementsAre(2, 0));
  EXPECT_THAT(table->StepResult(), ElementsAre(2, 0));
  EXPECT_EQ(table->ContentStamp(), stamp) << "a selection changes nothing of the content";
  // Records the table lacks are left out, each with a warning.
  table->SelectRecords({1, 3, -1});
  EXPECT_THAT(table->Selection(), ElementsAre(1));
  EXPECT_THAT(trace.Warnings(), ElementsAre("TMyDatabase.SelectRecords: bad record 3",
                                            "TMyDatabase.SelectRecords: bad record -1"));
  table->SelectRecords({});
  EXPECT_EQ(table->SelectionCount(), 0);
  // A narrowing afterwards keeps the given order.
  table->SelectRecords({2, 1, 0});
  table->QueryAnd("Designation", "^.*I.*$", 2);
  EXPECT_THAT(table->Selection(), ElementsAre(2, 1, 0));
  EXPECT_THAT(trace.Errors(), IsEmpty());
}

TEST(SelectRecords, TheContentStampChangesWithTheContentOnly) {
  auto table = Designations({"A", "B"});
  const uint64_t loaded = table->ContentStamp();
  table->QueryAll("Designation");
  EXPECT_EQ(table->ContentStamp(), loaded);
  table->SetData(1, 0, "C");
  EXPECT_NE(table->ContentStamp(), loaded);
  EXPECT_NE(Designations({"A", "B"})->ContentStamp(), loaded) << "another table, another stamp";
}

}  // namespace
}  // namespace quillor
