// TSortKey: a sort key classified once, so that sorting n rows runs the type
// predicates n times instead of on every one of the n log n comparisons.
//
// CompareSortKeys(Classify(a), Classify(b)) == TStringManager::CompareValues(a, b)
// for every pair of texts: same kinds tried in the same order (integers,
// reals, calendar dates, codes of one family, bytes), same values compared.
// The tests hold the two against each other on mixed and real columns.
// Classify may report what MyStrToFloat reports for a text that passes
// IsReal but holds no double; CompareValues would report it at each comparison.
#pragma once

#include <cstdint>
#include <string>

namespace quillor {

struct TSortKey {
  enum CodeFamily : uint8_t { kNoCode, kFaCode, kAvCode, kDeCode };

  std::string text;
  bool isInteger = false;
  bool isReal = false;
  bool isCalendarDate = false;  // passes IsDate and names a day of the calendar
  CodeFamily code = kNoCode;
  int64_t integer = 0;     // when isInteger
  double real = 0.0;       // when isReal
  int32_t date = 0;        // yyyymmdd, when isCalendarDate
  int32_t codeNumber = 0;  // the number after the two letters, when a code

  static TSortKey Classify(std::string text);
};

int32_t CompareSortKeys(const TSortKey& a, const TSortKey& b);

}  // namespace quillor
