// The two-thread scoring of the approximate search: its scores, and what
// becomes of an error raised in either thread.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <new>
#include <stdexcept>
#include <thread>

#include "database/RankingScores.h"
#include "text/StringManager.h"

namespace quillor {
namespace {

constexpr size_t kManyEntries = 10000;  // enough for the second thread

TEST(RankingScores, EveryEntryScoresAsTheMeasureItself) {
  TIndexList list;
  for (int32_t k = 0; k < static_cast<int32_t>(kManyEntries); ++k) {
    // Runs of equal values, which the scorer copies rather than rescoring.
    TPairOfStringInt entry;
    entry.fInt = k;
    entry.fString = "DOLIPRANE " + std::to_string(k / 3 * 7 % 1000) + " MG CPR";
    list.push_back(entry);
  }
  const std::vector<double> scores = ScoreIndexEntries(list, "DOLIPRANE 500");
  ASSERT_EQ(scores.size(), list.size());
  for (size_t k = 0; k < list.size(); ++k)
    ASSERT_EQ(scores[k], TStringManager::StringSimilarity("DOLIPRANE 500", list[k].fString)) << k;
}

// An allocation failure while scoring an enormous value is a std::bad_alloc
// thrown inside a half; what matters is where it goes. (The sanitizer build
// cannot run out of memory politely, so the failure is thrown by hand.)
TEST(RankingScores, AnErrorOfEitherHalfReachesTheCallerOnceBothHaveStopped) {
  // The second thread fails; the calling thread's half still runs to its end.
  {
    std::vector<double> scores(kManyEntries);
    std::atomic<bool> lowerDone{false};
    EXPECT_THROW(ScoreInTwoHalves(scores,
                                  [&](size_t begin, size_t, std::vector<double>&) {
                                    if (begin > 0) throw std::bad_alloc();
                                    lowerDone = true;
                                  }),
                 std::bad_alloc);
    EXPECT_TRUE(lowerDone);
  }
  // The calling thread fails while the second thread is still at work: the
  // error waits for it.
  {
    std::vector<double> scores(kManyEntries);
    std::atomic<bool> lowerFailed{false};
    std::atomic<bool> upperDone{false};
    EXPECT_THROW(ScoreInTwoHalves(scores,
                                  [&](size_t begin, size_t, std::vector<double>&) {
                                    if (begin == 0) {
                                      lowerFailed = true;
                                      throw std::runtime_error("lower half");
                                    }
                                    const auto giveUp =
                                        std::chrono::steady_clock::now() + std::chrono::seconds(10);
                                    while (!lowerFailed && std::chrono::steady_clock::now() < giveUp)
                                      std::this_thread::yield();
                                    upperDone = true;
                                  }),
                 std::runtime_error);
    EXPECT_TRUE(upperDone);
  }
  // Both fail: the calling thread's error is the one raised.
  {
    std::vector<double> scores(kManyEntries);
    try {
      ScoreInTwoHalves(scores, [](size_t begin, size_t, std::vector<double>&) {
        if (begin == 0) throw std::runtime_error("lower half");
        throw std::logic_error("upper half");
      });
      ADD_FAILURE() << "nothing was raised";
    } catch (const std::runtime_error& error) {
      EXPECT_STREQ(error.what(), "lower half");
    }
  }
}

}  // namespace
}  // namespace quillor
