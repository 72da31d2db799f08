// Price scaling for the article grid, done in exact decimal arithmetic.
//
// A displayed price is the catalogue price times the currency coefficient,
// truncated toward zero to a number of decimals. Doing that product in binary
// floating point loses a unit of the last decimal whenever the product lands
// just below a whole number of cents (19,99 would show 19,98), so both factors
// are taken as the decimal digits they were written with and multiplied
// exactly; only the final, already truncated value becomes a double for the
// general number format.
//
// Plain C++, no state, no reports: callers decide what an unparsable text
// means.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "grid/SharedTexts.h"

namespace quillor {

// An exact decimal number: (-1)^negative x digits x 10^-scale.
struct TExactDecimal {
  bool negative = false;
  std::string digits = "0";  // decimal digits, no leading zeros (0 is "0")
  int32_t scale = 0;         // digits after the decimal point, >= 0

  bool IsZero() const { return digits == "0"; }
};

// Parses a plain decimal text: optional '-', digits, optionally '.' or ','
// followed by digits. Leading zeros are accepted. Anything else (blanks,
// exponents, a separator without digits after it) gives nullopt.
std::optional<TExactDecimal> ParseExactDecimal(const std::string& text);

// The shortest decimal that reads back as `value` (6.55957 gives the digits
// 655957 at scale 5). REQUIRES: value is finite.
TExactDecimal ExactDecimalFromDouble(double value);

TExactDecimal MultiplyExact(const TExactDecimal& a, const TExactDecimal& b);

// Truncates toward zero to `decimals` digits after the point; a negative count
// clears that many digits before the point (-1 keeps whole tens). A result of
// zero carries no sign.
TExactDecimal TruncateExact(const TExactDecimal& value, int32_t decimals);

// The value as plain text with '.' before the decimals ("-12.34", "0.5").
std::string ToPlainText(const TExactDecimal& value);
// The nearest double.
double ToDouble(const TExactDecimal& value);

// The value in the general number format with the user's decimal separator
// (FloatToStrGeneral of the nearest double).
std::string FormatGeneral(const TExactDecimal& value);

// The displayed text of one price: price x coefficient, truncated to
// `decimals`, in the general number format. nullopt when `priceText` is not
// a plain decimal number (the cell is then left as it is).
std::optional<std::string> ScalePriceText(const std::string& priceText, const TExactDecimal& coefficient,
                                          int32_t decimals);

// The price column's rewrite: a text that passes TStringManager::IsReal
// becomes ScalePriceText of it, any other text stays. Its key names the
// coefficient, the decimals and the user's decimal separator of now, which
// are all its result depends on.
TTextRewrite PriceRewrite(const TExactDecimal& coefficient, int32_t decimals);

}  // namespace quillor
