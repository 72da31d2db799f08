// What every benchmark program shares: how long it measures, and the
// catalogue it measures on.
//
// A smoke run (QUILLOR_BENCH_SMOKE=1 in the environment, as the test suite
// sets it) runs every benchmark for one iteration, so that a benchmark that
// no longer builds, crashes or reports an error fails the tests; its figures
// mean nothing. Benchmarks that set their own iteration count or minimum time
// apply Sampled or MeasuredFor, which a smoke run overrides; the others
// follow --benchmark_min_time, which the smoke test sets to 0.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "database/CryptManager.h"
#include "text/FileSystem.h"
#include "text/TextLines.h"

namespace quillor::bench {

inline bool SmokeRun() {
  const char* value = std::getenv("QUILLOR_BENCH_SMOKE");
  return value != nullptr && *value != '\0' && std::string(value) != "0";
}

// For Benchmark::Apply: `Iterations` per repetition, `Repetitions` times;
// once in a smoke run.
//   BENCHMARK(BM_Search)->Apply(Sampled<12, 5>);
template <int64_t Iterations, int Repetitions>
void Sampled(benchmark::internal::Benchmark* b) {
  if (SmokeRun()) {
    b->Iterations(1)->Repetitions(1);
  } else {
    b->Iterations(Iterations)->Repetitions(Repetitions);
  }
}

// For Benchmark::Apply: as many iterations as fit in `Seconds`; once in a
// smoke run.
template <int Seconds>
void MeasuredFor(benchmark::internal::Benchmark* b) {
  if (SmokeRun()) {
    b->Iterations(1);
  } else {
    b->MinTime(Seconds);
  }
}

// The bundled article file.
inline std::string BundledArticleFile() {
  return std::string(QUILLOR_SOURCE_DIR) + "/data/BaseDeDonneeArticles.db";
}

// The data shared by the team beside the project, which a lone clone has not:
// QUILLOR_SHARED_DATA when set, else ../shared/data.
inline std::string SharedDataFolder() {
  const char* fromEnv = std::getenv("QUILLOR_SHARED_DATA");
  if (fromEnv != nullptr && *fromEnv != '\0') return fromEnv;
  return std::string(QUILLOR_SOURCE_DIR) + "/../shared/data";
}

// The long-label stress catalogue (CIP;Designation;Prix, plain): QUILLOR_CATALOGUE
// when set, else bdpm-catalogue.csv of the shared data; empty when neither
// exists.
inline std::string StressCatalogueFile() {
  const char* fromEnv = std::getenv("QUILLOR_CATALOGUE");
  if (fromEnv != nullptr && *fromEnv != '\0') return fromEnv;
  const std::string shared = SharedDataFolder() + "/bdpm-catalogue.csv";
  return FileExists(shared) ? shared : std::string();
}

// The plain lines (header first) of the stress catalogue, or of the bundled
// article file when there is none, so that a lone clone measures too.
inline TStringList StressCatalogueLines() {
  TStringList lines;
  const std::string csv = StressCatalogueFile();
  if (!csv.empty()) {
    ReadFileLines(csv, lines);
    return lines;
  }
  if (ReadFileLines(BundledArticleFile(), lines)) TCryptManager().DecryptLines(lines);
  return lines;
}

}  // namespace quillor::bench
