// Calendar days as the public drug database writes them ("19/05/2026"),
// held as one number, year * 10000 + month * 100 + day, so that later days
// compare greater. 0 stands for no date.
//
// Plain functions; any thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillor {

using TDayDate = int32_t;
inline constexpr TDayDate kNoDate = 0;

// "dd/mm/yyyy" (exactly two, two and four digits) naming a day that exists;
// nullopt for anything else, blanks included.
std::optional<TDayDate> ParseDayDate(std::string_view text);

// "dd/mm/yyyy"; the empty text for kNoDate.
std::string FormatDayDate(TDayDate date);

// The local calendar day of now.
TDayDate Today();

}  // namespace quillor
