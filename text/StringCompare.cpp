// Type-aware comparison of field texts (the order of every index and column
// sort) and the prefix tests of the sorted searches.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "text/StringManager.h"
#include "text/ValueReading.h"

namespace quillor {
namespace {

template <class T>
int32_t Sign(T a, T b) {
  return a > b ? 1 : (a < b ? -1 : 0);
}

// Byte order, bytes taken as unsigned; a prefix sorts first.
int32_t CompareBytes(const std::string& a, const std::string& b) {
  const size_t common = std::min(a.size(), b.size());
  const int byBytes = common == 0 ? 0 : std::memcmp(a.data(), b.data(), common);
  if (byBytes != 0) return byBytes < 0 ? -1 : 1;
  return Sign(a.size(), b.size());
}

// The value of the leading digits from `from` (0-based) on, after an optional
// '-'. The predicates' anchors let a text end with one line break, which is
// not a digit and ends the number.
int64_t LeadingInteger(const std::string& text, size_t from) {
  bool negative = false;
  if (from < text.size() && text[from] == '-') {
    negative = true;
    ++from;
  }
  int64_t value = 0;
  for (size_t i = from; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
    value = value * 10 + (text[i] - '0');
  return negative ? -value : value;
}

bool SameCodeKind(const std::string& a, const std::string& b) {
  return (TStringManager::IsAvCode(a) && TStringManager::IsAvCode(b)) ||
         (TStringManager::IsDeCode(a) && TStringManager::IsDeCode(b)) ||
         (TStringManager::IsFaCode(a) && TStringManager::IsFaCode(b));
}

}  // namespace

int32_t TStringManager::CompareValues(const std::string& a, const std::string& b) {
  if (a == b) return 0;
  if (IsInteger(a) && IsInteger(b)) return Sign(LeadingInteger(a, 0), LeadingInteger(b, 0));
  if (IsReal(a) && IsReal(b)) {
    bool exactA = false;
    bool exactB = false;
    const double d = value_reading::RealValue(a, exactA) - value_reading::RealValue(b, exactB);
    // Two values beyond a double that the conversion cannot tell apart are
    // left to the byte order.
    if (!std::isnan(d) && (d != 0.0 || (exactA && exactB))) return Sign(d, 0.0);
  }
  if (IsDate(a) && IsDate(b)) {
    // A text that only looks like a date is left to the byte order rather
    // than stopping a whole sort with a conversion error.
    const int32_t dayA = value_reading::CalendarDay(a);
    const int32_t dayB = value_reading::CalendarDay(b);
    if (dayA != 0 && dayB != 0) return Sign(dayA, dayB);
  }
  if (SameCodeKind(a, b)) {
    // Codes hold at most five digits after their two letters: always 32-bit.
    return Sign(static_cast<int32_t>(LeadingInteger(a, 2)), static_cast<int32_t>(LeadingInteger(b, 2)));
  }
  return CompareBytes(a, b);
}

bool TStringManager::SamePrefix(const std::string& a, const std::string& b) {
  if (a.empty() || b.empty()) return false;
  return std::memcmp(a.data(), b.data(), std::min(a.size(), b.size())) == 0;
}

int32_t TStringManager::ComparePrefix(const std::string& a, const std::string& b) {
  if (SamePrefix(a, b) || SamePrefix(b, a)) return 0;
  return CompareBytes(a, b);
}

}  // namespace quillor
