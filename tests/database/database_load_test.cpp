#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "database/Database.h"
#include "tests/database/TableFixtures.h"
#include "tests/support/TempDir.h"
#include "tests/support/TraceRecorder.h"

namespace quillor {
namespace {

using test::IndexValues;
using test::TableOf;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(DatabaseLoad, HeaderOnlyGivesFieldsWithEmptyIndexes) {
  test::TraceRecorder trace;
  auto table = TableOf({"CIP;Designation;Prix"});
  EXPECT_EQ(table->FieldCount(), 3);
  EXPECT_EQ(table->RecordCount(), 0);
  for (int32_t f = 0; f < 3; ++f) {
    ASSERT_NE(table->IndexList(f), nullptr);
    EXPECT_THAT(*table->IndexList(f), IsEmpty());
    EXPECT_TRUE(table->IndexValid(f));
  }
  EXPECT_THAT(trace.Errors(), IsEmpty());
}

TEST(DatabaseLoad, HeaderNamesAreTakenAsTheyStand) {
  test::TraceRecorder trace;
  auto table = TableOf({"A;B;", "1;2;3"});
  ASSERT_EQ(table->FieldCount(), 3);
  EXPECT_EQ(table->FieldName(2), "");
  EXPECT_EQ(table->GetFieldPos(""), 2);
  auto spaced = TableOf({" Nom ;a\\nb"});
  EXPECT_EQ(spaced->FieldName(0), " Nom ");
  EXPECT_EQ(spaced->FieldName(1), "a\\nb");  // no line-break expansion in the header
  EXPECT_THAT(trace.Errors(), IsEmpty());
}

TEST(DatabaseLoad, RenamingTheFieldsOfALoadedTableKeepsOneColumnPerName) {
  test::TraceRecorder trace;
  auto table = TableOf({"A;B", "1;x", "2;y"});
  table->SetFieldNames("A;B;C;D");  // more names than columns: must never read past them
  ASSERT_EQ(table->FieldCount(), 4);
  EXPECT_EQ(table->RecordCount(), 2);
  EXPECT_EQ(table->DBGetString(3, 1), "");
  table->SetData(3, 1, "z");
  EXPECT_EQ(table->DBGetString(3, 1), "z");
  table->QueryAll("D");
  EXPECT_THAT(table->Selection(), ElementsAre(0, 1));  // "" sorts before "z"
  table->SetFieldNames("A");
  EXPECT_EQ(table->FieldCount(), 1);
  EXPECT_EQ(table->DBGetString(0, 1), "2");
  table->BuildIndexes();
  EXPECT_THAT(IndexValues(*table, 0), ElementsAre("1", "2"));
  EXPECT_THAT(trace.Errors(), IsEmpty());
}

TEST(DatabaseLoad, RecordsAreCutPaddedAndExpanded) {
  test::TraceRecorder trace;
  auto table = TableOf({"A;B;C", "1;;3", "seul", "a;b;c;d", "", "x\\ny;p\\n;\\\\n"});
  ASSERT_EQ(table->RecordCount(), 5);
  auto row = [&](int32_t r) {
    return std::vector<std::string>{table->DBGetString(0, r), table->DBGetString(1, r),
                                    table->DBGetString(2, r)};
  };
  EXPECT_THAT(row(0), ElementsAre("1", "", "3"));
  EXPECT_THAT(row(1), ElementsAre("seul", "", ""));
  EXPECT_THAT(row(2), ElementsAre("a", "b", "c"));
  EXPECT_THAT(row(3), ElementsAre("", "", ""));
  EXPECT_THAT(row(4), ElementsAre("x\r\ny", "p\r\n", "\\\r\n"));
  for (int32_t r = 0; r < 5; ++r) EXPECT_FALSE(table->IsDeleted(r));
  EXPECT_THAT(trace.Errors(), IsEmpty());
}

TEST(DatabaseLoad, EmptyHeaderLineGivesNoFieldAndNoRecord) {
  test::TraceRecorder trace;
  auto table = TableOf({"", "a;b"});
  EXPECT_EQ(table->FieldCount(), 0);
  EXPECT_EQ(table->RecordCount(), 0);
  EXPECT_EQ(table->DBGetString(0, 0), "");
  EXPECT_THAT(trace.Errors(), ElementsAre("TMyDatabase.DBGetString: fDatas not assigned"));
}

TEST(DatabaseLoad, AListWithoutAnyLineMakesNoTableAndLeavesAnOldOneIntact) {
  EXPECT_THROW(TableOf({}), EDatabaseError);
  auto table = TableOf({"A", "1"});
  table->QueryAll("A");
  EXPECT_THROW(table->LoadFromList({}), EDatabaseError);
  EXPECT_EQ(table->RecordCount(), 1);
  EXPECT_EQ(table->DBGetString(0, 0), "1");
  EXPECT_EQ(table->SelectionCount(), 1);
}

TEST(DatabaseLoad, ReloadingDropsASelectionOfRecordsThatNoLongerExist) {
  test::TraceRecorder trace;
  auto table = TableOf({"A", "1", "2", "3"});
  table->QueryAll("A");
  ASSERT_EQ(table->SelectionCount(), 3);
  table->LoadFromList({"A", "9"});
  EXPECT_EQ(table->SelectionCount(), 0);
  EXPECT_THAT(trace.Errors(), IsEmpty());
}

TEST(DatabaseLoad, FromFileReadsPlainLinesAndAMissingFileLeavesTheTableEmpty) {
  test::TraceRecorder trace;
  test::TempDir dir;
  const auto file = dir.Write("articles.txt", "CIP;Designation\r\n1;B\n2;A\r3;C");
  auto table = TMyDatabase::CreateFromFile(file.string());
  ASSERT_EQ(table->RecordCount(), 3);
  EXPECT_THAT(IndexValues(*table, 1), ElementsAre("A", "B", "C"));

  auto missing = TMyDatabase::CreateFromFile((dir.Path() / "absent.txt").string());
  EXPECT_EQ(missing->FieldCount(), 0);
  EXPECT_EQ(missing->RecordCount(), 0);
  EXPECT_THAT(trace.Errors(), IsEmpty());
  missing->LoadFromFile(file.string());
  EXPECT_EQ(missing->RecordCount(), 3);

  const auto empty = dir.Write("empty.txt", "");
  EXPECT_THROW(TMyDatabase::CreateFromFile(empty.string()), EDatabaseError);
}

TEST(DatabaseAccess, BadCoordinatesAreReportedWithTheirNumbers) {
  test::TraceRecorder trace;
  auto table = TableOf({"A;B", "1;2"});
  table->SetData(2, 0, "x");
  table->SetData(0, 1, "x");
  table->SetData(-1, -7, "x");
  EXPECT_EQ(table->DBGetString(2, 0), "");
  EXPECT_EQ(table->DBGetString(-1, 0), "");
  EXPECT_EQ(table->DBGetString(0, 1), "");
  EXPECT_EQ(table->DBGetString(0, -1), "");
  EXPECT_FALSE(table->IsDeleted(1));
  EXPECT_FALSE(table->IsDeleted(-2));
  EXPECT_EQ(table->GetFieldPos("a"), -1);
  EXPECT_THAT(
      trace.Errors(),
      ElementsAre(
          "TMyDatabase.SetData: Bad Field / pos : 2 0", "TMyDatabase.SetData: Bad Field / pos : 0 1",
          "TMyDatabase.SetData: Bad Field / pos : -1 -7", "TMyDatabase.DBGetString: champ hors limites2",
          "TMyDatabase.DBGetString: champ hors limites-1", "TMyDatabase.DBGetString: index hors limites 1",
          "TMyDatabase.DBGetString: index hors limites -1",
          "TMyDatabase.IsDeleted:Index 1 en dehors des limites du dynamic array",
          "TMyDatabase.IsDeleted:Index -2 en dehors des limites du dynamic array",
          "TMyDatabase.GetFieldPos:impossible de trouver le champ a"));
  EXPECT_EQ(table->DBGetString(0, 0), "1");
  EXPECT_EQ(table->DBGetString(1, 0), "2");
}

TEST(DatabaseAccess, TheFirstFailingCheckDecidesTheReport) {
  test::TraceRecorder trace;
  auto table = TableOf({"A;B", "1;2"});
  EXPECT_EQ(table->DBGetString(7, 9), "");  // field and record both bad: the field is named
  EXPECT_EQ(table->DBGetString(-1, -1), "");
  EXPECT_THAT(trace.Errors(), ElementsAre("TMyDatabase.DBGetString: champ hors limites7",
                                          "TMyDatabase.DBGetString: champ hors limites-1"));
}

TEST(DatabaseAccess, ATableWithoutRecordsReportsItsEmptyColumnsAndFlags) {
  test::TraceRecorder trace;
  auto table = TableOf({"A;B"});
  EXPECT_EQ(table->DBGetString(1, 0), "");
  EXPECT_FALSE(table->IsDeleted(0));
  EXPECT_THAT(trace.Errors(),
              ElementsAre("TMyDatabase.DBGetString: fDatas[1] not assigned",
                          "TMyDatabase.IsDeleted:trying to acces a non assigned dynamic array"));
}

TEST(DatabaseAccess, FieldLookupIsExactAndFindsTheFirstOfTwins) {
  test::TraceRecorder trace;
  auto table = TableOf({"Designation;X;Designation"});
  EXPECT_EQ(table->GetFieldPos("Designation"), 0);
  EXPECT_EQ(table->GetFieldPos("X"), 1);
  EXPECT_THAT(trace.Errors(), IsEmpty());
  EXPECT_EQ(table->GetFieldPos("designation"), -1);
  EXPECT_EQ(table->GetFieldPos("X "), -1);
  EXPECT_EQ(trace.Errors().size(), 2u);
}

TEST(DatabaseIndexes, SetDataMakesOnlyItsFieldStaleUntilAQueryRebuildsIt) {
  test::TraceRecorder trace;
  auto table = TableOf({"A;B", "b;2", "a;1"});
  table->SetData(0, 0, "0");
  EXPECT_FALSE(table->IndexValid(0));
  EXPECT_TRUE(table->IndexValid(1));
  EXPECT_THAT(IndexValues(*table, 0), ElementsAre("a", "b"));  // stale, not yet rebuilt
  table->QueryAll("A");
  EXPECT_TRUE(table->IndexValid(0));
  EXPECT_THAT(IndexValues(*table, 0), ElementsAre("0", "a"));
  EXPECT_THAT(table->Selection(), ElementsAre(0, 1));
  EXPECT_THAT(trace.Errors(), IsEmpty());
}

TEST(DatabaseIndexes, EqualValuesAllAppearOnce) {
  auto table = TableOf({"A", "x", "y", "x", "x"});
  const TIndexList& list = *table->IndexList(0);
  std::vector<int32_t> records;
  for (const auto& entry : list) records.push_back(entry.fInt);
  std::sort(records.begin(), records.end());
  EXPECT_THAT(records, ElementsAre(0, 1, 2, 3));
  EXPECT_THAT(IndexValues(*table, 0), ElementsAre("x", "x", "x", "y"));
}

TEST(DatabaseIndexes, OrderIsByKindOfValue) {
  auto table = TableOf({"N;C", "10;FA00250", "9;FA00099", "-3;FA00100", "2.5;AV999", "2,25;DE2345"});
  EXPECT_THAT(IndexValues(*table, 0), ElementsAre("-3", "2,25", "2.5", "9", "10"));
  EXPECT_THAT(IndexValues(*table, 1), ElementsAre("AV999", "DE2345", "FA00099", "FA00100", "FA00250"));
}

}  // namespace
}  // namespace quillor
