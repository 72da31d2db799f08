// Type-aware comparison of field texts (the order of every index and column
// sort) and the prefix tests of the sorted searches.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <tuple>

#include "StringManager.h"

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

// The value of a text IsReal accepts, read with either separator as
// MyStrToFloat reads it, but without its report: comparing never reports. A
// value no double holds becomes an infinity (too large) or a zero (too
// small), and `exact` turns false.
double RealValue(const std::string& text, bool& exact) {
  std::string normalised = text;
  std::replace(normalised.begin(), normalised.end(), ',', '.');
  double value = 0.0;
  const auto [end, error] = std::from_chars(normalised.data(), normalised.data() + normalised.size(), value);
  exact = error == std::errc();
  if (!exact) {
    const bool negative = normalised[0] == '-';
    const bool belowOne = normalised[negative ? 1 : 0] == '0';
    value = belowOne ? 0.0 : std::numeric_limits<double>::infinity();
    if (negative) value = -value;
  }
  return value;
}

struct CalendarDate {
  int year;
  int month;
  int day;
};

// A dd/mm/yyyy text (as IsDate accepts it) that names a day of the calendar
// (years 1 to 9999). 99/99/9999 passes IsDate but names none.
bool ToCalendarDate(const std::string& text, CalendarDate& date) {
  auto digits = [&text](size_t at, size_t count) {
    int value = 0;
    for (size_t i = at; i < at + count; ++i) value = value * 10 + (text[i] - '0');
    return value;
  };
  date = CalendarDate{digits(6, 4), digits(3, 2), digits(0, 2)};
  if (date.year < 1 || date.month < 1 || date.month > 12 || date.day < 1) return false;
  static constexpr int kDaysInMonth[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (date.year % 4 == 0 && date.year % 100 != 0) || date.year % 400 == 0;
  const int days = kDaysInMonth[date.month - 1] + (date.month == 2 && leap ? 1 : 0);
  return date.day <= days;
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
    const double d = RealValue(a, exactA) - RealValue(b, exactB);
    // Two values beyond a double that the conversion cannot tell apart are
    // left to the byte order.
    if (!std::isnan(d) && (d != 0.0 || (exactA && exactB))) return Sign(d, 0.0);
  }
  if (IsDate(a) && IsDate(b)) {
    // A text that only looks like a date is left to the byte order rather
    // than stopping a whole sort with a conversion error.
    CalendarDate dateA;
    CalendarDate dateB;
    if (ToCalendarDate(a, dateA) && ToCalendarDate(b, dateB)) {
      return Sign(std::tie(dateA.year, dateA.month, dateA.day), std::tie(dateB.year, dateB.month, dateB.day));
    }
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
