// The greedy similarity measure transcribed loop for loop, TLink by TLink, as
// plain as it can be written: every pass recounts every pair of candidate
// links. Cubic, and obviously right: the reference that the fast measure
// (TStringManager::StringSimilarity, SimilarityScorer) is held to by the
// tests and timed against by the benchmarks. Nothing in the program calls
// it. Header-only: it costs nothing to what does not include it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "text/Link.h"

namespace quillor {

inline bool LinksConflict(const TLink& p, const TLink& q) {
  return (p.fPosA <= q.fPosA && p.fPosB >= q.fPosB) || (p.fPosA >= q.fPosA && p.fPosB <= q.fPosB);
}

// Links chosen greedily: candidates by i then j, counters that accumulate over
// the passes, the first smallest counter in list order.
inline int32_t TranscribedChosenLinks(const std::string& a, const std::string& b) {
  std::vector<TLink> candidates;
  for (int32_t i = 1; i <= static_cast<int32_t>(a.size()); ++i) {
    for (int32_t j = 1; j <= static_cast<int32_t>(b.size()); ++j) {
      if (a[static_cast<size_t>(i - 1)] == b[static_cast<size_t>(j - 1)]) candidates.push_back(TLink{i, j, 0});
    }
  }
  int32_t chosen = 0;
  std::vector<TLink> remaining;
  while (!candidates.empty()) {
    for (TLink& p : candidates) {
      for (const TLink& q : candidates) {
        if (LinksConflict(p, q)) ++p.fConflicts;
      }
    }
    size_t s = 0;
    for (size_t k = 1; k < candidates.size(); ++k) {
      if (candidates[k].fConflicts < candidates[s].fConflicts) s = k;
    }
    const TLink selected{candidates[s].fPosA, candidates[s].fPosB, 0};
    ++chosen;
    remaining.clear();
    for (const TLink& q : candidates) {
      if (!LinksConflict(q, selected)) remaining.push_back(q);
    }
    candidates.swap(remaining);
  }
  return chosen;
}

inline double TranscribedSimilarity(const std::string& a, const std::string& b) {
  const size_t lengths = a.size() + b.size();
  if (lengths == 0) return 100.0;
  return static_cast<double>(TranscribedChosenLinks(a, b)) * 200.0 / static_cast<double>(lengths);
}

}  // namespace quillor
