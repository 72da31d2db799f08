// TSortKey: a sort key classified once, so that sorting n rows does not run
// the type predicates on every one of its n log n comparisons.
// CompareSortKeys(Classify(a), Classify(b)) == CompareValues(a, b) for every
// pair of texts (the tests compare the two on mixed and real data).
#pragma once

#include <cstdint>
#include <string>

namespace quillor {

struct TSortKey {
  std::string text;

  static TSortKey Classify(const std::string& text);
};

int32_t CompareSortKeys(const TSortKey& a, const TSortKey& b);

}  // namespace quillor
