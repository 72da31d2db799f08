// Search quality of the approximate search on the bundled catalogue: for the
// labelled queries of bench/approx-queries.txt, how many show a right row on
// the first screen of 10 rows, how many have a right first row, and how many
// of all the first-screen rows are right. The figures are printed first, then
// Google Benchmark times one pass over every query.
//
//   search_quality_bench [--db FILE.db] [--queries FILE] [--details] [benchmark flags]
//
// --details adds one line per query: its right rows and its first row.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "database/SearchQuality.h"
#include "text/Cp1252.h"

namespace quillor {
namespace {

std::string gArticleFile = QUILLOR_SOURCE_DIR "/data/BaseDeDonneeArticles.db";
std::string gQueryFile = QUILLOR_SOURCE_DIR "/bench/approx-queries.txt";

void BM_EveryLabelledQuery(benchmark::State& state) {
  std::unique_ptr<TMyDatabase> table = LoadArticleFile(gArticleFile);
  std::vector<LabelledQuery> queries;
  if (!table || !ReadLabelledQueries(gQueryFile, queries)) {
    state.SkipWithError("article file or queries not found");
    return;
  }
  for (auto _ : state) {
    const SearchQualityFigures figures = MeasureSearchQuality(*table, queries);
    benchmark::DoNotOptimize(figures.rightRows);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(queries.size()));
}
BENCHMARK(BM_EveryLabelledQuery)->Unit(benchmark::kMillisecond);

int PrintFigures(bool details) {
  std::unique_ptr<TMyDatabase> table = LoadArticleFile(gArticleFile);
  if (!table) {
    std::fprintf(stderr, "search_quality_bench: cannot read %s\n", gArticleFile.c_str());
    return 1;
  }
  std::vector<LabelledQuery> queries;
  if (!ReadLabelledQueries(gQueryFile, queries)) {
    std::fprintf(stderr, "search_quality_bench: cannot read the labelled queries in %s\n",
                 gQueryFile.c_str());
    return 1;
  }
  const SearchQualityFigures figures = MeasureSearchQuality(*table, queries);
  std::printf("article file: %s (%d articles)\n", gArticleFile.c_str(), table->RecordCount());
  std::printf("right row on the first screen: %zu of %zu queries\n", figures.rightOnFirstScreen,
              figures.queries);
  std::printf("right first row:               %zu of %zu queries\n", figures.rightFirstRow, figures.queries);
  std::printf("right rows on the first screens: %zu of %zu\n", figures.rightRows,
              figures.queries * kFirstScreenRows);
  if (details) {
    for (const QueryOutcome& outcome : figures.outcomes) {
      std::printf("  %-20s %2zu right  first: %s%s\n", Cp1252ToUtf8(outcome.query).c_str(), outcome.rightRows,
                  Cp1252ToUtf8(outcome.firstDesignation).c_str(), outcome.firstRowRight ? "" : "  (wrong)");
    }
  }
  std::fflush(stdout);
  return 0;
}

}  // namespace
}  // namespace quillor

int main(int argc, char** argv) {
  bool details = false;
  std::vector<char*> rest{argv[0]};
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--db") == 0 && i + 1 < argc) {
      quillor::gArticleFile = argv[++i];
    } else if (std::strcmp(argv[i], "--queries") == 0 && i + 1 < argc) {
      quillor::gQueryFile = argv[++i];
    } else if (std::strcmp(argv[i], "--details") == 0) {
      details = true;
    } else {
      rest.push_back(argv[i]);
    }
  }
  if (const int status = quillor::PrintFigures(details); status != 0) return status;
  int restCount = static_cast<int>(rest.size());
  benchmark::Initialize(&restCount, rest.data());
  if (benchmark::ReportUnrecognizedArguments(restCount, rest.data())) return 2;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
