#include "text/Locale.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string_view>
#include <system_error>

namespace quillor {

// Leaves the process locale as it found it, so that strtod, printf and friends
// elsewhere keep their behaviour.
char ReadUserDecimalSeparator() {
  const char* current = std::setlocale(LC_ALL, nullptr);
  const std::string previous = current != nullptr ? current : "C";
  char separator = '.';
  if (std::setlocale(LC_ALL, "") != nullptr) {
    const std::lconv* conventions = std::localeconv();
    // A separator of more than one byte (some UTF-8 locales) has no place in
    // single-byte text; such a locale keeps the point.
    if (conventions != nullptr && conventions->decimal_point != nullptr &&
        conventions->decimal_point[0] != '\0' && conventions->decimal_point[1] == '\0') {
      separator = conventions->decimal_point[0];
    }
  }
  std::setlocale(LC_ALL, previous.c_str());
  return separator;
}

namespace {

std::optional<char>& SeparatorSetting() {
  static std::optional<char> separator;
  return separator;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

[[noreturn]] void ThrowNotAFloat(const std::string& text) {
  throw EConvertError("'" + text + "' is not a valid floating point value");
}

[[noreturn]] void ThrowNotAnInteger(const std::string& text) {
  throw EConvertError("'" + text + "' is not a valid integer value");
}

}  // namespace

char UserDecimalSeparator() {
  std::optional<char>& separator = SeparatorSetting();
  if (!separator) separator = ReadUserDecimalSeparator();
  return *separator;
}

void SetUserDecimalSeparator(char separator) {
  SeparatorSetting() = separator;
}

double LocaleStrToFloat(const std::string& text) {
  const char separator = UserDecimalSeparator();
  std::string_view rest = TrimBlanks(text);
  bool negative = false;
  if (!rest.empty() && (rest.front() == '-' || rest.front() == '+')) {
    negative = rest.front() == '-';
    rest.remove_prefix(1);
  }
  // Rewrite the number with a point so that from_chars, which knows no
  // locale, reads it; anything outside the grammar is refused here.
  std::string normalised;
  normalised.reserve(rest.size());
  size_t i = 0;
  size_t mantissaDigits = 0;
  while (i < rest.size() && IsDigit(rest[i])) {
    normalised += rest[i++];
    ++mantissaDigits;
  }
  if (i < rest.size() && rest[i] == separator) {
    normalised += '.';
    ++i;
    while (i < rest.size() && IsDigit(rest[i])) {
      normalised += rest[i++];
      ++mantissaDigits;
    }
  }
  if (mantissaDigits == 0) ThrowNotAFloat(text);
  if (i < rest.size() && (rest[i] == 'e' || rest[i] == 'E')) {
    normalised += 'e';
    ++i;
    if (i < rest.size() && (rest[i] == '-' || rest[i] == '+')) normalised += rest[i++];
    size_t exponentDigits = 0;
    while (i < rest.size() && IsDigit(rest[i])) {
      normalised += rest[i++];
      ++exponentDigits;
    }
    if (exponentDigits == 0) ThrowNotAFloat(text);
  }
  if (i != rest.size()) ThrowNotAFloat(text);

  double value = 0.0;
  const char* last = normalised.data() + normalised.size();
  const auto [end, error] = std::from_chars(normalised.data(), last, value, std::chars_format::general);
  if (error != std::errc() || end != last) ThrowNotAFloat(text);
  return negative ? -value : value;
}

int32_t LocaleStrToInt(const std::string& text) {
  std::string_view rest = TrimBlanks(text);
  bool negative = false;
  if (!rest.empty() && (rest.front() == '-' || rest.front() == '+')) {
    negative = rest.front() == '-';
    rest.remove_prefix(1);
  }
  if (rest.empty() || !IsDigit(rest.front())) ThrowNotAnInteger(text);
  // Read the magnitude wider than the result so that -2147483648 fits.
  int64_t magnitude = 0;
  const char* last = rest.data() + rest.size();
  const auto [end, error] = std::from_chars(rest.data(), last, magnitude);
  if (error != std::errc() || end != last) ThrowNotAnInteger(text);
  const int64_t value = negative ? -magnitude : magnitude;
  if (value < INT32_MIN || value > INT32_MAX) ThrowNotAnInteger(text);
  return static_cast<int32_t>(value);
}

std::string FloatToStrGeneral(double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0.0) return "0";  // -0.0 as well

  // Round to 15 significant digits first: the notation depends on the
  // rounded value (999999999999999.9 becomes 1E15).
  char buffer[64];
  const auto [end, error] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
  if (error != std::errc()) return "0";
  const std::string_view scientific(buffer, static_cast<size_t>(end - buffer));
  // "[-]d.dddddddddddddde[+-]xx"
  const bool negative = scientific.front() == '-';
  const size_t mantissaStart = negative ? 1 : 0;
  const size_t exponentMark = scientific.find('e');
  std::string digits;
  for (size_t i = mantissaStart; i < exponentMark; ++i) {
    if (IsDigit(scientific[i])) digits += scientific[i];
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  int exponent = 0;
  std::from_chars(scientific.data() + exponentMark + (scientific[exponentMark + 1] == '+' ? 2 : 1),
                  scientific.data() + scientific.size(), exponent);

  const char separator = UserDecimalSeparator();
  std::string result = negative ? "-" : "";
  if (exponent >= -5 && exponent < 15) {
    if (exponent >= 0) {
      const size_t integerDigits = static_cast<size_t>(exponent) + 1;
      if (digits.size() <= integerDigits) {
        result += digits;
        result.append(integerDigits - digits.size(), '0');
      } else {
        result.append(digits, 0, integerDigits);
        result += separator;
        result.append(digits, integerDigits, std::string::npos);
      }
    } else {
      result += '0';
      result += separator;
      result.append(static_cast<size_t>(-exponent - 1), '0');
      result += digits;
    }
    return result;
  }
  result += digits.front();
  if (digits.size() > 1) {
    result += separator;
    result.append(digits, 1, std::string::npos);
  }
  result += 'E';
  result += std::to_string(exponent);
  return result;
}

}  // namespace quillor
