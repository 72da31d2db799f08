#include "RankingScores.h"

#include <system_error>
#include <thread>

#include "Similarity.h"

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

}  // namespace

std::vector<double> ScoreIndexEntries(const TIndexList& list, const std::string& query) {
  std::vector<double> scores(list.size(), 0.0);
  const size_t half = list.size() / 2;
  if (list.size() < kEntriesWorthASecondThread || std::thread::hardware_concurrency() < 2) {
    ScoreRange(list, query, 0, list.size(), scores);
    return scores;
  }
  std::thread upper;
  try {
    upper = std::thread(ScoreRange, std::cref(list), std::cref(query), half, list.size(), std::ref(scores));
  } catch (const std::system_error&) {
    ScoreRange(list, query, half, list.size(), scores);  // no thread to be had: score it here
  }
  ScoreRange(list, query, 0, half, scores);
  if (upper.joinable()) upper.join();
  return scores;
}

}  // namespace quillor
