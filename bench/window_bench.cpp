// The order window on the bundled catalogue, offscreen: start-up until the
// catalogue is shown, a keystroke in exact mode and Enter in approximate mode
// until the grid is updated and repainted, and the parts of an approximate
// search (the two-thread ranking, the grid fill, the price display).
//
// At the end it prints, from the medians of this run, what the searches cost
// next to the ranking of the same run: the grid fill and the prices, Enter
// end to end, and an exact keystroke. Absolute times drift from day to day on
// a shared machine; ratios taken in one run do not.
//
// Run from a folder holding Data/ (the build's bin/ does).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ArticleSearch.h"
#include "BenchSupport.h"
#include "MessagePresenter.h"
#include "QuillorApplication.h"
#include "Quillor_Unit.h"

namespace {

using quillor::TQuillor_Form;

class SilentPresenter : public quillor::MessagePresenter {
 public:
  void Show(quillor::TMessageKind, const std::string& text) override {
    std::fprintf(stderr, "box: %s\n", text.c_str());
  }
};

void Flush() {
  QApplication::processEvents();
}

// One window serves every benchmark but the start-up: each sets the mode it
// needs. Made on first use, destroyed before the application.
std::unique_ptr<TQuillor_Form> gWindow;

TQuillor_Form& Window() {
  if (!gWindow) {
    gWindow = std::make_unique<TQuillor_Form>();
    Flush();
  }
  return *gWindow;
}

int32_t ArticleRows(TQuillor_Form& form) {
  return form.ArticleGrid->GetRowCount() - form.ArticleGrid->GetFixedRows();
}

void BM_StartUpUntilCatalogueShown(benchmark::State& state) {
  for (auto _ : state) {
    auto form = std::make_unique<TQuillor_Form>();
    Flush();
    state.counters["rows"] = ArticleRows(*form);
    state.PauseTiming();
    form.reset();
    Flush();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_StartUpUntilCatalogueShown)->Unit(benchmark::kMillisecond)->Apply(quillor::bench::Sampled<5, 3>);

// One keystroke in exact mode: the text goes from one of two texts to the
// other (a character typed or rubbed out), which searches and repaints.
// `leastRows`: how many rows each of the two texts must leave for the case
// to measure what it names.
void BM_ExactKeystroke(benchmark::State& state, const char* first, const char* second, int leastRows) {
  TQuillor_Form& form = Window();
  form.RadioButton1->setChecked(true);
  const QString texts[] = {QString::fromLatin1(first), QString::fromLatin1(second)};
  int32_t fewest = INT32_MAX;
  int32_t most = 0;
  size_t i = 0;
  for (auto _ : state) {
    form.Edit1->setText(texts[i++ % 2]);
    Flush();
    state.PauseTiming();
    fewest = std::min(fewest, ArticleRows(form));
    most = std::max(most, ArticleRows(form));
    state.ResumeTiming();
  }
  state.counters["rows_min"] = fewest;
  state.counters["rows_max"] = most;
  if (leastRows > 0 && fewest < leastRows)
    state.SkipWithError("the texts leave fewer rows than the case needs");
  if (leastRows < 0 && most > -leastRows)
    state.SkipWithError("the texts leave more rows than the case allows");
}
// At least a thousand rows left, and only a few.
BENCHMARK_CAPTURE(BM_ExactKeystroke, many_rows, "mg 1", "mg 10", 1000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Apply(quillor::bench::Sampled<60, 5>);
BENCHMARK_CAPTURE(BM_ExactKeystroke, few_rows, "doliprane 100", "doliprane 1000", -50)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Apply(quillor::bench::Sampled<60, 5>);

// The approximate searches: Enter end to end, and its parts.
void BM_ApproximateEnter(benchmark::State& state, const char* query) {
  TQuillor_Form& form = Window();
  form.RadioButton3->setChecked(true);
  form.Edit1->setText(QString::fromLatin1(query));  // typing does not search in this mode
  for (auto _ : state) {
    char enter = '\r';
    form.Edit1KeyPress(enter);
    Flush();
  }
}

void BM_ApproximateRanking(benchmark::State& state, const char* query) {
  TQuillor_Form& form = Window();
  const std::string normalised = quillor::NormaliseSearchText(query);
  for (auto _ : state) quillor::SearchArticles(*form.ArticleTable, normalised, true);
}

void BM_ApproximateGridFill(benchmark::State& state, const char* query) {
  TQuillor_Form& form = Window();
  quillor::SearchArticles(*form.ArticleTable, quillor::NormaliseSearchText(query), true);
  for (auto _ : state) form.ArticleTable->SelectionToGrid(*form.ArticleGrid, "", true);
  form.DisplayPrices();
}

void BM_ApproximatePrices(benchmark::State& state, const char* query) {
  TQuillor_Form& form = Window();
  quillor::SearchArticles(*form.ArticleTable, quillor::NormaliseSearchText(query), true);
  for (auto _ : state) {
    state.PauseTiming();
    form.ArticleTable->SelectionToGrid(*form.ArticleGrid, "", true);
    state.ResumeTiming();
    form.DisplayPrices();
  }
}

#define QUILLOR_APPROXIMATE(name, query)                 \
  BENCHMARK_CAPTURE(BM_ApproximateRanking, name, query)  \
      ->Unit(benchmark::kMillisecond)                    \
      ->UseRealTime()                                    \
      ->Apply(quillor::bench::Sampled<12, 5>);           \
  BENCHMARK_CAPTURE(BM_ApproximateGridFill, name, query) \
      ->Unit(benchmark::kMillisecond)                    \
      ->UseRealTime()                                    \
      ->Apply(quillor::bench::Sampled<12, 5>);           \
  BENCHMARK_CAPTURE(BM_ApproximatePrices, name, query)   \
      ->Unit(benchmark::kMillisecond)                    \
      ->UseRealTime()                                    \
      ->Apply(quillor::bench::Sampled<12, 5>);           \
  BENCHMARK_CAPTURE(BM_ApproximateEnter, name, query)    \
      ->Unit(benchmark::kMillisecond)                    \
      ->UseRealTime()                                    \
      ->Apply(quillor::bench::Sampled<12, 5>)

QUILLOR_APPROXIMATE(doliprane_1000, "doliprane 1000");
QUILLOR_APPROXIMATE(aspirine_du_rhone, "aspirine du rhone");
QUILLOR_APPROXIMATE(efferalgan_1g, "efferalgan 1g");
QUILLOR_APPROXIMATE(amoxicilline_500, "amoxicilline 500");
QUILLOR_APPROXIMATE(ibuprofene_400_mg, "ibuprofene 400 mg");
QUILLOR_APPROXIMATE(spasfon, "spasfon");

// A scanner types a box's CIP13 at 2 ms per character, then Enter, into the
// search field in exact mode, where each character from the third on
// searches. The time measured is how long after the scanner's last key the
// window has shown the article: what the searches made the user wait.
void BM_ScanTypedFast(benchmark::State& state) {
  TQuillor_Form& form = Window();
  form.RadioButton1->setChecked(true);
  const std::string code = "3400935955838";
  constexpr auto kPace = std::chrono::milliseconds(2);
  auto press = [&form](int key, const QString& text) {
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(form.Edit1, &down);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(form.Edit1, &up);
    Flush();
  };
  for (auto _ : state) {
    form.Edit1->clear();
    form.Edit1->setFocus();
    Flush();
    const auto start = std::chrono::steady_clock::now();
    for (size_t i = 0; i <= code.size(); ++i) {
      // A key that comes due while the window is still busy waits for it, as
      // the keys of a real scanner queue up.
      while (std::chrono::steady_clock::now() < start + kPace * static_cast<int>(i)) Flush();
      if (i < code.size()) {
        press(Qt::Key_0 + (code[i] - '0'), QString(QChar::fromLatin1(code[i])));
      } else {
        press(Qt::Key_Return, QStringLiteral("\r"));
      }
    }
    const auto lastKey = start + kPace * static_cast<int>(code.size());
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - lastKey).count());
  }
  state.counters["rows"] = ArticleRows(form);
}
BENCHMARK(BM_ScanTypedFast)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Apply(quillor::bench::Sampled<20, 5>);

void BM_Repaint(benchmark::State& state) {
  TQuillor_Form& form = Window();
  for (auto _ : state) {
    form.ListeArticles_StringGrid->viewport()->update();
    Flush();
  }
}
BENCHMARK(BM_Repaint)->Unit(benchmark::kMillisecond)->UseRealTime()->Apply(quillor::bench::Sampled<12, 5>);

// Shows every run as the console does and keeps each benchmark's median real
// time (or its only time, when it ran once) for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      const std::string name = run.run_name.function_name;
      if (run.aggregate_name == "median" || (run.aggregate_name.empty() && medians_.count(name) == 0))
        medians_[name] = run.GetAdjustedRealTime();
    }
  }

  void PrintRatios() const {
    std::printf("\nFrom the medians of this run (real time, ms):\n");
    std::printf("%-20s %9s %9s %9s %9s %14s %14s\n", "approximate query", "ranking", "fill", "prices",
                "enter", "fill+prices/r", "enter/ranking");
    std::vector<double> rankings;
    for (const auto& [name, ranking] : medians_) {
      const std::string prefix = "BM_ApproximateRanking/";
      if (name.rfind(prefix, 0) != 0) continue;
      const std::string query = name.substr(prefix.size());
      const double fill = Median("BM_ApproximateGridFill/" + query);
      const double prices = Median("BM_ApproximatePrices/" + query);
      const double enter = Median("BM_ApproximateEnter/" + query);
      rankings.push_back(ranking);
      std::printf("%-20s %9.3f %9.3f %9.3f %9.3f %14.3f %14.3f\n", query.c_str(), ranking, fill, prices,
                  enter, (fill + prices) / ranking, enter / ranking);
    }
    if (rankings.empty()) return;
    std::sort(rankings.begin(), rankings.end());
    const double ranking = rankings[rankings.size() / 2];
    std::printf("targets: fill+prices <= 0.25 x ranking, enter <= 1.3 x ranking\n");
    for (const char* keystroke : {"many_rows", "few_rows"}) {
      const double time = Median(std::string("BM_ExactKeystroke/") + keystroke);
      std::printf("exact keystroke, %-9s %9.3f ms = %.3f x the median ranking (%.3f ms); target <= 0.10\n",
                  keystroke, time, time / ranking, ranking);
    }
    std::printf("13-digit scan at 2 ms per key: the article shows %.3f ms after the last key\n",
                Median("BM_ScanTypedFast"));
  }

 private:
  double Median(const std::string& name) const {
    const auto found = medians_.find(name);
    return found == medians_.end() ? 0.0 : found->second;
  }
  std::map<std::string, double> medians_;
};

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  quillor::QuillorApplication application(argc, argv);
  quillor::SetMessagePresenter(std::make_unique<SilentPresenter>());
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  gWindow.reset();
  return 0;
}
