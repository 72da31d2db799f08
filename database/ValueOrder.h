// The index order of the article table, computed fast: each value is
// classified once (integer, real, date, FA/AV/DE code, plain text) and pairs
// are then compared by kind, giving for every pair the same sign as
// TStringManager::CompareValues. Values whose kind the hand-written
// classifier cannot settle exactly (line-break or NUL bytes, where "$" of the
// type patterns may match before a final line break; dates, whose conversion
// belongs to the locale) are compared by TStringManager::CompareValues
// itself.
//
// A TClassifiedValue points at its text: the string must outlive it and stay
// unchanged. GUI thread only (the delegated comparisons share pattern objects).
#pragma once

#include <cstdint>
#include <string>

namespace quillor {

enum class TValueKind : uint8_t {
  kText,      // none of the kinds below: byte order
  kInteger,   // IsInteger (and therefore IsReal too)
  kReal,      // IsReal but not IsInteger
  kDate,      // IsDate
  kFaCode,    // IsFaCode
  kAvCode,    // IsAvCode
  kDeCode,    // IsDeCode
  kDelegated  // compared by TStringManager::CompareValues
};

struct TClassifiedValue {
  const std::string* text = nullptr;
  TValueKind kind = TValueKind::kText;
  int64_t number = 0;  // integer value, or the digits of a code
  double real = 0.0;   // value of an integer or a real
};

TClassifiedValue ClassifyValue(const std::string& text);

// -1, 0 or 1 with the sign of TStringManager::CompareValues(*a.text, *b.text).
int32_t CompareClassified(const TClassifiedValue& a, const TClassifiedValue& b);

}  // namespace quillor
