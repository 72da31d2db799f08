// The order window on the bundled catalogue, offscreen: start-up until the
// catalogue is shown, a keystroke in exact mode until the grid is updated,
// and Enter in approximate mode until the grid is updated. Each measured
// step includes the event processing that repaints the window.
//
// Run from a folder holding Data/ (the build's bin/ does).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "ArticleSearch.h"
#include "BenchSupport.h"
#include "MessagePresenter.h"
#include "QuillorApplication.h"
#include "Quillor_Unit.h"

namespace {

class SilentPresenter : public quillor::MessagePresenter {
 public:
  void Show(quillor::TMessageKind, const std::string& text) override {
    std::fprintf(stderr, "box: %s\n", text.c_str());
  }
};

void Flush() {
  QApplication::processEvents();
}

void BM_StartUpUntilCatalogueShown(benchmark::State& state) {
  for (auto _ : state) {
    auto form = std::make_unique<quillor::TQuillor_Form>();
    Flush();
    state.counters["rows"] = form->ArticleGrid->GetRowCount();
    state.PauseTiming();
    form.reset();
    Flush();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_StartUpUntilCatalogueShown)->Unit(benchmark::kMillisecond)->Apply(quillor::bench::Sampled<5, 3>);

// Realistic typing: each step adds one character to the query.
const std::vector<std::string> kTyped = {
    "dol",        "doli",        "dolip",        "dolipr",        "dolipra",        "doliprane",
    "doliprane ", "doliprane 1", "doliprane 10", "doliprane 100", "doliprane 1000", "asp",
    "aspi",       "aspir",       "aspiri",       "aspirin",       "aspirine",       "aspirine ",
    "aspirine 5", "aspirine 50", "aspirine 500", "ibu",           "ibup",           "ibupr",
    "ibupro",     "ibuprof",     "ibuprofe",     "ibuprofen",     "ibuprofene",     "amox"};

void BM_ExactKeystroke(benchmark::State& state) {
  quillor::TQuillor_Form form;
  Flush();
  size_t i = 0;
  for (auto _ : state) {
    form.Edit1->setText(QString::fromStdString(kTyped[i++ % kTyped.size()]));
    Flush();
  }
}
BENCHMARK(BM_ExactKeystroke)->Unit(benchmark::kMillisecond)->Apply(quillor::bench::Sampled<60, 5>);

const std::vector<std::string> kApproximate = {"doliprane 1000",   "aspirine du rhone", "efferalgan 1g",
                                               "amoxicilline 500", "ibuprofene 400 mg", "spasfon"};

void BM_ApproximateEnter(benchmark::State& state) {
  quillor::TQuillor_Form form;
  form.RadioButton3->setChecked(true);
  Flush();
  size_t i = 0;
  for (auto _ : state) {
    form.Edit1->setText(QString::fromStdString(kApproximate[i++ % kApproximate.size()]));
    char enter = '\r';
    form.Edit1KeyPress(enter);
    Flush();
  }
}
BENCHMARK(BM_ApproximateEnter)->Unit(benchmark::kMillisecond)->Apply(quillor::bench::Sampled<12, 5>);

// The parts of an approximate search, to see where its time goes.
void BM_ApproximatePartsRanking(benchmark::State& state) {
  quillor::TQuillor_Form form;
  Flush();
  for (auto _ : state) quillor::SearchArticles(*form.ArticleTable, "DOLIPRANE 1000", true);
}
BENCHMARK(BM_ApproximatePartsRanking)->Unit(benchmark::kMillisecond)->Apply(quillor::bench::Sampled<12, 3>);

void BM_ApproximatePartsGridFill(benchmark::State& state) {
  quillor::TQuillor_Form form;
  Flush();
  quillor::SearchArticles(*form.ArticleTable, "DOLIPRANE 1000", true);
  for (auto _ : state) form.ArticleTable->SelectionToGrid(*form.ArticleGrid, "", true);
}
BENCHMARK(BM_ApproximatePartsGridFill)->Unit(benchmark::kMillisecond)->Apply(quillor::bench::Sampled<12, 3>);

void BM_ApproximatePartsPrices(benchmark::State& state) {
  quillor::TQuillor_Form form;
  Flush();
  for (auto _ : state) {
    state.PauseTiming();
    form.ArticleTable->SelectionToGrid(*form.ArticleGrid, "", true);
    state.ResumeTiming();
    form.DisplayPrices();
  }
}
BENCHMARK(BM_ApproximatePartsPrices)->Unit(benchmark::kMillisecond)->Apply(quillor::bench::Sampled<12, 3>);

void BM_ApproximatePartsRepaint(benchmark::State& state) {
  quillor::TQuillor_Form form;
  Flush();
  for (auto _ : state) {
    form.ListeArticles_StringGrid->viewport()->update();
    Flush();
  }
}
BENCHMARK(BM_ApproximatePartsRepaint)->Unit(benchmark::kMillisecond)->Apply(quillor::bench::Sampled<12, 3>);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  quillor::QuillorApplication application(argc, argv);
  quillor::SetMessagePresenter(std::make_unique<SilentPresenter>());
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
