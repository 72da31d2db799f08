#include "database/RankingScores.h"

#include <exception>
#include <system_error>
#include <thread>

#include "text/Similarity.h"

namespace quillor {
namespace {

// Below this many entries a second thread costs more than it saves.
constexpr size_t kEntriesWorthASecondThread = 4096;

void ScoreRange(const TIndexList& list, const std::string& query, size_t begin, size_t end,
                std::vector<double>& scores) {
  SimilarityScorer scorer(query);
  for (size_t k = begin; k < end; ++k) {
    // Equal values stand side by side in the index and score alike.
    scores[k] =
        (k > begin && list[k].fString == list[k - 1].fString) ? scores[k - 1] : scorer.Score(list[k].fString);
  }
}

// Runs the range and keeps what it raised instead of letting it unwind.
std::exception_ptr ScoreCatching(const TRangeScorer& scoreRange, size_t begin, size_t end,
                                 std::vector<double>& scores) noexcept {
  try {
    scoreRange(begin, end, scores);
  } catch (...) {
    return std::current_exception();
  }
  return nullptr;
}

}  // namespace

void ScoreInTwoHalves(std::vector<double>& scores, const TRangeScorer& scoreRange) {
  const size_t n = scores.size();
  if (n < kEntriesWorthASecondThread || std::thread::hardware_concurrency() < 2) {
    scoreRange(0, n, scores);
    return;
  }
  const size_t half = n / 2;
  std::exception_ptr upperError;
  std::thread upper;
  try {
    upper = std::thread([&] { upperError = ScoreCatching(scoreRange, half, n, scores); });
  } catch (const std::system_error&) {
    upperError = ScoreCatching(scoreRange, half, n, scores);  // no thread to be had: score it here
  }
  // Nothing between the start of the thread and its join may throw: a
  // joinable thread that is destroyed ends the program.
  const std::exception_ptr lowerError = ScoreCatching(scoreRange, 0, half, scores);
  if (upper.joinable()) upper.join();
  if (lowerError) std::rethrow_exception(lowerError);
  if (upperError) std::rethrow_exception(upperError);
}

std::vector<double> ScoreIndexEntries(const TIndexList& list, const std::string& query) {
  std::vector<double> scores(list.size(), 0.0);
  ScoreInTwoHalves(scores, [&](size_t begin, size_t end, std::vector<double>& slots) {
    ScoreRange(list, query, begin, end, slots);
  });
  return scores;
}

}  // namespace quillor
