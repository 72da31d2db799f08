// The user's locale as the string functions and the price display see it:
// the decimal separator, read once from the process locale (LC_NUMERIC after
// setlocale(LC_ALL, "")), and the runtime-style conversions that depend on it.
//
// Nothing here calls a locale-dependent C library conversion: the separator
// is read once and the conversions are locale-independent code that uses it,
// so Qt or anyone else changing the C locale later changes nothing.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace quillor {

// Raised by the conversions below for a text they cannot convert; the message
// names the text, e.g. "'12.5x' is not a valid floating point value".
class EConvertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The user's decimal separator ('.' or ',', or another byte the locale gives).
char UserDecimalSeparator();
// Reads the separator from the user's locale now (setlocale(LC_ALL, "") and
// localeconv), then puts the process locale back as it was. '.' when the
// locale gives none or one of more than one byte. UserDecimalSeparator calls
// this once.
char ReadUserDecimalSeparator();
// Seam for tests and for start-up: replaces the separator for the rest of the
// process (or until set again).
void SetUserDecimalSeparator(char separator);

// Text to real as the runtime does it: an optional sign, digits, and at most
// one decimal separator which must be the user's; leading and trailing blanks
// (space, tab, line breaks) allowed; an exponent allowed. Throws EConvertError
// otherwise, and for a value beyond the range of a double.
double LocaleStrToFloat(const std::string& text);

// Text to integer as the runtime does it (optional sign, decimal digits, 32-bit
// range; leading and trailing blanks allowed). Throws EConvertError otherwise,
// e.g. "'12a' is not a valid integer value".
int32_t LocaleStrToInt(const std::string& text);

// Real to text in the general number format: at most 15 significant digits,
// no trailing zeros, no separator without a fraction, the user's decimal
// separator, no thousands separators; fixed notation for magnitudes from
// 0.00001 up to 15 integer digits, exponent notation beyond.
std::string FloatToStrGeneral(double value);

}  // namespace quillor
