// The type-aware order of field texts, computed fast: each text is classified
// once (integer, real, calendar date, FA/AV/DE code, plain text) without the
// regular-expression predicates, and pairs are then compared by kind. For
// every pair of texts, CompareClassified(ClassifyValue(a), ClassifyValue(b))
// has the sign of TStringManager::CompareValues(a, b), whatever the user's
// decimal separator. The index build and the header-click sort use it, so
// that sorting n values classifies n texts instead of running the patterns on
// both sides of each of the n log n comparisons.
//
// A text holding a line break or a NUL byte is not classified by hand ("$"
// of the patterns may match before a final line break): its comparisons are
// left to CompareValues itself. Nothing is reported, not even for a real
// beyond the range of a double.
//
// A TClassifiedValue points at its text and does not own it: the string must
// outlive the value, stay unchanged and stay where it is, so classify the
// texts of a container only once it has stopped growing. Classifying a
// temporary does not compile. GUI thread only (the comparisons left to
// CompareValues share its pattern objects).
#pragma once

#include <cstdint>
#include <string>

namespace quillor {

enum class TValueKind : uint8_t {
  kText,      // none of the kinds below (a date-shaped text naming no day included): byte order
  kInteger,   // IsInteger (and therefore IsReal too)
  kReal,      // IsReal but not IsInteger
  kDate,      // IsDate and names a day of the calendar
  kFaCode,    // IsFaCode
  kAvCode,    // IsAvCode
  kDeCode,    // IsDeCode
  kDelegated  // holds a line break or NUL: compared by TStringManager::CompareValues
};

struct TClassifiedValue {
  const std::string* text = nullptr;
  int64_t number = 0;  // an integer's value, a date's yyyymmdd, the digits of a code
  double real = 0.0;   // an integer's or a real's value as a double
  TValueKind kind = TValueKind::kText;
  bool exact = true;  // false for a real beyond the range of a double (then infinite or 0)
};

TClassifiedValue ClassifyValue(const std::string& text);
TClassifiedValue ClassifyValue(std::string&& text) = delete;  // would point at a dead string

// -1, 0 or 1 with the sign of TStringManager::CompareValues(*a.text, *b.text).
// REQUIRES: both texts still alive and unchanged since they were classified.
int32_t CompareClassified(const TClassifiedValue& a, const TClassifiedValue& b);

}  // namespace quillor
