// The similarity measure over the real catalogue: one query scored against
// every designation, as the approximate search does it, for the fast measure
// (with a reused scorer, and through the static operation, one call per pair) and for a
// loop-for-loop transcription of the greedy algorithm.
//
// The catalogue is the long-label stress catalogue (BenchSupport.h).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "bench/BenchSupport.h"
#include "text/Similarity.h"
#include "text/StringManager.h"
#include "text/TextLines.h"
#include "text/TranscribedSimilarity.h"

namespace quillor {
namespace {

const std::vector<std::string>& Designations() {
  static const std::vector<std::string> designations = [] {
    const TStringList lines = bench::StressCatalogueLines();
    std::vector<std::string> result;
    // A smoke run only proves that every benchmark runs: a few hundred will do.
    const size_t wanted = bench::SmokeRun() ? 300 : lines.size();
    for (size_t n = 1; n < lines.size() && result.size() < wanted; ++n) {
      const size_t first = lines[n].find(';');
      if (first == std::string::npos) continue;
      const size_t second = lines[n].find(';', first + 1);
      result.push_back(lines[n].substr(first + 1, second == std::string::npos ? second : second - first - 1));
    }
    return result;
  }();
  return designations;
}

void ReportPerSearch(benchmark::State& state) {
  state.counters["designations"] = static_cast<double>(Designations().size());
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(Designations().size()));
}

// One query against every designation with one reused scorer.
void BM_ScorerAllDesignations(benchmark::State& state, const char* query) {
  const std::vector<std::string>& designations = Designations();
  if (designations.empty()) state.SkipWithError("catalogue not found");
  for (auto _ : state) {
    SimilarityScorer scorer(query);
    double sum = 0;
    for (const std::string& designation : designations) sum += scorer.Score(designation);
    benchmark::DoNotOptimize(sum);
  }
  ReportPerSearch(state);
}

// Two threads, one scorer each, sharing the designations by halves: what a
// caller may do when one core is not fast enough. The scores are the same.
void BM_TwoScorersAllDesignations(benchmark::State& state, const char* query) {
  const std::vector<std::string>& designations = Designations();
  if (designations.empty()) state.SkipWithError("catalogue not found");
  std::vector<double> scores(designations.size());
  auto scoreRange = [&](size_t from, size_t to) {
    SimilarityScorer scorer(query);
    for (size_t k = from; k < to; ++k) scores[k] = scorer.Score(designations[k]);
  };
  for (auto _ : state) {
    const size_t half = designations.size() / 2;
    std::thread upper(scoreRange, half, designations.size());
    scoreRange(0, half);
    upper.join();
    benchmark::DoNotOptimize(scores.data());
  }
  ReportPerSearch(state);
}

// The same through TStringManager::StringSimilarity, one call per designation.
void BM_StaticAllDesignations(benchmark::State& state, const char* query) {
  const std::vector<std::string>& designations = Designations();
  if (designations.empty()) state.SkipWithError("catalogue not found");
  for (auto _ : state) {
    double sum = 0;
    for (const std::string& designation : designations)
      sum += TStringManager::StringSimilarity(query, designation);
    benchmark::DoNotOptimize(sum);
  }
  ReportPerSearch(state);
}

void BM_TranscribedAllDesignations(benchmark::State& state, const char* query) {
  const std::vector<std::string>& designations = Designations();
  if (designations.empty()) state.SkipWithError("catalogue not found");
  for (auto _ : state) {
    double sum = 0;
    for (const std::string& designation : designations) sum += TranscribedSimilarity(query, designation);
    benchmark::DoNotOptimize(sum);
  }
  ReportPerSearch(state);
}

// The headline: 12- to 15-character queries.
BENCHMARK_CAPTURE(BM_ScorerAllDesignations, q12_aspirine_500, "ASPIRINE 500")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ScorerAllDesignations, q13_efferalgan_1g, "EFFERALGAN 1G")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ScorerAllDesignations, q15_amoxicilline_1g, "AMOXICILLINE 1G")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TwoScorersAllDesignations, q12_aspirine_500, "ASPIRINE 500")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_TwoScorersAllDesignations, q15_amoxicilline_1g, "AMOXICILLINE 1G")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_TranscribedAllDesignations, q12_aspirine_500, "ASPIRINE 500")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TranscribedAllDesignations, q13_efferalgan_1g, "EFFERALGAN 1G")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TranscribedAllDesignations, q15_amoxicilline_1g, "AMOXICILLINE 1G")
    ->Unit(benchmark::kMillisecond);

// Short, middle and long queries side by side.
BENCHMARK_CAPTURE(BM_ScorerAllDesignations, q3_dol, "DOL")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ScorerAllDesignations, q8_ibuprofe, "IBUPROFE")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ScorerAllDesignations, q15_spasfon_lyoc_80, "SPASFON LYOC 80")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_StaticAllDesignations, q3_dol, "DOL")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_StaticAllDesignations, q8_ibuprofe, "IBUPROFE")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_StaticAllDesignations, q15_spasfon_lyoc_80, "SPASFON LYOC 80")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TranscribedAllDesignations, q3_dol, "DOL")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TranscribedAllDesignations, q8_ibuprofe, "IBUPROFE")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TranscribedAllDesignations, q15_spasfon_lyoc_80, "SPASFON LYOC 80")
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quillor

BENCHMARK_MAIN();
