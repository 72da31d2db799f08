// What the update's tests share: running the asynchronous parts to their
// end in a local event loop, the small export cut from the public database
// (tests/catalogue/exports/2026-05), and the French texts as the update
// writes them (Windows-1252).
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/TestPaths.h"
#include "text/Cp1252.h"
#include "update/Fetcher.h"

namespace quillor::update::test {

// A bound on waits that a working program never comes near: a failure, not a
// measure.
inline constexpr std::chrono::milliseconds kGiveUp{120000};

// Processes events until `condition` holds or kGiveUp passed; whether it holds.
inline bool SpinUntil(const std::function<bool()>& condition) {
  const auto deadline = std::chrono::steady_clock::now() + kGiveUp;
  while (!condition() && std::chrono::steady_clock::now() < deadline) {
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 20);
  }
  return condition();
}

// The small export: 24 specialities, 27 presentations, 22 articles to order.
inline std::filesystem::path SmallExport() {
  return quillor::test::SourceDir() / "tests" / "catalogue" / "exports" / "2026-05";
}

// Every file an update fetches, in order.
inline std::vector<std::string> CatalogueNames() {
  return {"CIS_bdpm.txt",       "CIS_CIP_bdpm.txt", "CIS_COMPO_bdpm.txt",
          "CIS_GENER_bdpm.txt", "CIS_CPD_bdpm.txt", "CIS_CIP_Dispo_Spec.txt"};
}

// French text, as the update writes it.
inline std::string Fr(const char* utf8) {
  return Utf8ToCp1252(utf8);
}

// Fetches `names` to the end; every progress report is kept in `progress`.
inline TFetchOutcome FetchAll(const TUpdateSettings& settings, const std::vector<std::string>& names,
                              std::vector<TFileProgress>* progress = nullptr,
                              const std::function<void(TFetcher&, const TFileProgress&)>& onProgress = {}) {
  TFetcher fetcher;
  TFetchOutcome outcome;
  bool done = false;
  fetcher.Start(
      settings, names,
      [&](const TFileProgress& report) {
        if (progress != nullptr) progress->push_back(report);
        if (onProgress) onProgress(fetcher, report);
      },
      [&](TFetchOutcome result) {
        outcome = std::move(result);
        done = true;
      });
  EXPECT_TRUE(SpinUntil([&] { return done; })) << "the fetch never ended";
  EXPECT_FALSE(fetcher.IsRunning());
  return outcome;
}

}  // namespace quillor::update::test
