// The similarity scores of an approximate search: one score per index entry,
// StringSimilarity(query, entry's value) exactly. Large indexes are scored in
// two halves on two threads; each thread has its own scorer and writes its
// own slots, and only reads the index, which the caller keeps unchanged until
// the call returns. Results do not depend on the number of threads.
//
// Errors: whatever either half raises (an allocation failure on an enormous
// value, say) reaches the caller as the ordinary exception it was, once both
// halves have stopped; no thread is left running and none ends the program.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "database/Database.h"

namespace quillor {

// scores[k] = TStringManager::StringSimilarity(query, list[k].fString).
std::vector<double> ScoreIndexEntries(const TIndexList& list, const std::string& query);

// Scores the positions [begin, end) into their own slots of `scores`.
using TRangeScorer = std::function<void(size_t begin, size_t end, std::vector<double>& scores)>;

// Runs `scoreRange` over [0, scores.size()): in two halves, the upper one on
// a second thread, when there are enough entries and cores for it to pay.
// Returns once both halves have stopped. An exception from either half is
// rethrown then; when both fail, the lower half's (the calling thread's).
void ScoreInTwoHalves(std::vector<double>& scores, const TRangeScorer& scoreRange);

}  // namespace quillor
