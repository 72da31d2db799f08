#include "text/ValueReading.h"

#include <charconv>
#include <limits>
#include <string>

namespace quillor::value_reading {

double RealValue(std::string_view text, bool& exact) {
  std::string normalised(text);
  for (char& c : normalised) {
    if (c == ',') c = '.';
  }
  double value = 0.0;
  const auto [end, error] = std::from_chars(normalised.data(), normalised.data() + normalised.size(), value);
  exact = error == std::errc();
  if (!exact) {
    // Only a magnitude out of range fails for the shapes IsReal accepts; a
    // leading 0 is "0," or "0.", so the value is below one.
    const bool negative = normalised[0] == '-';
    const bool belowOne = normalised[negative ? 1 : 0] == '0';
    value = belowOne ? 0.0 : std::numeric_limits<double>::infinity();
    if (negative) value = -value;
  }
  return value;
}

int32_t CalendarDay(std::string_view text) {
  auto digits = [text](size_t at, size_t count) {
    int32_t value = 0;
    for (size_t i = at; i < at + count; ++i) value = value * 10 + (text[i] - '0');
    return value;
  };
  const int32_t year = digits(6, 4);
  const int32_t month = digits(3, 2);
  const int32_t day = digits(0, 2);
  if (year < 1 || month < 1 || month > 12 || day < 1) return 0;
  static constexpr int32_t kDaysInMonth[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  if (day > kDaysInMonth[month - 1] + (month == 2 && leap ? 1 : 0)) return 0;
  return year * 10000 + month * 100 + day;
}

}  // namespace quillor::value_reading
