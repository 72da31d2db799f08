// What the widget shows, checked on the pixels of a rendered image, and the
// canvas's text widths against Qt's own measurement.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <fstream>

#include "grid/widget/GridText.h"
#include "tests/grid/GridWidgetFixture.h"
#include "tests/support/TestPaths.h"

namespace quillor {
namespace {

using test::GridWidgetFixture;

class GridDrawing : public GridWidgetFixture {
 protected:
  QImage Render() { return grid->grab().toImage(); }
  // Text is antialiased: count pixels near the text colour, not equal to it.
  static int CountNear(const QImage& image, const QRect& cell, QColor color) {
    int count = 0;
    for (int y = cell.top(); y <= cell.bottom(); ++y) {
      for (int x = cell.left(); x <= cell.right(); ++x) {
        const QColor pixel = image.pixelColor(x, y);
        count += std::abs(pixel.red() - color.red()) + std::abs(pixel.green() - color.green()) +
                     std::abs(pixel.blue() - color.blue()) <
                 150;
      }
    }
    return count;
  }
};

TEST_F(GridDrawing, SelectedRowIsWhiteOnNavyTitlesOnButtonFace) {
  Fill({{"1", "ASPIRINE", "5"}, {"2", "DOLIPRANE", "6"}, {"3", "EFFERALGAN", "7"}});
  Click(1, 2);
  const QImage image = Render();
  if (qEnvironmentVariableIsSet("QUILLOR_GRID_SNAPSHOT"))
    image.save(qEnvironmentVariable("QUILLOR_GRID_SNAPSHOT"));
  const QRect selected = grid->CellRect(1, 2);
  const QRect plain = grid->CellRect(1, 3);
  const QRect title = grid->CellRect(1, 0);
  const QColor navy(0, 0, 128);
  EXPECT_EQ(image.pixelColor(selected.left() + 1, selected.top() + 1), navy);
  EXPECT_EQ(image.pixelColor(grid->CellRect(0, 2).left() + 1, selected.top() + 1), navy) << "the whole row";
  EXPECT_GT(CountNear(image, selected, Qt::white), 10) << "white text";
  EXPECT_EQ(image.pixelColor(plain.left() + 1, plain.top() + 1), QColor(Qt::white));
  EXPECT_GT(CountNear(image, plain, Qt::black), 10) << "black text";
  const QColor buttonFace = grid->palette().color(QPalette::Button);
  EXPECT_EQ(image.pixelColor(title.left() + 1, title.top() + 1), buttonFace);
  EXPECT_GT(CountNear(image, title, Qt::black), 10) << "black title";
  EXPECT_TRUE(trace.Boxes().empty());
}

TEST_F(GridDrawing, TextIsCentredAndWideTextIsClippedOnBothSides) {
  Fill({{"1", "I", "5"}, {"2", std::string(80, 'W'), "6"}});
  controller->SetCellColor(0, 1, 0x00FF00);  // must not matter to what follows
  grid->SetColWidth(1, 100);
  grid->SetColWidth(2, 100);
  const QImage image = Render();
  // The "I" sits in the middle of its cell: as many white columns left as right.
  const QRect cell = grid->CellRect(1, 1);
  int first = -1, last = -1;
  for (int x = cell.left(); x <= cell.right(); ++x) {
    for (int y = cell.top(); y <= cell.bottom(); ++y) {
      if (image.pixelColor(x, y).lightness() < 128) {
        if (first < 0) first = x;
        last = x;
      }
    }
  }
  ASSERT_GE(first, 0);
  EXPECT_LE(std::abs((first - cell.left()) - (cell.right() - last)), 2);
  // The over-wide text covers its cell from edge to edge and nothing beyond.
  const QRect wide = grid->CellRect(1, 2);
  EXPECT_GT(CountNear(image, QRect(wide.left(), wide.top(), 3, wide.height()), Qt::black), 0);
  EXPECT_GT(CountNear(image, QRect(wide.right() - 2, wide.top(), 3, wide.height()), Qt::black), 0);
  const QRect next = grid->CellRect(2, 2);
  EXPECT_EQ(CountNear(image, QRect(next.left(), next.top(), 10, next.height()), Qt::black), 0);
}

TEST_F(GridDrawing, TitleRowStaysWhenTheRowsScroll) {
  std::vector<std::vector<std::string>> rows;
  for (int k = 0; k < 500; ++k) rows.push_back({std::to_string(k), "x", "1"});
  Fill(rows);
  controller->SetTopRow(300);
  const QRect title = grid->CellRect(1, 0);
  const QImage image = Render();
  EXPECT_EQ(image.pixelColor(title.left() + 1, title.top() + 1), grid->palette().color(QPalette::Button));
  EXPECT_EQ(grid->MouseCoord(title.center().x(), title.center().y()), (TGridCoord{1, 0}));
  const QRect top = grid->CellRect(1, 300);
  EXPECT_EQ(grid->MouseCoord(top.center().x(), top.center().y()), (TGridCoord{1, 300}));
}

TEST(GridCanvas, WidthsMatchQtsMeasurementOnTheCatalogue) {
  test::TraceRecorder trace;
  StringGridWidget grid(nullptr, 3, 2);
  GridPainterCanvas& canvas = static_cast<GridPainterCanvas&>(grid.Canvas());
  canvas.SetFont(TGridFont{clBlack, 8, 0});
  const QFontMetrics metrics(canvas.MakeQFont(TGridFont{clBlack, 8, 0}));
  std::ifstream catalogue(test::RealCatalogue());
  ASSERT_TRUE(catalogue.good()) << test::RealCatalogue();
  std::string line;
  int checked = 0;
  while (std::getline(catalogue, line) && checked < 3000) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    for (size_t start = 0; start <= line.size();) {
      const size_t end = std::min(line.find(';', start), line.size());
      const std::string field = line.substr(start, end - start);
      ASSERT_EQ(canvas.TextWidth(field), metrics.horizontalAdvance(ToQString(field))) << field;
      ++checked;
      start = end + 1;
    }
  }
  EXPECT_GE(checked, 3000);
}

}  // namespace
}  // namespace quillor
