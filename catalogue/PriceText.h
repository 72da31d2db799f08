// Prices of the public drug database as the article file stores them: digits
// with a decimal comma, or nothing.
//
// The export writes a decimal comma and, in its newer files, thousands
// separated by commas too: "1,003,48" is 1003.48, the last comma being the
// decimal one. Spaces (no-break ones included) and points may also separate
// thousands ("1 003,48", "1.003,48"). Stateless; any thread.
#pragma once

#include <optional>
#include <string>

namespace quillor::catalogue {

// "1,003,48" -> "1003,48", "24,34" -> "24,34", "12" -> "12", "" or blanks
// -> "". Returns nothing for a text that is not a price: a letter or sign, a
// thousands group of other than three digits ("1 0 0 3" is refused), a
// leading zero ("01,003,48"), a comma not followed by one or two decimals
// ("12,345" is refused, not guessed), no digit before it.
// REQUIRES: `text` already folded to ASCII (spaces of every kind are ' ').
std::optional<std::string> NormalisePrice(const std::string& text);

}  // namespace quillor::catalogue
