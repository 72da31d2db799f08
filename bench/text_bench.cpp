// The string functions on the paths that run for every record of a query, every
// comparison of an index build and every field of a loaded line.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "regex/PcreRegEx.h"
#include "text/StringManager.h"

namespace {

using quillor::TPcreRegEx;
using quillor::TStringManager;

// Catalogue lines (CIP;designation;price) from the stress catalogue, or one
// typical line when there is none.
const std::vector<std::string>& CatalogueLines() {
  static const std::vector<std::string> lines = [] {
    std::vector<std::string> result;
    const quillor::TStringList catalogue = quillor::bench::StressCatalogueLines();
    for (size_t n = 1; n < catalogue.size() && result.size() < 5000; ++n) result.push_back(catalogue[n]);
    if (result.empty()) {
      result.push_back(
          "2160050;MONTELUKAST PHR LAB 5 MG, COMPRIME A CROQUER PLAQUETTE(S) THERMOFORMEE(S) ALUMINIUM DE 28 "
          "COMPRIME(S;13,84");
    }
    return result;
  }();
  return lines;
}

void BM_IsRealOnPriceText(benchmark::State& state) {
  const std::string price = "13,84";
  for (auto _ : state) benchmark::DoNotOptimize(TStringManager::IsReal(price));
}
BENCHMARK(BM_IsRealOnPriceText);

void BM_IsRealOnEveryPrice(benchmark::State& state) {
  std::vector<std::string> prices;
  for (const std::string& line : CatalogueLines()) prices.push_back(TStringManager::GetWord(line, 3, ';'));
  for (auto _ : state) {
    int reals = 0;
    for (const std::string& price : prices) reals += TStringManager::IsReal(price);
    benchmark::DoNotOptimize(reals);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(prices.size()));
}
BENCHMARK(BM_IsRealOnEveryPrice);

// One word of a search narrowing the selection: the same pattern against
// every designation. The pattern must be compiled once, before the loop.
void BM_MatchRegExUnchangedPattern(benchmark::State& state) {
  std::vector<std::string> designations;
  for (const std::string& line : CatalogueLines())
    designations.push_back(TStringManager::GetWord(line, 2, ';'));
  const std::string pattern = "^.*COMPRIME.*$";
  TStringManager::MatchRegEx(pattern, designations.front());
  const int64_t compilesBefore = TPcreRegEx::CompileCountForTesting();
  for (auto _ : state) {
    int matches = 0;
    for (const std::string& designation : designations)
      matches += TStringManager::MatchRegEx(pattern, designation);
    benchmark::DoNotOptimize(matches);
  }
  const int64_t compiles = TPcreRegEx::CompileCountForTesting() - compilesBefore;
  state.counters["compiles_per_iteration"] =
      benchmark::Counter(static_cast<double>(compiles), benchmark::Counter::kAvgIterations);
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(designations.size()));
}
BENCHMARK(BM_MatchRegExUnchangedPattern);

void BM_WordCountOnCatalogueLine(benchmark::State& state) {
  const std::string& line = CatalogueLines().front();
  for (auto _ : state) benchmark::DoNotOptimize(TStringManager::WordCount(line, ';'));
}
BENCHMARK(BM_WordCountOnCatalogueLine);

// Splitting a line field by field, as the article table does when it loads.
void BM_GetWordEveryFieldOfCatalogueLine(benchmark::State& state) {
  const std::string& line = CatalogueLines().front();
  for (auto _ : state) {
    const int32_t count = TStringManager::WordCount(line, ';');
    for (int32_t i = 1; i <= count; ++i) benchmark::DoNotOptimize(TStringManager::GetWord(line, i, ';'));
  }
}
BENCHMARK(BM_GetWordEveryFieldOfCatalogueLine);

}  // namespace

BENCHMARK_MAIN();
