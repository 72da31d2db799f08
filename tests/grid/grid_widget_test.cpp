// The Qt widget with the controller attached, driven offscreen as a user
// would: title clicks, keys, wheel, double clicks; and its model under Qt's
// model tester.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QLineEdit>
#include <QScrollBar>
#include <QWheelEvent>

#include "grid/widget/StringGridModel.h"
#include "grid/widget/VirtualKeys.h"
#include "tests/grid/GridWidgetFixture.h"

namespace quillor {
namespace {

using test::GridWidgetFixture;

TEST(StringGridModel, PassesQtsModelTesterThroughResizesAndWrites) {
  test::TraceRecorder trace;
  StringGridWidget grid(nullptr, 3, 5);
  QAbstractItemModelTester tester(grid.GridModel(), QAbstractItemModelTester::FailureReportingMode::Fatal);
  grid.SetCells(1, 2, "abc");
  grid.SetRowCount(200);
  grid.SetCells(2, 150, "\xE9t\xE9");
  grid.SetColCount(5);
  grid.SetFixedRows(2);
  grid.SetRowCount(3);
  grid.SetColCount(2);
  grid.SetCells(1, 2, "x");
  grid.SetFixedRows(0);
  QCoreApplication::processEvents();
  EXPECT_EQ(grid.GridModel()->rowCount(), 3);
  EXPECT_EQ(grid.GridModel()->data(grid.GridModel()->index(2, 1)).toString(), QString("x"));
  grid.SetFixedRows(1);
  grid.SetCells(1, 0, "Titre \xE9");
  EXPECT_EQ(grid.GridModel()->headerData(1, Qt::Horizontal).toString(), QString::fromUtf8("Titre \xC3\xA9"));
}

TEST(StringGridModel, KeepsBytesAndShowsThemAsWindows1252) {
  test::TraceRecorder trace;
  StringGridWidget grid(nullptr, 2, 3);
  grid.SetCells(1, 1, "\x80 \x9C\xE9");
  EXPECT_EQ(grid.GetCells(1, 1), "\x80 \x9C\xE9");
  const QModelIndex index = grid.GridModel()->index(0, 1);
  EXPECT_EQ(grid.GridModel()->data(index).toString(), QString::fromUtf8("\xE2\x82\xAC \xC5\x93\xC3\xA9"));
  grid.GridModel()->setData(index, QString::fromUtf8("\xC5\x92uvre \xE2\x98\x83"));
  EXPECT_EQ(grid.GetCells(1, 1), "\x8Cuvre ?") << "characters without a byte become '?'";
}

TEST(VirtualKeys, KeypadAndFunctionKeysTakeTheirWindowsCodes) {
  EXPECT_EQ(ToVirtualKey(Qt::Key_A, {}), 65);
  EXPECT_EQ(ToVirtualKey(Qt::Key_7, {}), 55);
  EXPECT_EQ(ToVirtualKey(Qt::Key_0, Qt::KeypadModifier), 96);
  EXPECT_EQ(ToVirtualKey(Qt::Key_1, Qt::KeypadModifier), 97);
  EXPECT_EQ(ToVirtualKey(Qt::Key_Period, Qt::KeypadModifier), 110);
  EXPECT_EQ(ToVirtualKey(Qt::Key_Slash, Qt::KeypadModifier), 111);
  EXPECT_EQ(ToVirtualKey(Qt::Key_F1, {}), 112);
  EXPECT_EQ(ToVirtualKey(Qt::Key_F11, {}), 122);
  EXPECT_EQ(ToVirtualKey(Qt::Key_F12, {}), 123);
  EXPECT_EQ(ToVirtualKey(Qt::Key_Down, {}), 40);
  EXPECT_EQ(ToShiftState(Qt::ShiftModifier | Qt::ControlModifier, Qt::LeftButton), ssShift | ssCtrl | ssLeft);
}

TEST(VirtualKeys, NumberRowKeysTakeTheirDigitWhateverTheLayoutAndShift) {
  struct Press {
    int qtKey;
    Qt::KeyboardModifiers modifiers;
    uint32_t scanCode;
    uint16_t code;
  };
  const Press presses[] = {
      {Qt::Key_Exclam, Qt::ShiftModifier, 10, 49},    // Shift+1 on a US keyboard
      {Qt::Key_Asterisk, Qt::ShiftModifier, 17, 56},  // Shift+8
      {Qt::Key_Ampersand, {}, 10, 49},                // the French number row, unshifted
      {Qt::Key_Eacute, {}, 11, 50},
      {Qt::Key_Apostrophe, {}, 13, 52},
      {Qt::Key_Minus, {}, 15, 54},
      {Qt::Key_Agrave, {}, 19, 48},
      {Qt::Key_3, Qt::ShiftModifier, 12, 51},  // Shift+3 on a French keyboard
  };
  for (const Press& press : presses) {
    EXPECT_EQ(ToVirtualKey(press.qtKey, press.modifiers, press.scanCode, TScanCodes::kXkb), press.code)
        << press.scanCode;
  }
  // The keypad keeps its own codes, other keys go by their Qt key, and
  // without known scan codes nothing changes.
  EXPECT_EQ(ToVirtualKey(Qt::Key_1, Qt::KeypadModifier, 87, TScanCodes::kXkb), 97);
  EXPECT_EQ(ToVirtualKey(Qt::Key_A, {}, 24, TScanCodes::kXkb), 65);
  EXPECT_EQ(ToVirtualKey(Qt::Key_Minus, {}, 20, TScanCodes::kXkb), 189);
  EXPECT_EQ(ToVirtualKey(Qt::Key_Exclam, Qt::ShiftModifier, 10, TScanCodes::kUnknown), 0);
  EXPECT_EQ(ToVirtualKey(Qt::Key_7, {}, 0, TScanCodes::kUnknown), 55);
}

class GridWidget : public GridWidgetFixture {};

TEST_F(GridWidget, TitleClicksSortPricesByValueThenReverse) {
  Fill({{"3400000000001", "B", "80"}, {"3400000000002", "A", "9"}, {"3400000000003", "C", "12"}});
  Click(2, 0);
  EXPECT_EQ(Column(2), (std::vector<std::string>{"9", "12", "80"}));
  EXPECT_EQ(Column(1), (std::vector<std::string>{"A", "C", "B"}));
  Click(2, 0);
  EXPECT_EQ(Column(2), (std::vector<std::string>{"80", "12", "9"}));
  EXPECT_EQ(grid->GetRowTexts(0), (std::vector<std::string>{"CIP", "Designation", "Prix"}));
  EXPECT_EQ(windowMouseUps, 2) << "title clicks still reach the window";
  EXPECT_TRUE(trace.Boxes().empty());
}

TEST_F(GridWidget, DesignationTitleSortsByBytes) {
  Fill({{"1", "aspirine", "1"}, {"2", "DOLIPRANE", "1"}, {"3", "Zinc", "1"}, {"4", "ASPEGIC", "1"}});
  Click(1, 0);
  EXPECT_EQ(Column(1), (std::vector<std::string>{"ASPEGIC", "DOLIPRANE", "Zinc", "aspirine"}));
}

TEST_F(GridWidget, SingleRowAndClicksOnDataRows) {
  Fill({{"2", "b", "1"}});
  Click(1, 1);
  EXPECT_EQ(grid->GetRow(), 1);
  Click(1, 0);
  EXPECT_EQ(Column(1), (std::vector<std::string>{"b"}));
  EXPECT_EQ(grid->GetRow(), 1);
  Fill({{"2", "b", "1"}, {"1", "a", "2"}});
  Click(0, 2);
  EXPECT_EQ(Column(0), (std::vector<std::string>{"2", "1"})) << "a click on a data row sorts nothing";
  EXPECT_EQ(grid->GetRow(), 2);
}

TEST_F(GridWidget, SortKeepsTheCurrentRowAtTheSameHeight) {
  std::vector<std::vector<std::string>> rows;
  for (int k = 0; k < 300; ++k)
    rows.push_back({std::to_string(5000 + k), "D" + std::to_string(k), std::to_string(k)});
  Fill(rows);
  controller->SetTopRow(40);
  controller->SetRow(45);
  ASSERT_EQ(grid->GetTopRow(), 40);
  Click(2, 0);  // ascending: already in order
  Click(2, 0);  // descending: row 45 ("5044") goes to 300 - 44 = 256
  EXPECT_EQ(grid->GetRow(), 256);
  EXPECT_EQ(grid->GetCells(0, 256), "5044");
  EXPECT_EQ(grid->GetTopRow(), 251);
  EXPECT_EQ(grid->CellRect(0, 256).top(), grid->CellRect(0, 0).top() + 6 * 25)
      << "the title row stays on top";
}

// With whole rows selected, picking a row never scrolls the columns on screen
// sideways: a long designation must not push the codes out of sight, and a
// second click on the price title must land on the price title again.
TEST_F(GridWidget, PickingARowKeepsTheColumnsOnScreen) {
  const std::string longName(300, 'D');  // far wider than the widget
  std::vector<std::vector<std::string>> rows;
  for (int k = 0; k < 40; ++k)
    rows.push_back({std::to_string(3400000 + k), longName + std::to_string(k), std::to_string(40 - k)});
  Fill(rows);
  QScrollBar* sideways = grid->horizontalScrollBar();
  ASSERT_GT(sideways->maximum(), 0);
  ASSERT_EQ(sideways->value(), 0);

  // The designation cell is wider than the view: click its visible start.
  const QRect cell = grid->CellRect(1, 3);
  const QPoint start(cell.left() + 10, cell.center().y());
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->viewport()->mapFrom(grid.get(), start));
  ASSERT_EQ(grid->GetRow(), 3);
  EXPECT_EQ(sideways->value(), 0) << "the codes stay in sight";
  QTest::keyClick(grid.get(), Qt::Key_Down);
  EXPECT_EQ(grid->GetRow(), 4);
  EXPECT_EQ(sideways->value(), 0);

  sideways->setValue(sideways->maximum());  // the prices in sight
  Click(2, 0);
  EXPECT_EQ(Column(2).front(), "1");
  EXPECT_EQ(sideways->value(), sideways->maximum());
  Click(2, 0);
  EXPECT_EQ(Column(2).front(), "40") << "the second click lands on the price title again";
  EXPECT_EQ(sideways->value(), sideways->maximum());

  sideways->setValue(0);
  QTest::keyClick(grid.get(), Qt::Key_Right);
  EXPECT_GT(sideways->value(), 0) << "Left and Right still scroll sideways";
  EXPECT_TRUE(trace.Boxes().empty());
}

TEST_F(GridWidget, TypingIntoACellOutOfSightBringsItIntoSight) {
  const std::string longName(300, 'D');
  Fill({{"3400001", longName, "5"}, {"3400002", longName, "6"}});
  Click(0, 2);
  QScrollBar* sideways = grid->horizontalScrollBar();
  sideways->setValue(sideways->maximum());  // the code column out of sight
  ASSERT_LT(grid->CellRect(0, 2).right(), grid->viewport()->geometry().left());
  QTest::keyClick(grid.get(), Qt::Key_A);
  ASSERT_NE(grid->InplaceEditor(), nullptr);
  EXPECT_TRUE(grid->viewport()->geometry().contains(grid->CellRect(0, 2))) << "the user sees what is typed";
  QTest::keyClick(grid->InplaceEditor(), Qt::Key_Return);
  QCoreApplication::processEvents();

  // A designation wider than the view, its start in sight: no jump.
  const QRect designation = grid->CellRect(1, 1);
  const QPoint start(designation.left() + 10, designation.center().y());
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->viewport()->mapFrom(grid.get(), start));
  ASSERT_EQ(grid->GetCol(), 1);
  QTest::keyClick(grid.get(), Qt::Key_B);
  ASSERT_NE(grid->InplaceEditor(), nullptr);
  EXPECT_EQ(grid->horizontalScrollBar()->value(), 0) << "the codes stay in sight";
}

TEST_F(GridWidget, HomeAndEndPickTheFirstAndLastRow) {
  std::vector<std::vector<std::string>> rows;
  for (int k = 0; k < 40; ++k) rows.push_back({std::to_string(k), "x", "1"});
  Fill(rows);
  Click(0, 5);
  QTest::keyClick(grid.get(), Qt::Key_End);
  EXPECT_EQ(grid->GetRow(), 40);
  EXPECT_GE(grid->GetTopRow() + grid->GetVisibleRowCount() - 1, 40) << "the last row is in sight";
  QTest::keyClick(grid.get(), Qt::Key_Home);
  EXPECT_EQ(grid->GetRow(), 1);
  EXPECT_EQ(grid->GetTopRow(), 1);
  EXPECT_FALSE(grid->GetEditorMode());
  EXPECT_TRUE(trace.Boxes().empty());
}

TEST_F(GridWidget, TheFirstVisibleRowIsAlwaysWhole) {
  std::vector<std::vector<std::string>> rows;
  for (int k = 0; k < 40; ++k) rows.push_back({std::to_string(k), "x", "1"});
  Fill(rows);
  auto topRowIsWhole = [&] {
    const QRect body = grid->viewport()->geometry();
    return grid->CellRect(0, grid->GetTopRow()).top() == body.top() &&
           grid->CellRect(0, 40).bottom() <= body.bottom();
  };
  // Heights that are no whole number of rows, reached at the end of the list
  // by End, by picking the last row, and by a height change made there.
  for (const int height : {300, 313, 287}) {
    grid->resize(400, height);
    Click(0, 5);
    QTest::keyClick(grid.get(), Qt::Key_End);
    EXPECT_TRUE(topRowIsWhole()) << height << " End";
    QTest::keyClick(grid.get(), Qt::Key_Home);
    controller->SetRow(40);
    EXPECT_TRUE(topRowIsWhole()) << height << " SetRow";
    grid->resize(400, height + 7);
    QCoreApplication::processEvents();
    EXPECT_TRUE(topRowIsWhole()) << height << " taller";
  }
}

TEST_F(GridWidget, TypedLetterEmptiesTheCellOnceThenTypes) {
  Fill({{"1", "abc", "5"}, {"2", "def", "6"}});
  Click(0, 2);
  QTest::keyClick(grid.get(), Qt::Key_A);
  ASSERT_NE(grid->InplaceEditor(), nullptr);
  EXPECT_EQ(grid->InplaceEditor()->text(), QString("a")) << "emptied, then the key typed into the editor";
  EXPECT_EQ(grid->GetCells(0, 2), "a") << "the cell follows the editor";
  QTest::keyClick(grid->InplaceEditor(), Qt::Key_B);
  EXPECT_EQ(grid->InplaceEditor()->text(), QString("ab")) << "a second key does not empty it again";
  QTest::keyClick(grid->InplaceEditor(), Qt::Key_Return);
  QCoreApplication::processEvents();  // the editor commits when control returns
  EXPECT_EQ(grid->GetCells(0, 2), "ab");
  EXPECT_FALSE(grid->GetEditorMode());
  QTest::keyClick(grid.get(), Qt::Key_A, Qt::ShiftModifier);
  EXPECT_TRUE(grid->GetEditorMode()) << "Shift+A is handled like A";
  EXPECT_EQ(grid->InplaceEditor()->text().toUpper(), QString("A"));
  EXPECT_TRUE(trace.Boxes().empty());
}

TEST_F(GridWidget, AClosedEditorIsDeletedCleanlyAndTheNextKeyOpensANewOne) {
  Fill({{"1", "abc", "5"}, {"2", "def", "6"}});
  Click(0, 2);
  QTest::keyClick(grid.get(), Qt::Key_A);
  ASSERT_NE(grid->InplaceEditor(), nullptr);
  QTest::keyClick(grid->InplaceEditor(), Qt::Key_Return);
  QCoreApplication::processEvents();  // the editor commits and closes
  // Deleted as the event loop would delete it; it still sends events on its
  // way out, which the widget must not take for an editor's.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(grid->GetEditorMode());
  EXPECT_EQ(grid->GetCells(0, 2), "a");
  QTest::keyClick(grid.get(), Qt::Key_B);
  EXPECT_EQ(grid->GetCells(0, 2), "b") << "the next key opens a new editor";
}

// The grid has no tabs option: Tab goes on to the next control of the
// window, from the grid and from its editor alike.
TEST(GridWidgetFocus, TabLeavesTheGridForTheNextControl) {
  test::TraceRecorder trace;
  QWidget window;
  auto* grid = new StringGridWidget(&window, 3, 3);
  grid->setGeometry(0, 0, 300, 150);
  auto* next = new QLineEdit(&window);
  next->setGeometry(0, 160, 100, 20);
  QWidget::setTabOrder(grid, next);
  grid->SetOptions(goVertLine | goHorzLine | goEditing | goRowSelect);
  int tabKeyDowns = 0;
  grid->Events().OnKeyDown = [&](uint16_t& key, TShiftState) { tabKeyDowns += key == 9; };
  TMyStringGrid controller(grid, nullptr);
  controller.fNumberRows = false;
  controller.SetFixedCols(0);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  grid->setFocus();
  ASSERT_TRUE(grid->hasFocus());
  const int32_t col = grid->GetCol();
  QTest::keyClick(grid, Qt::Key_Tab);
  EXPECT_TRUE(next->hasFocus());
  EXPECT_EQ(grid->GetCol(), col) << "Tab does not move the current cell";
  EXPECT_EQ(tabKeyDowns, 1) << "the key-down handlers hear of Tab first";

  grid->setFocus();
  QTest::keyClick(grid, Qt::Key_A);
  ASSERT_NE(grid->InplaceEditor(), nullptr);
  QTest::keyClick(grid->InplaceEditor(), Qt::Key_Tab);
  QCoreApplication::processEvents();
  EXPECT_TRUE(next->hasFocus());
  EXPECT_FALSE(grid->GetEditorMode());
  EXPECT_EQ(grid->GetCol(), col);
  EXPECT_EQ(grid->GetCells(col, 1), "a") << "what was typed stays";
  EXPECT_EQ(tabKeyDowns, 2);

  // A handler that drops the key keeps the focus in the grid.
  grid->Events().OnKeyDown = [](uint16_t& key, TShiftState) { key = 0; };
  grid->setFocus();
  QTest::keyClick(grid, Qt::Key_Tab);
  EXPECT_TRUE(grid->hasFocus());
  EXPECT_TRUE(trace.Boxes().empty());
}

TEST_F(GridWidget, ControlAndAltKeysLeaveTheCellAlone) {
  Fill({{"1", "abc", "5"}});
  Click(1, 1);
  QTest::keyClick(grid.get(), Qt::Key_C, Qt::ControlModifier);
  QTest::keyClick(grid.get(), Qt::Key_X, Qt::AltModifier);
  EXPECT_EQ(grid->GetCells(0, 1), "1");
  EXPECT_FALSE(grid->GetEditorMode());
}

TEST_F(GridWidget, LetterOverASelectionReplacesTheSelectedPart) {
  Fill({{"abcdefg", "x", "5"}});
  Click(0, 1);
  grid->SetEditorMode(true);
  QLineEdit* editor = grid->InplaceEditor();
  ASSERT_NE(editor, nullptr);
  // Typed but not committed: the cell already holds it.
  QTest::keyClick(editor, Qt::Key_End);
  QTest::keyClicks(editor, "hi");
  ASSERT_EQ(grid->GetCells(0, 1), "abcdefghi");
  editor->setSelection(2, 3);
  ASSERT_EQ(grid->GetEditorSelStart(), 2);
  ASSERT_EQ(grid->GetEditorSelLength(), 3);
  std::string cellWhenForwarded;
  int32_t selStartWhenForwarded = -1;
  onWindowKeyDown = [&] {
    cellWhenForwarded = grid->GetCells(0, 1);
    selStartWhenForwarded = grid->GetEditorSelStart();
  };
  QTest::keyClick(editor, Qt::Key_X);
  EXPECT_EQ(cellWhenForwarded, "abfghi") << "the selected part removed before the key goes on";
  EXPECT_EQ(selStartWhenForwarded, 2);
  EXPECT_EQ(editor->text(), QString("abxfghi"));
  EXPECT_EQ(grid->GetCells(0, 1), "abxfghi");
  EXPECT_EQ(editor->cursorPosition(), 3);
}

TEST_F(GridWidget, ReadOnlyRowsSwitchEditingOffAndOn) {
  Fill({{"1", "a", "5"}, {"2", "b", "6"}, {"3", "c", "7"}});
  controller->SetColReadOnly(0, true);  // with row select, column 0 decides
  Click(2, 2);
  EXPECT_FALSE(grid->GetOptions() & goEditing);
  QTest::keyClick(grid.get(), Qt::Key_A);
  EXPECT_FALSE(grid->GetEditorMode());
  EXPECT_EQ(grid->GetRowTexts(2), (std::vector<std::string>{"2", "b", "6"}));
  controller->SetColReadOnly(0, false);
  Click(2, 3);
  EXPECT_TRUE(grid->GetOptions() & goEditing);
  EXPECT_TRUE(trace.Boxes().empty());
}

TEST_F(GridWidget, WheelBringsTheCurrentRowIntoSightFirst) {
  std::vector<std::vector<std::string>> rows;
  for (int k = 0; k < 200; ++k) rows.push_back({std::to_string(k), "x", "1"});
  Fill(rows);
  Click(1, 3);
  controller->SetTopRow(100);
  const QPoint at = grid->viewport()->rect().center();
  QWheelEvent down(at, grid->viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                   Qt::NoModifier, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(grid->viewport(), &down);
  EXPECT_EQ(grid->GetRow(), 100);
  EXPECT_GT(grid->GetTopRow(), 100) << "then the view scrolls as usual";
}

TEST_F(GridWidget, DoubleClicksOnTitlesAreSwallowed) {
  Fill({{"1", "a", "5"}, {"2", "b", "6"}});
  DoubleClick(1, 0);
  EXPECT_EQ(windowDoubleClicks, 0);
  DoubleClick(1, 2);
  EXPECT_EQ(windowDoubleClicks, 1);
}

TEST_F(GridWidget, FillingTwentyThousandRowsKeepsTablesInStep) {
  std::vector<std::vector<std::string>> rows(20000, {"3400000000000", "DESIGNATION", "12,50"});
  Fill(rows);
  EXPECT_EQ(controller->TableRowCount(), 20001);
  EXPECT_EQ(grid->GridModel()->rowCount(), 20000);
  controller->SetRowCount(10);
  EXPECT_EQ(grid->GridModel()->rowCount(), 9);
  EXPECT_EQ(controller->TableRowCount(), 10);
  EXPECT_TRUE(trace.Boxes().empty());
}

}  // namespace
}  // namespace quillor
