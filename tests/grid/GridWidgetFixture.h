// A shown string-grid widget with a controller set up as the order window
// sets up its article grid: 3 columns, no fixed column, one title row,
// lines, editing and row select, no row numbers.
#pragma once

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QTest>
#include <functional>
#include <memory>

#include "grid/MyStringGrid.h"
#include "grid/widget/StringGridWidget.h"
#include "tests/support/TraceRecorder.h"

namespace quillor::test {

class GridWidgetFixture : public ::testing::Test {
 protected:
  TraceRecorder trace;
  std::unique_ptr<StringGridWidget> grid;
  std::unique_ptr<TMyStringGrid> controller;
  // Handlers the window had before the controller took over.
  int windowDoubleClicks = 0;
  int windowMouseUps = 0;
  std::function<void()> onWindowKeyDown;

  void SetUp() override {
    grid = std::make_unique<StringGridWidget>(nullptr, 3, 2);
    grid->resize(400, 300);
    grid->SetOptions(goVertLine | goHorzLine | goEditing | goRowSelect);
    grid->Events().OnDblClick = [this] { ++windowDoubleClicks; };
    grid->Events().OnMouseUp = [this](TMouseButton, TShiftState, int32_t, int32_t) { ++windowMouseUps; };
    grid->Events().OnKeyDown = [this](uint16_t&, TShiftState) {
      if (onWindowKeyDown) onWindowKeyDown();
    };
    controller = std::make_unique<TMyStringGrid>(grid.get(), nullptr);
    controller->fNumberRows = false;
    controller->SetFixedRows(1);
    controller->SetFixedCols(0);
    grid->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(grid.get()));
  }
  void TearDown() override {
    controller.reset();  // the widget outlives its controller
    grid.reset();
  }

  void Fill(const std::vector<std::vector<std::string>>& rows) {
    controller->ClearCells();
    controller->SetColCount(3);
    controller->SetRowCount(static_cast<int32_t>(rows.size()) + 1);
    controller->setTitles("CIP;Designation;Prix");
    for (size_t r = 0; r < rows.size(); ++r) {
      for (size_t c = 0; c < rows[r].size(); ++c) {
        controller->WriteCell(static_cast<int32_t>(c), static_cast<int32_t>(r) + 1, rows[r][c]);
      }
    }
    controller->ResizeCellTables();
    QCoreApplication::processEvents();
  }
  std::vector<std::string> Column(int32_t col) const {
    std::vector<std::string> texts;
    for (int32_t r = 1; r < grid->GetRowCount(); ++r) texts.push_back(grid->GetCells(col, r));
    return texts;
  }
  // Where to click a cell: the widget or header viewport and a point in it.
  std::pair<QWidget*, QPoint> Target(int32_t col, int32_t row) const {
    const QPoint center = grid->CellRect(col, row).center();
    QWidget* target = row < grid->GetFixedRows() ? grid->horizontalHeader()->viewport() : grid->viewport();
    return {target, target->mapFrom(grid.get(), center)};
  }
  void Click(int32_t col, int32_t row) {
    auto [target, point] = Target(col, row);
    QTest::mouseClick(target, Qt::LeftButton, {}, point);
  }
  void DoubleClick(int32_t col, int32_t row) {
    auto [target, point] = Target(col, row);
    QTest::mouseDClick(target, Qt::LeftButton, {}, point);
  }
};

}  // namespace quillor::test
