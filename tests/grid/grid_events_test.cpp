// The controller's event handlers over the in-memory grid: cell changes,
// overwrite-on-type, wheel clamping, double clicks and cell drawing.
#include <gtest/gtest.h>

#include <algorithm>

#include "grid/MyStringGrid.h"
#include "tests/support/MemoryStringGrid.h"
#include "tests/support/TraceRecorder.h"

namespace quillor {
namespace {

using test::MemoryGridCanvas;
using test::MemoryStringGrid;

using test::TraceRecorder;

constexpr uint16_t kKeyA = 65;
constexpr uint16_t kKeyC = 67;
constexpr uint16_t kKeyX = 88;

// Three columns, no fixed column, titles in row 0, editing and row select.
class GridEvents : public ::testing::Test {
 protected:
  TraceRecorder trace;
  MemoryStringGrid grid{3, 6};
  std::vector<std::string> left;
  std::unique_ptr<TMyStringGrid> controller;

  void SetUp() override {
    grid.SetFixedCols(0);
    grid.SetOptions(goVertLine | goHorzLine | goEditing);
    controller =
        std::make_unique<TMyStringGrid>(&grid, [this](int32_t col, int32_t row, const std::string& text) {
          left.push_back(std::to_string(col) + "," + std::to_string(row) + ":" + text);
        });
    controller->fNumberRows = false;
    controller->ClearCells();
    for (int32_t r = 1; r < 6; ++r) {
      for (int32_t c = 0; c < 3; ++c)
        controller->WriteCell(c, r, "r" + std::to_string(r) + "c" + std::to_string(c));
    }
  }
};

TEST_F(GridEvents, MovingNotifiesTheCellLeftWithItsOriginalText) {
  grid.SelectCell(1, 2);
  left.clear();
  controller->SetCell(1, 2, "changed");
  grid.SelectCell(2, 3);
  EXPECT_EQ(left, (std::vector<std::string>{"1,2:r2c1"})) << "the text the cell had when it became current";
  EXPECT_EQ(controller->GetSelectedText(), "r3c2");
  grid.SelectCell(2, 3);
  EXPECT_EQ(left.size(), 1u) << "selecting the current cell again tells nobody";
}

TEST_F(GridEvents, RowSelectTreatsEveryMoveAsAMoveToTheFirstDataColumn) {
  int32_t forwardedCol = -1;
  controller.reset();
  grid.Events().OnSelectCell = [&](int32_t col, int32_t, bool&) { forwardedCol = col; };
  grid.SetOptions(grid.GetOptions() | goRowSelect);
  controller = std::make_unique<TMyStringGrid>(&grid, nullptr);
  controller->WriteCell(0, 4, "r4c0");  // over the row number
  controller->SetColReadOnly(0, true);
  grid.SelectCell(2, 4);
  EXPECT_EQ(forwardedCol, 0) << "the replaced column is forwarded";
  EXPECT_EQ(controller->GetSelectedText(), "r4c0");
  EXPECT_FALSE(grid.GetOptions() & goEditing) << "column 0 is read-only, so the whole row is";
}

TEST_F(GridEvents, ReadOnlyCellsSwitchEditingOffAndWritableOnesBackOn) {
  controller->SetColReadOnly(1, true);
  grid.SelectCell(1, 2);
  EXPECT_FALSE(grid.GetOptions() & goEditing);
  grid.SelectCell(2, 2);
  EXPECT_TRUE(grid.GetOptions() & goEditing);
  EXPECT_FALSE(grid.GetEditorMode());
}

TEST_F(GridEvents, SelectHandlingOffDoesNothingNotEvenForward) {
  int forwarded = 0;
  controller.reset();
  grid.Events().OnSelectCell = [&](int32_t, int32_t, bool&) { ++forwarded; };
  controller = std::make_unique<TMyStringGrid>(&grid, nullptr);
  controller->EnableUpdates(false);
  grid.SelectCell(2, 2);
  EXPECT_EQ(forwarded, 0);
  controller->EnableUpdates(true);
  grid.SelectCell(2, 3);
  EXPECT_EQ(forwarded, 1);
}

TEST_F(GridEvents, FirstTypedKeyEmptiesTheCellSecondKeyDoesNot) {
  grid.SelectCell(1, 2);
  grid.KeyDown(kKeyA, 0);
  EXPECT_EQ(grid.GetCells(1, 2), "a") << "emptied, then the key typed into the editor";
  EXPECT_TRUE(grid.GetEditorMode());
  grid.KeyDown(kKeyA, ssShift);
  EXPECT_EQ(grid.GetCells(1, 2), "aA");
  EXPECT_TRUE(trace.Boxes().empty());
}

TEST_F(GridEvents, ControlAndAltKeysAreOnlyForwarded) {
  uint16_t forwardedKey = 0;
  controller.reset();
  grid.Events().OnKeyDown = [&](uint16_t& key, TShiftState) { forwardedKey = key; };
  controller = std::make_unique<TMyStringGrid>(&grid, nullptr);
  grid.SelectCell(1, 2);
  grid.KeyDown(kKeyC, ssCtrl);
  EXPECT_EQ(forwardedKey, kKeyC);
  grid.KeyDown(kKeyX, ssAlt);
  EXPECT_EQ(forwardedKey, kKeyX);
  EXPECT_EQ(grid.GetCells(1, 2), "r2c1");
  EXPECT_FALSE(grid.GetEditorMode());
}

TEST_F(GridEvents, OnlyTheTypingKeyCodesEmptyTheCell) {
  grid.SelectCell(1, 2);
  for (uint16_t code : {96, 123, 13, 46, 31, 91}) {
    uint16_t key = code;
    grid.Events().OnKeyDown(key, 0);
    EXPECT_EQ(grid.GetCells(1, 2), "r2c1") << key;
  }
  for (uint16_t code : {32, 48, 57, 90, 97, 110, 112, 122}) {
    uint16_t key = code;
    grid.SetEditorMode(false);
    controller->SetCell(1, 2, "full");
    grid.Events().OnKeyDown(key, 0);
    EXPECT_EQ(grid.GetCells(1, 2), "") << key;
  }
}

TEST_F(GridEvents, TypingOverASelectionRemovesTheSelectedPart) {
  controller->SetCell(1, 2, "abcdefg");
  grid.SelectCell(1, 2);
  grid.SetEditorMode(true);
  grid.SetEditorSelStart(2);
  grid.SetEditorSelLength(3);
  uint16_t key = kKeyX;
  grid.Events().OnKeyDown(key, 0);
  EXPECT_EQ(grid.GetCells(1, 2), "abfg");
  EXPECT_EQ(grid.GetEditorSelLength(), 0);
  EXPECT_EQ(grid.GetEditorSelStart(), 2);
}

TEST_F(GridEvents, ASelectionInACellThatBecameReadOnlyIsReportedAndTheKeyForwarded) {
  int forwarded = 0;
  controller.reset();
  grid.Events().OnKeyDown = [&](uint16_t&, TShiftState) { ++forwarded; };
  controller = std::make_unique<TMyStringGrid>(&grid, nullptr);
  grid.SelectCell(1, 2);
  grid.SetEditorMode(true);
  grid.SetEditorSelStart(0);
  grid.SetEditorSelLength(2);
  controller->SetColReadOnly(1, true);
  uint16_t key = kKeyA;
  grid.Events().OnKeyDown(key, 0);
  EXPECT_EQ(trace.Errors(),
            (std::vector<std::string>{"TMyStringGrid.SetCell:Trying to write in a read-only cell 1 2"}));
  EXPECT_EQ(forwarded, 1);
}

TEST_F(GridEvents, WheelBringsAnOutOfSightCurrentRowBack) {
  controller->SetRowCount(60);
  grid.SelectCell(1, 2);
  controller->SetTopRow(30);  // 9 rows visible: 30..38
  bool handled = false;
  grid.Events().OnMouseWheelDown(0, TGridPoint{}, handled);
  EXPECT_EQ(grid.GetRow(), 30);
  grid.SelectCell(1, 50);
  controller->SetTopRow(10);
  grid.Events().OnMouseWheelUp(0, TGridPoint{}, handled);
  EXPECT_EQ(grid.GetRow(), 18);
  grid.Wheel(true);  // then the grid's own wheel moves on
  EXPECT_EQ(grid.GetRow(), 19);
}

TEST_F(GridEvents, DoubleClicksArePassedOnOnlyOverDataCells) {
  int doubleClicks = 0;
  controller.reset();
  grid.Events().OnDblClick = [&] { ++doubleClicks; };
  controller = std::make_unique<TMyStringGrid>(&grid, nullptr);
  grid.SetScreenOrigin(TGridPoint{100, 200});
  const TGridRect title = grid.CellRect(1, 0);
  grid.DoubleClickAt(title.Left + 3, title.Top + 3);
  grid.DoubleClickAt(1000, 1000);
  EXPECT_EQ(doubleClicks, 0);
  const TGridRect data = grid.CellRect(1, 3);
  grid.DoubleClickAt(data.Left + 3, data.Top + 3);
  EXPECT_EQ(doubleClicks, 1);
}

TEST_F(GridEvents, ExitResetsColours) {
  int exits = 0;
  controller.reset();
  grid.Events().OnExit = [&] { ++exits; };
  controller = std::make_unique<TMyStringGrid>(&grid, nullptr);
  controller->SetCellColor(2, 2, 0x00FF00);
  grid.Events().OnExit();
  EXPECT_EQ(controller->GetCellColor(2, 2), clWhite);
  EXPECT_EQ(exits, 1);
}

TEST_F(GridEvents, CellsAreDrawnCentredInTheirStateColours) {
  grid.SetOptions(grid.GetOptions() | goRowSelect);
  grid.SelectCell(0, 2);
  controller->SetCellFont(1, 3, TGridFont{0x0000FF, 10, fsBold});
  MemoryGridCanvas& canvas = grid.MemoryCanvas();
  canvas.Clear();
  grid.PaintAll();
  auto drawnAt = [&](int32_t col, int32_t row) {
    const TGridRect rect = grid.CellRect(col, row);
    for (const auto& drawn : canvas.texts) {
      if (drawn.clip == rect) return drawn;
    }
    ADD_FAILURE() << "nothing drawn in " << col << "," << row;
    return MemoryGridCanvas::Drawn{};
  };
  const auto title = drawnAt(1, 0);
  EXPECT_EQ(title.brush, clBtnFace);
  EXPECT_EQ(title.font.fColor, clBlack);
  const auto selected = drawnAt(2, 2);
  EXPECT_EQ(selected.brush, clNavy);
  EXPECT_EQ(selected.font.fColor, clWhite);
  const auto plain = drawnAt(1, 3);
  EXPECT_EQ(plain.brush, clWhite);
  EXPECT_EQ(plain.font, (TGridFont{0x0000FF, 10, fsBold}));
  // "r3c1" is 28 pixels wide in a cell of the column's width, 24 high; 13 high text.
  const TGridRect rect = grid.CellRect(1, 3);
  EXPECT_EQ(plain.x, (rect.Left + rect.Right - 28) / 2);
  EXPECT_EQ(plain.y, rect.Top + 5);  // (2 * top + 24 - 13) / 2, truncated
  EXPECT_TRUE(trace.Boxes().empty());
}

TEST_F(GridEvents, TablesOutOfStepAreReportedPerCellAndStillForwarded) {
  int forwarded = 0;
  controller.reset();
  grid.Events().OnDrawCell = [&](int32_t, int32_t, const TGridRect&, TGridDrawState) { ++forwarded; };
  controller = std::make_unique<TMyStringGrid>(&grid, nullptr);
  grid.SetRowCount(8);  // behind the controller's back
  grid.Events().OnDrawCell(1, 7, TGridRect{0, 0, 10, 10}, TGridDrawState{});
  grid.Events().OnDrawCell(4, 1, TGridRect{0, 0, 10, 10}, TGridDrawState{});
  EXPECT_EQ(trace.Errors(), (std::vector<std::string>{"TMyStringGrid.OnDrawCell: bad Row 7",
                                                      "TMyStringGrid.OnDrawCell: bad Col 4"}));
  EXPECT_EQ(forwarded, 2);
}

TEST_F(GridEvents, MarkedRowsHaveTheirBackgroundAndABadgeThatReadsInAnyState) {
  grid.SetOptions(grid.GetOptions() | goRowSelect);
  grid.SelectCell(0, 2);
  grid.SetColWidth(1, 120);
  std::vector<int32_t> asked;
  constexpr TColor kPink = 0x00C0C0FF;
  constexpr TColor kRed = 0x000000C0;
  controller->SetRowMarker(
      [&](int32_t row, TRowMark& mark) {
        asked.push_back(row);
        if (row != 2 && row != 4) return false;
        mark = TRowMark{kPink, "RUPTURE", kRed, clWhite};
        return true;
      },
      1);
  MemoryGridCanvas& canvas = grid.MemoryCanvas();
  canvas.Clear();
  grid.PaintAll();
  auto drawn = [&](const std::string& text) {
    for (const auto& d : canvas.texts) {
      if (d.text == text) return d;
    }
    ADD_FAILURE() << text << " was not drawn";
    return MemoryGridCanvas::Drawn{};
  };
  EXPECT_EQ(std::count(asked.begin(), asked.end(), 0), 0) << "the title row is never marked";
  EXPECT_EQ(std::count(asked.begin(), asked.end(), 4), 3) << "asked for each cell drawn";
  // A marked row: its background; the badge column's text centred beside the badge.
  EXPECT_EQ(drawn("r4c0").brush, kPink);
  EXPECT_EQ(drawn("r4c2").brush, kPink);
  const TGridRect cell = grid.CellRect(1, 4);
  const auto text = drawn("r4c1");
  const int32_t badgeWidth = 7 * 7 + 6;  // "RUPTURE" and its padding
  const TGridRect room{cell.Left, cell.Top, cell.Right - 2 - badgeWidth - 2, cell.Bottom};
  EXPECT_EQ(text.clip, room);
  EXPECT_EQ(text.x, room.Left + (room.Right - room.Left - 28) / 2);
  EXPECT_EQ(text.font.fColor, clBlack);
  const TGridRect badge{cell.Right - 2 - badgeWidth, cell.Top + 2, cell.Right - 2, cell.Bottom - 2};
  EXPECT_NE(std::find(canvas.fills.begin(), canvas.fills.end(), std::make_pair(badge, kRed)),
            canvas.fills.end());
  std::vector<MemoryGridCanvas::Drawn> badges;
  for (const auto& d : canvas.texts) {
    if (d.text == "RUPTURE") badges.push_back(d);
  }
  ASSERT_EQ(badges.size(), 2u) << "rows 2 and 4";
  for (const auto& d : badges) {
    EXPECT_EQ(d.font.fColor, clWhite);
    EXPECT_EQ(d.font.fStyle, fsBold);
    EXPECT_EQ(d.x, d.clip.Left + 3);
  }
  // Selected, a marked row keeps the selection's colours; the badge its own.
  EXPECT_EQ(drawn("r2c0").brush, clNavy);
  EXPECT_EQ(drawn("r2c1").font.fColor, clWhite);
  // Unmarked rows are drawn as ever.
  const auto plain = drawn("r3c1");
  EXPECT_EQ(plain.brush, clWhite);
  EXPECT_EQ(plain.clip, grid.CellRect(1, 3));
  EXPECT_EQ(plain.x, (grid.CellRect(1, 3).Left + grid.CellRect(1, 3).Right - 28) / 2);
}

TEST_F(GridEvents, ATextWiderThanTheRoomBesideTheBadgeStartsAtTheCellsLeft) {
  grid.SetColWidth(1, 70);
  controller->SetRowMarker(
      [](int32_t, TRowMark& mark) {
        mark = TRowMark{clWhite, "ARRET", clBlack, clWhite};
        return true;
      },
      1);
  MemoryGridCanvas& canvas = grid.MemoryCanvas();
  canvas.Clear();
  grid.PaintAll();
  const TGridRect cell = grid.CellRect(1, 3);
  for (const auto& d : canvas.texts) {
    if (d.text == "r3c1") {
      EXPECT_EQ(d.x, cell.Left + 2);
    }
  }
  // Without a marker nothing is asked and nothing changes.
  controller->SetRowMarker(nullptr, 1);
  canvas.Clear();
  grid.PaintAll();
  for (const auto& d : canvas.texts) EXPECT_NE(d.text, "ARRET");
}

}  // namespace
}  // namespace quillor
