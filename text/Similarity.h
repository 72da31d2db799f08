// SimilarityScorer: TStringManager::StringSimilarity with one text fixed, for
// callers that score one query against many values (the approximate search
// scores one query against every designation of the catalogue).
//
// Score(value) returns exactly StringSimilarity(query, value): the greedy
// measure, bit for bit, with the query as the first text (the one whose
// positions break ties first). The scorer keeps the per-query tables and the
// scratch buffers between calls, so scoring allocates nothing once the buffers
// have grown to the longest value seen.
//
// A scorer is used by one thread at a time; two scorers share nothing, so
// several threads may each score with their own.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace quillor {

class SimilarityScorer {
 public:
  // Width of the conflict counters. kAutomatic picks the narrowest that
  // cannot overflow for each value; the others exist so that tests can run
  // every width on small texts. REQUIRES: a forced width holds the running
  // totals of every value scored (16 bits: query length x value length x
  // (shorter length + 1) below 65535).
  enum class Counters { kAutomatic, k16, k32, k64 };

  explicit SimilarityScorer(std::string query, Counters counters = Counters::kAutomatic);
  ~SimilarityScorer();
  SimilarityScorer(const SimilarityScorer&) = delete;
  SimilarityScorer& operator=(const SimilarityScorer&) = delete;

  const std::string& Query() const { return query_; }

  // 200 x ChosenLinks(value) / (query length + value length), or 100 when
  // both are empty. REQUIRES: (value length + 1) x (query length rounded up
  // to a power of two, at least 16) below 2^31: the scorer keeps one counter
  // per such cell.
  double Score(const std::string& value);

  // How many links the greedy choice keeps between the query and `value`:
  // the length of the common subsequence it builds.
  int32_t ChosenLinks(const std::string& value);

 private:
  struct Workspaces;

  std::string query_;
  Counters counters_;
  std::unique_ptr<Workspaces> workspaces_;
};

}  // namespace quillor
