#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "Database.h"
#include "MemoryStringGrid.h"
#include "MyStringGrid.h"
#include "TableFixtures.h"
#include "TraceRecorder.h"

namespace quillor {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class SelectionToGridTest : public ::testing::Test {
 protected:
  SelectionToGridTest() : widget_(4, 4), grid_(&widget_, nullptr) {
    // Set up as the order window sets up its article grid.
    grid_.fNumberRows = false;
    grid_.SetFixedRows(1);
    grid_.SetFixedCols(0);
    table_ = test::TableOf({"CIP;Designation;Prix", "3;DOLIPRANE;1,16", "1;ASPIRINE;2,00", "2;BIAFINE;"});
  }

  std::vector<std::string> Row(int32_t row) const {
    std::vector<std::string> texts;
    for (int32_t c = 0; c < widget_.GetColCount(); ++c) texts.push_back(widget_.GetCells(c, row));
    return texts;
  }

  MemoryStringGrid widget_;
  TMyStringGrid grid_;
  std::unique_ptr<TMyDatabase> table_;
};

TEST_F(SelectionToGridTest, AllFieldsWithTitlesInSelectionOrder) {
  test::TraceRecorder trace;
  table_->QueryAll("Designation");
  table_->SelectionToGrid(grid_, "", true);
  ASSERT_EQ(widget_.GetColCount(), 3);
  ASSERT_EQ(widget_.GetRowCount(), 4);
  EXPECT_THAT(Row(0), ElementsAre("CIP", "Designation", "Prix"));
  EXPECT_THAT(Row(1), ElementsAre("1", "ASPIRINE", "2,00"));
  EXPECT_THAT(Row(2), ElementsAre("2", "BIAFINE", ""));
  EXPECT_THAT(Row(3), ElementsAre("3", "DOLIPRANE", "1,16"));
  EXPECT_EQ(grid_.TableColCount(), 3);
  EXPECT_EQ(grid_.TableRowCount(), 4);
  EXPECT_THAT(trace.Errors(), IsEmpty());
}

TEST_F(SelectionToGridTest, EmptySelectionLeavesOneEmptyRowAndClearsTheOldOnes) {
  test::TraceRecorder trace;
  table_->QueryAll("Designation");
  table_->SelectionToGrid(grid_, "", true);
  table_->Query("Designation", "^Z", 2);
  table_->SelectionToGrid(grid_, "", true);
  ASSERT_EQ(widget_.GetRowCount(), 2);
  EXPECT_THAT(Row(0), ElementsAre("CIP", "Designation", "Prix"));
  EXPECT_THAT(Row(1), ElementsAre("", "", ""));
  EXPECT_THAT(trace.Errors(), IsEmpty());
}

TEST_F(SelectionToGridTest, NamedColumnsInTheirOrderAndUnknownOnesStayEmpty) {
  test::TraceRecorder trace;
  table_->Query("Designation", "^[AB]", 2);
  table_->SelectionToGrid(grid_, "Prix;Designation", false);
  ASSERT_EQ(widget_.GetColCount(), 2);
  EXPECT_THAT(Row(1), ElementsAre("2,00", "ASPIRINE"));
  EXPECT_THAT(Row(2), ElementsAre("", "BIAFINE"));
  EXPECT_THAT(trace.Errors(), IsEmpty());

  table_->SelectionToGrid(grid_, "CIP;Tarif", true);
  EXPECT_THAT(Row(0), ElementsAre("CIP", "Tarif"));
  EXPECT_THAT(Row(1), ElementsAre("1", ""));
  // One report per selected record, as a lookup per cell gives.
  EXPECT_THAT(trace.Errors(), ElementsAre("TMyDatabase.GetFieldPos:impossible de trouver le champ Tarif",
                                          "TMyDatabase.GetFieldPos:impossible de trouver le champ Tarif"));
}

}  // namespace
}  // namespace quillor
