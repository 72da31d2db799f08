// The article grid on the real widget, offscreen, with the real catalogue:
// writing the whole selection into the grid (SelectionToGrid, which ends
// with ResizeCellTables and so AutoSizeColumns, then ResizeCellTables once
// more as the window does), and a title click that sorts 20,000 rows.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <cstdlib>
#include <memory>

#include "bench/BenchSupport.h"
#include "database/Database.h"
#include "grid/MyStringGrid.h"
#include "grid/widget/StringGridWidget.h"

namespace {

struct ArticleGrid {
  std::unique_ptr<quillor::TMyDatabase> table =
      quillor::TMyDatabase::CreateFromList(quillor::bench::StressCatalogueLines());
  quillor::StringGridWidget widget{nullptr, 3, 2};
  std::unique_ptr<quillor::TMyStringGrid> controller;

  ArticleGrid() {
    widget.resize(760, 420);
    widget.SetOptions(quillor::goVertLine | quillor::goHorzLine | quillor::goEditing | quillor::goRowSelect);
    controller = std::make_unique<quillor::TMyStringGrid>(&widget, nullptr);
    controller->fNumberRows = false;
    controller->SetFixedRows(1);
    controller->SetFixedCols(0);
    widget.show();
    table->QueryAll("Designation");
    QApplication::processEvents();
  }
  ~ArticleGrid() { controller.reset(); }

  void Fill() {
    table->SelectionToGrid(*controller, "", true);
    controller->ResizeCellTables();
  }
};

void BM_SelectionToGridWithColumnWidths(benchmark::State& state) {
  ArticleGrid grid;
  for (auto _ : state) {
    state.PauseTiming();
    grid.controller->SetRowCount(2);  // a previous search showed one row
    QApplication::processEvents();
    state.ResumeTiming();
    grid.Fill();
    QApplication::processEvents();  // the batched change notice and a repaint
  }
  state.counters["rows"] = grid.controller->GetRowCount() - 1;
}
BENCHMARK(BM_SelectionToGridWithColumnWidths)
    ->Unit(benchmark::kMillisecond)
    ->Apply(quillor::bench::MeasuredFor<2>);

void BM_RefillSameSize(benchmark::State& state) {
  ArticleGrid grid;
  grid.Fill();
  for (auto _ : state) {
    grid.Fill();
    QApplication::processEvents();
  }
}
BENCHMARK(BM_RefillSameSize)->Unit(benchmark::kMillisecond)->Apply(quillor::bench::MeasuredFor<2>);

// Arg: the column whose title is clicked (0 CIP, 1 designation, 2 price).
// Each click reverses the previous order, as a user clicking twice would.
void BM_TitleClickSort(benchmark::State& state) {
  ArticleGrid grid;
  grid.Fill();
  const auto col = static_cast<int32_t>(state.range(0));
  // The designation column is wider than the window: bring the title in.
  grid.widget.horizontalScrollBar()->setValue(grid.widget.horizontalHeader()->sectionPosition(col));
  QApplication::processEvents();
  const QRect title = grid.widget.CellRect(col, 0);
  if (grid.widget.MouseCoord(title.center().x(), title.center().y()) != quillor::TGridCoord{col, 0}) {
    state.SkipWithError("the title is not under the click");
    return;
  }
  grid.controller->SetRow(5000);
  for (auto _ : state) {
    grid.widget.Events().OnMouseUp(quillor::TMouseButton::mbLeft, 0, title.center().x(), title.center().y());
    QApplication::processEvents();
  }
  state.counters["rows"] = grid.controller->GetRowCount() - 1;
}
BENCHMARK(BM_TitleClickSort)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->Apply(quillor::bench::MeasuredFor<2>);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
