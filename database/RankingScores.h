// The similarity scores of an approximate search: one score per index entry,
// StringSimilarity(query, entry's value) exactly. Large indexes are scored in
// two halves on two threads; each thread has its own scorer and writes its
// own slots, and only reads the index, which the caller keeps unchanged until
// the call returns. Results do not depend on the number of threads.
#pragma once

#include <string>
#include <vector>

#include "Database.h"

namespace quillor {

// scores[k] = TStringManager::StringSimilarity(query, list[k].fString).
std::vector<double> ScoreIndexEntries(const TIndexList& list, const std::string& query);

}  // namespace quillor
