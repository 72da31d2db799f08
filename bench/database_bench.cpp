// The article table at catalogue scale: loading (read, descramble, parse, all
// indexes), QueryAll, the window's exact and approximate searches. Runs on the
// bundled catalogue (~20,500 articles) and on a 200,000-article one generated
// into the working directory on first use.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "bench/BenchSupport.h"
#include "database/ArticleSearch.h"
#include "database/CryptManager.h"
#include "database/Database.h"
#include "text/DurableFile.h"
#include "text/FileSystem.h"
#include "text/TextLines.h"

namespace {

using namespace quillor;

const std::string kSourceDir = QUILLOR_SOURCE_DIR;

std::string BundledFile() {
  return bench::BundledArticleFile();
}

// Generates the stress catalogue with the shared script and stores it
// scrambled, as an article file, beside the benchmark. A smoke run makes a
// small one, and a clone without the script uses the bundled file.
std::string LargeFile() {
  const std::string shared = kSourceDir + "/../shared/data";
  const std::string script = shared + "/synthetic-200k.py";
  const bool smoke = bench::SmokeRun();
  if (smoke && !FileExists(script)) return BundledFile();
  const std::string name = smoke ? "synthetic-smoke" : "synthetic-200k";
  const std::string scrambled = (std::filesystem::current_path() / (name + ".db")).string();
  if (FileExists(scrambled)) return scrambled;
  const std::string plain = (std::filesystem::current_path() / (name + ".csv")).string();
  const std::string command = "/usr/bin/python3 " + script + " " + shared + "/bdpm-catalogue.csv " + plain +
                              (smoke ? " --count 2000" : "") + " 2>/dev/null";
  if (std::system(command.c_str()) != 0) throw std::runtime_error("cannot generate " + plain);
  TStringList lines;
  if (!ReadFileLines(plain, lines)) throw std::runtime_error("cannot read " + plain);
  TCryptManager().EncryptLines(lines);
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\r\n";
  if (!WriteFileDurably(scrambled, bytes)) throw std::runtime_error("cannot write " + scrambled);
  return scrambled;
}

// What start-up does with the article file.
std::unique_ptr<TMyDatabase> Load(const std::string& fileName) {
  TStringList lines;
  if (!ReadFileLines(fileName, lines)) throw std::runtime_error("cannot read " + fileName);
  TCryptManager().DecryptLines(lines);
  return TMyDatabase::CreateFromList(lines);
}

TMyDatabase& Table(bool large) {
  static std::unique_ptr<TMyDatabase> small;
  static std::unique_ptr<TMyDatabase> big;
  std::unique_ptr<TMyDatabase>& table = large ? big : small;
  if (!table) table = Load(large ? LargeFile() : BundledFile());
  return *table;
}

void BM_Load(benchmark::State& state) {
  const std::string file = state.range(0) != 0 ? LargeFile() : BundledFile();
  for (auto _ : state) {
    auto table = Load(file);
    benchmark::DoNotOptimize(table->RecordCount());
  }
  state.counters["articles"] = static_cast<double>(Load(file)->RecordCount());
}

void BM_QueryAll(benchmark::State& state) {
  TMyDatabase& table = Table(state.range(0) != 0);
  for (auto _ : state) {
    table.QueryAll(kDesignationField);
    benchmark::DoNotOptimize(table.SelectionCount());
  }
}

void BM_ExactSearch(benchmark::State& state) {
  TMyDatabase& table = Table(state.range(0) != 0);
  for (auto _ : state) {
    SearchArticles(table, "ASPIRINE 500", false);
    benchmark::DoNotOptimize(table.SelectionCount());
  }
  state.counters["found"] = table.SelectionCount();
}

void BM_ApproximateSearch(benchmark::State& state) {
  TMyDatabase& table = Table(state.range(0) != 0);
  for (auto _ : state) {
    SearchArticles(table, "DOLIPRANE 1000", true);
    benchmark::DoNotOptimize(table.SelectionCount());
  }
}

// Argument 0: the bundled catalogue; 1: the 200,000-article one.
BENCHMARK(BM_Load)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QueryAll)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExactSearch)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ApproximateSearch)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
