#include "knowledge/DayDate.h"

#include <cstdio>
#include <ctime>

namespace quillor {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

}  // namespace

std::optional<TDayDate> ParseDayDate(std::string_view text) {
  if (text.size() != 10 || text[2] != '/' || text[5] != '/') return std::nullopt;
  for (size_t i : {0, 1, 3, 4, 6, 7, 8, 9}) {
    if (!IsDigit(text[i])) return std::nullopt;
  }
  const int day = (text[0] - '0') * 10 + (text[1] - '0');
  const int month = (text[3] - '0') * 10 + (text[4] - '0');
  const int year = (text[6] - '0') * 1000 + (text[7] - '0') * 100 + (text[8] - '0') * 10 + (text[9] - '0');
  if (year == 0 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) return std::nullopt;
  return year * 10000 + month * 100 + day;
}

std::string FormatDayDate(TDayDate date) {
  if (date == kNoDate) return {};
  char text[16];
  std::snprintf(text, sizeof text, "%02d/%02d/%04d", date % 100, date / 100 % 100, date / 10000);
  return text;
}

TDayDate Today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return (local.tm_year + 1900) * 10000 + (local.tm_mon + 1) * 100 + local.tm_mday;
}

}  // namespace quillor
