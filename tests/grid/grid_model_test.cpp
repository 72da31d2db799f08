// The controller's model over the in-memory grid: construction and event
// take-over, checked accessors and their reports, titles, the per-cell
// tables, switches and automatic column widths.
#include <gtest/gtest.h>

#include "grid/MyStringGrid.h"
#include "tests/support/MemoryStringGrid.h"
#include "tests/support/TraceRecorder.h"

namespace quillor {
namespace {

using test::MemoryGridCanvas;
using test::MemoryStringGrid;

using test::TraceRecorder;

TEST(GridConstruction, TakesOverEventsAndGivesThemBack) {
  TraceRecorder trace;
  MemoryStringGrid grid(3, 4);
  int clicks = 0, enters = 0, keyPresses = 0;
  grid.Events().OnClick = [&] { ++clicks; };
  grid.Events().OnEnter = [&] { ++enters; };
  grid.Events().OnKeyPress = [&](char&) { ++keyPresses; };
  {
    TMyStringGrid controller(&grid, nullptr);
    grid.Events().OnClick();
    grid.Events().OnEnter();
    char key = 'a';
    grid.Events().OnKeyPress(key);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(enters, 0) << "entering the grid never reaches the old handler";
    EXPECT_EQ(keyPresses, 1);
  }
  grid.Events().OnEnter();
  EXPECT_EQ(enters, 1) << "the old handlers are back once the controller is gone";
  EXPECT_TRUE(trace.Boxes().empty());
}

TEST(GridConstruction, SizesTablesNumbersRowsAndSetsDefaults) {
  TraceRecorder trace;
  MemoryStringGrid grid(3, 4);
  TMyStringGrid controller(&grid, nullptr);
  EXPECT_EQ(controller.TableColCount(), 3);
  EXPECT_EQ(controller.TableRowCount(), 4);
  EXPECT_EQ(controller.GetColNames().size(), 3u);
  EXPECT_EQ(grid.GetCells(0, 0), "");
  EXPECT_EQ(grid.GetCells(0, 1), "1");
  EXPECT_EQ(grid.GetCells(0, 3), "3");
  EXPECT_EQ(controller.GetCellColor(2, 3), clWhite);
  EXPECT_EQ(controller.GetCellFont(2, 3), (TGridFont{clBlack, 8, 0}));
  // Editing is off in a new grid, so every cell starts read-only.
  EXPECT_TRUE(controller.IsReadOnly(1, 1));
  EXPECT_FALSE(controller.GetSortAscending());
  EXPECT_EQ(controller.GetSortCol(), 0);
  EXPECT_TRUE(trace.Boxes().empty());
}

TEST(GridCells, GetCellOutsideTheGridTracesAndGivesEmptyText) {
  TraceRecorder trace;
  MemoryStringGrid grid(3, 2);
  TMyStringGrid controller(&grid, nullptr);
  grid.SetCells(2, 1, "x");
  EXPECT_EQ(controller.GetCell(2, 1), "x");
  EXPECT_EQ(controller.GetCell(3, 0), "");
  EXPECT_EQ(controller.GetCell(0, -1), "");
  EXPECT_TRUE(trace.Boxes().empty()) << "a bad GetCell shows no message box";
  ASSERT_EQ(trace.Lines().size(), 2u);
  EXPECT_EQ(trace.Lines()[0], "TMyStringGrid.GetCell: bad col row : 3 0");
}

TEST(GridCells, ReadOnlyCellsRefuseSetCellButNotWriteCell) {
  TraceRecorder trace;
  MemoryStringGrid grid(3, 3);
  grid.SetOptions(goEditing);
  TMyStringGrid controller(&grid, nullptr);
  controller.SetFixedCols(1);
  controller.SetCell(0, 1, "a");
  controller.SetCell(0, 2, "b");
  EXPECT_EQ(trace.Errors(),
            (std::vector<std::string>{"TMyStringGrid.SetCell:Trying to write in a read-only cell 0 1",
                                      "TMyStringGrid.SetCell:Trying to write in a read-only cell 0 2"}));
  EXPECT_EQ(grid.GetCells(0, 1), "1");
  controller.WriteCell(0, 1, "w");
  EXPECT_EQ(grid.GetCells(0, 1), "w");
  controller.SetCell(1, 1, "ok");
  EXPECT_EQ(grid.GetCells(1, 1), "ok");
  EXPECT_EQ(trace.Boxes().size(), 2u);
}

TEST(GridCells, CellsOutsideTheTablesAreReportedNeverRead) {
  TraceRecorder trace;
  MemoryStringGrid grid(3, 3);
  TMyStringGrid controller(&grid, nullptr);
  controller.SetCell(7, 7, "x");
  controller.SetColReadOnly(3, true);
  controller.SetColReadOnly(-1, false);
  EXPECT_FALSE(controller.IsReadOnly(7, 7));
  EXPECT_EQ(trace.Errors(), (std::vector<std::string>{"TMyStringGrid.InitColors: Bad Params 7 7",
                                                      "TMyStringGrid.SetColReadOnly: bad col : 3",
                                                      "TMyStringGrid.SetColReadOnly: bad col : -1"}));
}

TEST(GridCells, WriteAndSetCellResetTheCellColour) {
  TraceRecorder trace;
  MemoryStringGrid grid(3, 3);
  grid.SetOptions(goEditing);
  TMyStringGrid controller(&grid, nullptr);
  controller.SetCellColor(1, 1, 0x123456);
  controller.SetCellColor(2, 2, 0x123456);
  controller.SetCell(1, 1, "x");
  controller.WriteCell(2, 2, "y");
  EXPECT_EQ(controller.GetCellColor(1, 1), clWhite);
  EXPECT_EQ(controller.GetCellColor(2, 2), clWhite);
}

TEST(GridCells, ClearCellsLeavesFixedRowsAndColumns) {
  TraceRecorder trace;
  MemoryStringGrid grid(3, 3);
  TMyStringGrid controller(&grid, nullptr);
  controller.setTitles("B;C");
  controller.WriteCell(1, 1, "x");
  controller.WriteCell(2, 2, "y");
  controller.ClearCells();
  EXPECT_EQ(grid.GetRowTexts(0), (std::vector<std::string>{"", "B", "C"}));
  EXPECT_EQ(grid.GetRowTexts(1), (std::vector<std::string>{"1", "", ""}));
  EXPECT_EQ(grid.GetRowTexts(2), (std::vector<std::string>{"2", "", ""}));
}

TEST(GridDimensions, RowCountMustLeaveADataRowAndEqualCountsChangeNothing) {
  TraceRecorder trace;
  MemoryStringGrid grid(3, 2);
  TMyStringGrid controller(&grid, nullptr);
  controller.SetRowCount(1);
  EXPECT_EQ(
      trace.Errors(),
      (std::vector<std::string>{"TMyStringGrid.SetRowCount : impossible de supprimer la premiere ligne"}));
  EXPECT_EQ(grid.GetRowCount(), 2);
  // An equal count must not run ResizeCellTables (which would reset colours).
  controller.SetCellColor(1, 1, 0x0000FF);
  controller.SetRowCount(2);
  EXPECT_EQ(controller.GetCellColor(1, 1), 0x0000FFu);
  controller.SetRowCount(4);
  EXPECT_EQ(controller.TableRowCount(), 4);
  EXPECT_EQ(controller.GetCellColor(1, 1), clWhite);
  EXPECT_EQ(trace.Boxes().size(), 1u);
}

TEST(GridDimensions, NewRowsTakeRowZeroFlagsDefaultFontAndColour) {
  TraceRecorder trace;
  MemoryStringGrid grid(3, 2);
  grid.SetOptions(goEditing);
  TMyStringGrid controller(&grid, nullptr);
  controller.SetColReadOnly(1, true);
  controller.SetColReadOnly(2, false);
  controller.SetCellFont(1, 1, TGridFont{0xFF, 12, fsBold});
  controller.SetRowCount(5);
  for (int32_t r = 2; r < 5; ++r) {
    EXPECT_TRUE(controller.IsReadOnly(1, r)) << r;
    EXPECT_FALSE(controller.IsReadOnly(2, r)) << r;
    EXPECT_EQ(controller.GetCellFont(1, r), (TGridFont{clBlack, 8, 0})) << r;
    EXPECT_EQ(controller.GetCellColor(2, r), clWhite) << r;
  }
  EXPECT_EQ(controller.GetCellFont(1, 1), (TGridFont{0xFF, 12, fsBold})) << "remaining cells keep their font";
  // New columns follow the editing option.
  grid.SetOptions(0);
  controller.SetColCount(4);
  EXPECT_TRUE(controller.IsReadOnly(3, 4));
  EXPECT_EQ(controller.GetColNames().size(), 4u);
  controller.SetColCount(2);
  EXPECT_EQ(controller.TableColCount(), 2);
  EXPECT_TRUE(trace.Boxes().empty());
}

TEST(GridDimensions, SetRowClampsAfterAWarning) {
  TraceRecorder trace;
  MemoryStringGrid grid(3, 6);
  TMyStringGrid controller(&grid, nullptr);
  controller.SetRow(-4);
  EXPECT_EQ(grid.GetRow(), 0);
  controller.SetRow(16);
  EXPECT_EQ(grid.GetRow(), 5);
  // A warning with a number puts one space of its own before it.
  EXPECT_EQ(trace.Warnings(), (std::vector<std::string>{"TMyStringGrid.SetRow : Bad new Row :  -4",
                                                        "TMyStringGrid.SetRow : Bad new Row :  16"}));
  EXPECT_TRUE(trace.Boxes().empty());
}

TEST(GridDimensions, SetRowRemembersTheTextAndClosesTheEditorOnAMove) {
  TraceRecorder trace;
  MemoryStringGrid grid(3, 6);
  grid.SetOptions(goEditing | goRowSelect);
  TMyStringGrid controller(&grid, nullptr);
  controller.WriteCell(1, 3, "trois");
  grid.SetEditorMode(true);
  controller.SetRow(3);
  EXPECT_EQ(controller.GetSelectedText(), "trois");
  EXPECT_FALSE(grid.GetEditorMode());
}

TEST(GridDimensions, SetTopRowIgnoresRowsOutsideTheDataRows) {
  TraceRecorder trace;
  MemoryStringGrid grid(2, 40);
  TMyStringGrid controller(&grid, nullptr);
  controller.SetTopRow(12);
  EXPECT_EQ(grid.GetTopRow(), 12);
  controller.SetTopRow(0);
  controller.SetTopRow(40);
  EXPECT_EQ(grid.GetTopRow(), 12);
  EXPECT_TRUE(trace.Lines().empty());
}

TEST(GridTitles, TitlesMustMatchTheNonFixedColumns) {
  TraceRecorder trace;
  MemoryStringGrid grid(3, 2);
  grid.SetFixedCols(0);
  TMyStringGrid controller(&grid, nullptr);
  controller.setTitles("CIP;Designation;Prix");
  EXPECT_EQ(grid.GetRowTexts(0), (std::vector<std::string>{"CIP", "Designation", "Prix"}));
  EXPECT_EQ(controller.GetColNames(), grid.GetRowTexts(0));
  controller.setTitles("A;B");
  EXPECT_EQ(trace.Errors(),
            (std::vector<std::string>{"TMyStringGrid.setTitles : donnees de titre pas a la bonne taille"}));
  EXPECT_EQ(grid.GetCells(0, 0), "CIP");
  // Empty fields count: two separators are three titles.
  controller.setTitles(";;");
  EXPECT_EQ(grid.GetRowTexts(0), (std::vector<std::string>{"", "", ""}));

  MemoryStringGrid single(1, 2);
  single.SetFixedCols(0);
  TMyStringGrid one(&single, nullptr);
  trace.Clear();
  one.setTitles("");
  EXPECT_EQ(trace.Errors().size(), 1u) << "the empty text has no field";
  one.setTitles("Seul");
  EXPECT_EQ(single.GetCells(0, 0), "Seul");
  one.SetColName(1, "x");
  one.SetColName(-1, "x");
  EXPECT_EQ(trace.Errors(),
            (std::vector<std::string>{"TMyStringGrid.setTitles : donnees de titre pas a la bonne taille",
                                      "TMyStringGrid.SetColName: trying to access a bad col",
                                      "TMyStringGrid.SetColName: trying to access a bad col"}));
}

TEST(GridSwitches, ColoursAndRowNumbersObeyTheirSwitches) {
  TraceRecorder trace;
  MemoryStringGrid grid(3, 3);
  TMyStringGrid controller(&grid, nullptr);
  controller.EnableUpdates(false);
  controller.SetCellColor(1, 1, 0xABCDEF);
  controller.InitColors();
  controller.InitColors(9, 9);
  EXPECT_EQ(controller.GetCellColor(1, 1), 0xABCDEFu);
  controller.SetRowCount(5);
  EXPECT_EQ(controller.TableRowCount(), 3) << "resizing is one of the switched-off updates";
  controller.EnableUpdates(true);
  EXPECT_TRUE(trace.Boxes().empty());
  controller.InitColors(9, 9);
  controller.InitColors(1, 3);
  EXPECT_EQ(trace.Errors(), (std::vector<std::string>{"TMyStringGrid.InitColors: Bad Params 9 9",
                                                      "TMyStringGrid.InitColors: Bad Params 1 3"}));
  controller.ResizeCellTables();
  EXPECT_EQ(grid.GetCells(0, 4), "4");
  controller.fNumberRows = false;
  controller.WriteCell(0, 4, "x");
  controller.NumberRows();
  EXPECT_EQ(grid.GetCells(0, 4), "x");
}

TEST(GridSwitches, CellLeftNotificationCallsBackAndResetsTheColour) {
  TraceRecorder trace;
  MemoryStringGrid grid(3, 3);
  std::vector<std::string> left;
  TMyStringGrid controller(&grid, [&](int32_t col, int32_t row, const std::string& text) {
    left.push_back(std::to_string(col) + "," + std::to_string(row) + ":" + text);
  });
  controller.SetCellColor(2, 1, 0xFF);
  controller.NotifyCellLeft(2, 1, "old");
  EXPECT_EQ(left, (std::vector<std::string>{"2,1:old"}));
  EXPECT_EQ(controller.GetCellColor(2, 1), clWhite);
  controller.EnableUpdates(false);
  controller.NotifyCellLeft(2, 1, "again");
  EXPECT_EQ(left.size(), 1u);
}

// Column widths: MemoryGridCanvas measures 7 pixels per character; the grid
// shows (240 - 24) / 24 = 9 data rows.
class AutoSizeColumns : public ::testing::Test {
 protected:
  TraceRecorder trace;
  MemoryStringGrid grid{2, 3};
  std::vector<int32_t> Widths() const {
    std::vector<int32_t> widths;
    for (int32_t c = 0; c < grid.GetColCount(); ++c) widths.push_back(grid.GetColWidth(c));
    return widths;
  }
};

TEST_F(AutoSizeColumns, HalvesRoundToEvenAndTheRemainderGoesLast) {
  // Both columns 25 wide; spare = 69 - 50 - 2 - 12 = 5, so each grows by
  // round(2.5) = 2 (to even), and the one pixel left goes to the last column.
  grid.SetWidth(69);
  TMyStringGrid controller(&grid, nullptr);
  EXPECT_EQ(Widths(), (std::vector<int32_t>{27, 28}));
}

TEST_F(AutoSizeColumns, WideTextsAreNeverShrunk) {
  grid.SetWidth(100);
  TMyStringGrid controller(&grid, nullptr);
  controller.WriteCell(1, 2, std::string(20, 'W'));
  controller.AutoSizeColumns();
  EXPECT_EQ(Widths(), (std::vector<int32_t>{25, 140}));
}

TEST_F(AutoSizeColumns, SharesSpareWidthInProportionLeavingRoomForAScrollBar) {
  grid.SetWidth(400);
  TMyStringGrid controller(&grid, nullptr);
  controller.SetRowCount(12);                        // more than the 9 visible rows: a scroll bar
  controller.WriteCell(1, 5, std::string(10, 'x'));  // 70 pixels
  controller.AutoSizeColumns();
  // total 95, spare = 400 - 95 - 15 - 2 - 12 = 276: 25 + round(72.63) = 98,
  // 70 + round(203.37) = 273; then 400 - 371 - 29 = 0 left.
  EXPECT_EQ(Widths(), (std::vector<int32_t>{98, 273}));
}

TEST_F(AutoSizeColumns, SetHeightResizesThenRecomputes) {
  grid.SetWidth(400);
  TMyStringGrid controller(&grid, nullptr);
  controller.SetRowCount(12);
  controller.SetHeight(24 * 13);  // 12 rows visible: no scroll bar any more
  EXPECT_EQ(grid.GetHeight(), 312);
  // total 50, spare = 400 - 50 - 2 - 12 = 336: each 25 + 168.
  EXPECT_EQ(Widths(), (std::vector<int32_t>{193, 193}));
}

}  // namespace
}  // namespace quillor
