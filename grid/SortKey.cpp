#include "SortKey.h"

#include <algorithm>
#include <cstring>

#include "StringManager.h"

namespace quillor {

namespace {
template <class T>
int32_t Sign(T a, T b) {
  return a > b ? 1 : (a < b ? -1 : 0);
}

// The leading digits from `from` on, after an optional '-' (what the
// predicates accept may end with a line break, which ends the number).
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

// yyyymmdd of a dd/mm/yyyy text, or 0 when it names no day (years 1..9999).
int32_t CalendarDay(const std::string& text) {
  auto digits = [&text](size_t at, size_t count) {
    int value = 0;
    for (size_t i = at; i < at + count; ++i) value = value * 10 + (text[i] - '0');
    return value;
  };
  const int year = digits(6, 4), month = digits(3, 2), day = digits(0, 2);
  if (year < 1 || month < 1 || month > 12 || day < 1) return 0;
  static constexpr int kDaysInMonth[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  if (day > kDaysInMonth[month - 1] + (month == 2 && leap ? 1 : 0)) return 0;
  return year * 10000 + month * 100 + day;
}

int32_t CompareBytes(const std::string& a, const std::string& b) {
  const size_t common = std::min(a.size(), b.size());
  const int byBytes = common == 0 ? 0 : std::memcmp(a.data(), b.data(), common);
  if (byBytes != 0) return byBytes < 0 ? -1 : 1;
  return Sign(a.size(), b.size());
}

bool StartsWith(const std::string& text, const char* prefix) {
  return text.rfind(prefix, 0) == 0;
}
}  // namespace

TSortKey TSortKey::Classify(std::string text) {
  TSortKey key;
  key.text = std::move(text);
  const std::string& t = key.text;
  // Numbers and dates begin with a digit or '-', codes with their letters:
  // the cheap test spares the pattern where it cannot match.
  const bool numeric = !t.empty() && ((t[0] >= '0' && t[0] <= '9') || t[0] == '-');
  if (numeric) {
    key.isInteger = TStringManager::IsInteger(t);
    if (key.isInteger) key.integer = LeadingInteger(t, 0);
    key.isReal = TStringManager::IsReal(t);
    if (key.isReal) key.real = TStringManager::MyStrToFloat(t);
    if (TStringManager::IsDate(t)) {
      key.date = CalendarDay(t);
      key.isCalendarDate = key.date != 0;
    }
  }
  if (StartsWith(t, "FA") && TStringManager::IsFaCode(t)) key.code = kFaCode;
  if (StartsWith(t, "AV") && TStringManager::IsAvCode(t)) key.code = kAvCode;
  if (StartsWith(t, "DE") && TStringManager::IsDeCode(t)) key.code = kDeCode;
  if (key.code != kNoCode) key.codeNumber = static_cast<int32_t>(LeadingInteger(t, 2));
  return key;
}

int32_t CompareSortKeys(const TSortKey& a, const TSortKey& b) {
  if (a.text == b.text) return 0;
  if (a.isInteger && b.isInteger) return Sign(a.integer, b.integer);
  if (a.isReal && b.isReal) return Sign(a.real - b.real, 0.0);
  if (a.isCalendarDate && b.isCalendarDate) return Sign(a.date, b.date);
  if (a.code != TSortKey::kNoCode && a.code == b.code) return Sign(a.codeNumber, b.codeNumber);
  return CompareBytes(a.text, b.text);
}

}  // namespace quillor
