// The order window on the bundled catalogue, offscreen: start-up until the
// catalogue is shown, a keystroke in exact mode and in Substance mode and
// Enter in approximate mode until the grid is updated and repainted, the
// parts of an approximate search (the two-thread ranking, the grid fill, the
// price display), and the equivalents of an article.
//
// At the end it prints, from the medians of this run, what the searches cost
// next to the ranking: the grid fill and the prices, Enter end to end, and an
// exact keystroke. Each is set against rankings timed in the same benchmark,
// in turn with it: absolute times drift from day to day, and from minute to
// minute, on a shared machine; ratios taken so do not.
//
// Run from a folder holding Data/ (the build's bin/ does); the user's own data
// folder is set aside for a temporary one.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/MessagePresenter.h"
#include "app/QuillorApplication.h"
#include "app/Quillor_Unit.h"
#include "bench/BenchSupport.h"
#include "database/ArticleSearch.h"
#include "database/ExactSearchMemory.h"

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

double Milliseconds(std::chrono::steady_clock::time_point from, std::chrono::steady_clock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

double MedianOf(std::vector<double> values) {
  if (values.empty()) return 0.0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// The approximate queries whose rankings the other figures are set against.
constexpr const char* kApproximateQueries[] = {"doliprane 1000",   "aspirine du rhone", "efferalgan 1g",
                                               "amoxicilline 500", "ibuprofene 400 mg", "spasfon"};

// Keystrokes in exact mode as a user types and corrects: from a base word,
// a character typed, a second one, then both rubbed out, for each pair of
// characters in turn ("MG" "MG 1" "MG 10" "MG 1" "MG" "MG 2" ...). Every text
// is searched and repainted. There are more texts than the window keeps
// results of, so a text typed again is searched again (within the kept
// result of the text before it) and only rubbing out finds a kept result.
// `leastRows`: how many rows every text must leave for the case to measure
// what it names (negative: how many it may leave at most).
std::vector<QString> TypingWalk(const char* base, std::initializer_list<const char*> pairs) {
  std::vector<QString> walk;
  const QString stem = QString::fromLatin1(base);
  for (const char* pair : pairs) {
    const QString typed = QString::fromLatin1(pair);
    walk.push_back(stem);
    walk.push_back(stem + " " + typed.left(1));
    walk.push_back(stem + " " + typed);
    walk.push_back(stem + " " + typed.left(1));
  }
  return walk;
}

// Before each repetition's keystrokes, the approximate queries are ranked
// once each, so that the keystrokes are set against rankings of the same
// moment.
std::map<std::string, std::vector<double>> gKeystrokeRankings;

struct KeystrokeRows {
  int32_t fewest = INT32_MAX;
  int32_t most = 0;
};

// Times each text of `walk` typed into the search field and the grid
// repainted, after ranking the approximate queries once (the
// repetition's `ranking_ms`). Counts the fewest and most rows left.
KeystrokeRows TimeKeystrokes(benchmark::State& state, TQuillor_Form& form, const char* name,
                             const std::vector<QString>& walk) {
  std::vector<double>& rankings = gKeystrokeRankings[name];
  using Clock = std::chrono::steady_clock;
  for (const char* query : kApproximateQueries) {
    const std::string normalised = quillor::NormaliseSearchText(query);
    const auto start = Clock::now();
    quillor::SearchArticles(*form.ArticleTable, normalised, true);
    rankings.push_back(Milliseconds(start, Clock::now()));
  }
  KeystrokeRows rows;
  size_t i = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    form.Edit1->setText(walk[i++ % walk.size()]);
    Flush();
    state.SetIterationTime(Milliseconds(start, Clock::now()) / 1000.0);
    rows.fewest = std::min(rows.fewest, ArticleRows(form));
    rows.most = std::max(rows.most, ArticleRows(form));
  }
  state.counters["rows_min"] = rows.fewest;
  state.counters["rows_max"] = rows.most;
  state.counters["ranking_ms"] = MedianOf(rankings);
  return rows;
}

void BM_ExactKeystroke(benchmark::State& state, const char* name, const std::vector<QString>& walk,
                       int leastRows) {
  TQuillor_Form& form = Window();
  form.RadioButton1->setChecked(true);
  const KeystrokeRows rows = TimeKeystrokes(state, form, name, walk);
  if (leastRows > 0 && rows.fewest < leastRows)
    state.SkipWithError("the texts leave fewer rows than the case needs");
  if (leastRows < 0 && rows.most > -leastRows)
    state.SkipWithError("the texts leave more rows than the case allows");
}
// At least a thousand rows left, and only a few.
BENCHMARK_CAPTURE(BM_ExactKeystroke, many_rows, "many_rows", TypingWalk("mg", {"10", "20", "50", "30", "25"}),
                  1000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Apply(quillor::bench::Sampled<60, 5>);
BENCHMARK_CAPTURE(BM_ExactKeystroke, few_rows, "few_rows",
                  TypingWalk("doliprane", {"10", "50", "20", "b/", "su", "cp", "pd"}), -50)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Apply(quillor::bench::Sampled<60, 5>);

// Keystrokes in the Substance mode, which narrows as exact mode does: each
// text is searched by substance and dosage, and the grid repainted. Set
// against rankings of the same moment, as the exact keystrokes are.
void BM_SubstanceKeystroke(benchmark::State& state, const char* name, const std::vector<QString>& walk) {
  TQuillor_Form& form = Window();
  form.RadioButton4->setChecked(true);
  TimeKeystrokes(state, form, name, walk);
  form.RadioButton1->setChecked(true);
}
// Substances many specialities hold, and a dosage typed after a substance.
BENCHMARK_CAPTURE(BM_SubstanceKeystroke, substance_many_rows, "substance_many_rows",
                  TypingWalk("acide", {"as", "ac", "fo", "al", "zo"}))
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Apply(quillor::bench::Sampled<60, 5>);
BENCHMARK_CAPTURE(BM_SubstanceKeystroke, substance_dosage, "substance_dosage",
                  TypingWalk("paracetamol", {"10", "50", "1g", "20", "0,5"}))
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Apply(quillor::bench::Sampled<60, 5>);

// The equivalents key on an article of a generic group, until the grid
// shows them; the way back is not timed.
void BM_Equivalents(benchmark::State& state) {
  TQuillor_Form& form = Window();
  form.RadioButton1->setChecked(true);
  form.Edit1->setText(QStringLiteral("quetiapine evolugen lp 400"));
  Flush();
  form.ArticleGrid->SetRow(1);
  int32_t listed = 0;
  for (auto _ : state) {
    form.ShowEquivalents();
    Flush();
    state.PauseTiming();
    listed = ArticleRows(form);
    form.ReturnToSearch();
    Flush();
    state.ResumeTiming();
  }
  state.counters["rows"] = listed;
}
BENCHMARK(BM_Equivalents)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Apply(quillor::bench::Sampled<20, 5>);

// The parts of the many-rows keystroke: the search along the same walk, the
// grid fill and the prices of the rows of one of its texts.
void BM_ExactKeystrokeSearch(benchmark::State& state, const std::vector<QString>& walk) {
  TQuillor_Form& form = Window();
  quillor::TExactSearchMemory searches;
  size_t i = 0;
  for (auto _ : state)
    searches.Search(*form.ArticleTable, quillor::NormaliseSearchText(walk[i++ % walk.size()].toStdString()));
}

void BM_ExactKeystrokeFill(benchmark::State& state, const char* text) {
  TQuillor_Form& form = Window();
  quillor::SearchArticles(*form.ArticleTable, quillor::NormaliseSearchText(text), false);
  for (auto _ : state) form.ArticleTable->SelectionToGrid(*form.ArticleGrid, "", true);
  form.DisplayPrices();
}

void BM_ExactKeystrokePrices(benchmark::State& state, const char* text) {
  TQuillor_Form& form = Window();
  quillor::SearchArticles(*form.ArticleTable, quillor::NormaliseSearchText(text), false);
  for (auto _ : state) {
    state.PauseTiming();
    form.ArticleTable->SelectionToGrid(*form.ArticleGrid, "", true);
    state.ResumeTiming();
    form.DisplayPrices();
  }
}
BENCHMARK_CAPTURE(BM_ExactKeystrokeSearch, many_rows, TypingWalk("mg", {"10", "20", "50", "30", "25"}))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Apply(quillor::bench::Sampled<60, 5>);
BENCHMARK_CAPTURE(BM_ExactKeystrokeFill, many_rows, "mg 1")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Apply(quillor::bench::Sampled<60, 5>);
BENCHMARK_CAPTURE(BM_ExactKeystrokePrices, many_rows, "mg 1")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Apply(quillor::bench::Sampled<60, 5>);

// The approximate searches: in each iteration, taken in turn, the two-thread
// ranking alone, the grid fill and the price display of its result, then
// Enter end to end (the time of the iteration). Timing them in turn, rather
// than one benchmark after another, keeps their ratios free of the drift of
// a shared machine; the medians of each part are kept for the ratios.
struct ApproximateParts {
  std::vector<double> ranking, fill, prices, enter;
};
std::map<std::string, ApproximateParts> gApproximateParts;

void BM_ApproximateSearch(benchmark::State& state, const char* query) {
  TQuillor_Form& form = Window();
  form.RadioButton3->setChecked(true);
  form.Edit1->setText(QString::fromLatin1(query));  // typing does not search in this mode
  const std::string normalised = quillor::NormaliseSearchText(query);
  ApproximateParts& parts = gApproximateParts[query];
  using Clock = std::chrono::steady_clock;
  for (auto _ : state) {
    const auto start = Clock::now();
    quillor::SearchArticles(*form.ArticleTable, normalised, true);
    const auto ranked = Clock::now();
    form.ArticleTable->SelectionToGrid(*form.ArticleGrid, "", true);
    const auto filled = Clock::now();
    form.DisplayPrices();
    const auto priced = Clock::now();
    Flush();
    const auto enterStart = Clock::now();
    char enter = '\r';
    form.Edit1KeyPress(enter);
    Flush();
    const auto enterEnd = Clock::now();
    parts.ranking.push_back(Milliseconds(start, ranked));
    parts.fill.push_back(Milliseconds(ranked, filled));
    parts.prices.push_back(Milliseconds(filled, priced));
    parts.enter.push_back(Milliseconds(enterStart, enterEnd));
    state.SetIterationTime(Milliseconds(enterStart, enterEnd) / 1000.0);
  }
  state.counters["ranking_ms"] = MedianOf(parts.ranking);
  state.counters["fill_ms"] = MedianOf(parts.fill);
  state.counters["prices_ms"] = MedianOf(parts.prices);
}

#define QUILLOR_APPROXIMATE(name, query)               \
  BENCHMARK_CAPTURE(BM_ApproximateSearch, name, query) \
      ->Unit(benchmark::kMillisecond)                  \
      ->UseManualTime()                                \
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
    std::printf("\nFrom the medians of this run (ms), each part timed in turn with the ranking:\n");
    std::printf("%-20s %9s %9s %9s %9s %14s %14s\n", "approximate query", "ranking", "fill", "prices",
                "enter", "fill+prices/r", "enter/ranking");
    for (const char* query : kApproximateQueries) {
      const auto found = gApproximateParts.find(query);
      if (found == gApproximateParts.end() || found->second.ranking.empty()) continue;
      const ApproximateParts& parts = found->second;
      const double ranking = MedianOf(parts.ranking);
      const double fill = MedianOf(parts.fill);
      const double prices = MedianOf(parts.prices);
      const double enter = MedianOf(parts.enter);
      std::printf("%-20s %9.3f %9.3f %9.3f %9.3f %14.3f %14.3f\n", query, ranking, fill, prices, enter,
                  (fill + prices) / ranking, enter / ranking);
    }
    std::printf("targets: fill+prices <= 0.25 x ranking, enter <= 1.3 x ranking\n");
    for (const char* keystroke : {"many_rows", "few_rows", "substance_many_rows", "substance_dosage"}) {
      const auto found = gKeystrokeRankings.find(keystroke);
      if (found == gKeystrokeRankings.end() || found->second.empty()) continue;
      const bool substance = std::string(keystroke).rfind("substance", 0) == 0;
      const double time =
          Median(std::string(substance ? "BM_SubstanceKeystroke/" : "BM_ExactKeystroke/") + keystroke);
      const double ranking = MedianOf(found->second);
      std::printf("%s keystroke, %-19s %9.3f ms = %.3f x the median ranking (%.3f ms); target <= 0.10\n",
                  substance ? "substance" : "exact", keystroke, time, time / ranking, ranking);
    }
    std::printf("equivalents of an article shown in %.3f ms; target: within one frame (16.7 ms)\n",
                Median("BM_Equivalents"));
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
  // The bundled catalogue, never one the user's updates made, and no draft
  // of the bench's typing kept among the user's files.
  std::string dataHome = (std::filesystem::temp_directory_path() / "window-bench-XXXXXX").string();
  if (mkdtemp(dataHome.data()) == nullptr) return 1;
  setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
  quillor::QuillorApplication application(argc, argv);
  quillor::SetMessagePresenter(std::make_unique<SilentPresenter>());
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  gWindow.reset();
  std::error_code ignored;
  std::filesystem::remove_all(dataHome, ignored);
  return 0;
}
