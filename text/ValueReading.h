// The values behind the type-aware order of field texts, read the one way
// both TStringManager::CompareValues and the classified order (ValueOrder.h)
// read them, so that the two cannot drift apart. Plain functions of their
// argument: nothing is reported, nothing is kept.
#pragma once

#include <cstdint>
#include <string_view>

namespace quillor::value_reading {

// The value of a text IsReal accepts, with either decimal separator and
// whatever the user's one is. A value no double holds becomes an infinity
// (too large) or a zero (too small), and `exact` turns false.
// REQUIRES: TStringManager::IsReal(text).
double RealValue(std::string_view text, bool& exact);

// yyyymmdd of a dd/mm/yyyy text that names a day of the calendar (years 1 to
// 9999), or 0 for one that only looks like a date (99/99/9999, 29/02/1900).
// REQUIRES: TStringManager::IsDate(text) (ten leading bytes of that shape).
int32_t CalendarDay(std::string_view text);

}  // namespace quillor::value_reading
