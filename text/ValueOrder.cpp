#include "text/ValueOrder.h"

#include <cmath>

#include "text/StringManager.h"
#include "text/ValueReading.h"

namespace quillor {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool AllDigits(const std::string& text, size_t from, size_t to) {
  for (size_t i = from; i < to; ++i) {
    if (!IsDigit(text[i])) return false;
  }
  return true;
}

// Bytes for which the type patterns behave differently from a plain reading:
// the line breaks of the "any" newline convention ("$" matches before a final
// one) and NUL, which some conversions would take for the end of the text.
bool HasAwkwardByte(const std::string& text) {
  for (char c : text) {
    switch (static_cast<unsigned char>(c)) {
      case 0x00:
      case 0x0A:
      case 0x0B:
      case 0x0C:
      case 0x0D:
      case 0x85:
        return true;
      default:
        break;
    }
  }
  return false;
}

int64_t DigitsValue(const std::string& text, size_t from, size_t to) {
  int64_t value = 0;
  for (size_t i = from; i < to; ++i) value = value * 10 + (text[i] - '0');
  return value;
}

// The shapes IsReal accepts: "-?0[.,][0-9]+", "0", "-?[1-9][0-9]*([.,][0-9]+)?".
// Sets `separator` to the position of the decimal separator, or npos.
bool HasRealShape(const std::string& text, size_t& separator) {
  separator = std::string::npos;
  if (text == "0") return true;
  const size_t i = (!text.empty() && text[0] == '-') ? 1 : 0;
  if (i >= text.size() || !IsDigit(text[i])) return false;
  if (text[i] == '0') {
    // Only "0" followed by a separator and at least one digit.
    if (i + 1 >= text.size() || (text[i + 1] != '.' && text[i + 1] != ',')) return false;
    separator = i + 1;
    return separator + 1 < text.size() && AllDigits(text, separator + 1, text.size());
  }
  size_t j = i;
  while (j < text.size() && IsDigit(text[j])) ++j;
  if (j == text.size()) return true;
  if (text[j] != '.' && text[j] != ',') return false;
  separator = j;
  return j + 1 < text.size() && AllDigits(text, j + 1, text.size());
}

bool IsDateShape(const std::string& text) {
  return text.size() == 10 && text[2] == '/' && text[5] == '/' && AllDigits(text, 0, 2) &&
         AllDigits(text, 3, 5) && AllDigits(text, 6, 10);
}

// Two letters, then a run of digits of an allowed length.
bool IsCode(const std::string& text, char first, char second, size_t minDigits, size_t maxDigits) {
  if (text.size() < 2 || text[0] != first || text[1] != second) return false;
  const size_t digits = text.size() - 2;
  return digits >= minDigits && digits <= maxDigits && AllDigits(text, 2, text.size());
}

bool IsNumberKind(TValueKind kind) {
  return kind == TValueKind::kInteger || kind == TValueKind::kReal;
}

template <class T>
int32_t Sign(T a, T b) {
  return a > b ? 1 : (a < b ? -1 : 0);
}

int32_t CompareBytes(const std::string& a, const std::string& b) {
  // char_traits<char> compares bytes as unsigned, then the shorter first.
  const int byBytes = a.compare(b);
  return byBytes < 0 ? -1 : (byBytes > 0 ? 1 : 0);
}

}  // namespace

TClassifiedValue ClassifyValue(const std::string& text) {
  TClassifiedValue v;
  v.text = &text;
  if (text.empty()) return v;
  if (HasAwkwardByte(text)) {
    v.kind = TValueKind::kDelegated;
    return v;
  }
  const char first = text[0];
  if (IsDigit(first) || first == '-') {
    size_t separator = std::string::npos;
    if (HasRealShape(text, separator)) {
      // IsInteger stops at 18 characters, sign included: longer ones are reals.
      if (separator == std::string::npos && text.size() <= 18) {
        v.kind = TValueKind::kInteger;
        const bool negative = first == '-';
        const int64_t magnitude = DigitsValue(text, negative ? 1 : 0, text.size());
        v.number = negative ? -magnitude : magnitude;
        // Correctly rounded, as the text's own conversion would be.
        v.real = static_cast<double>(v.number);
      } else {
        v.kind = TValueKind::kReal;
        v.real = value_reading::RealValue(text, v.exact);
      }
    } else if (IsDateShape(text)) {
      v.number = value_reading::CalendarDay(text);
      if (v.number != 0) v.kind = TValueKind::kDate;
    }
    return v;
  }
  if (IsCode(text, 'F', 'A', 5, 5)) {
    v.kind = TValueKind::kFaCode;
  } else if (IsCode(text, 'A', 'V', 3, 4)) {
    v.kind = TValueKind::kAvCode;
  } else if (IsCode(text, 'D', 'E', 4, 5)) {
    v.kind = TValueKind::kDeCode;
  }
  if (v.kind != TValueKind::kText) v.number = DigitsValue(text, 2, text.size());
  return v;
}

int32_t CompareClassified(const TClassifiedValue& a, const TClassifiedValue& b) {
  if (a.kind == TValueKind::kDelegated || b.kind == TValueKind::kDelegated) {
    return Sign(TStringManager::CompareValues(*a.text, *b.text), 0);
  }
  // Integers, calendar days and the numbers of one code family: an equal
  // number is an equal value (AV0123 and AV123 included), as CompareValues has it.
  if (a.kind == b.kind && a.kind != TValueKind::kText && a.kind != TValueKind::kReal) {
    return Sign(a.number, b.number);
  }
  if (IsNumberKind(a.kind) && IsNumberKind(b.kind)) {
    const double d = a.real - b.real;
    // Two values beyond a double that cannot be told apart fall to the bytes.
    if (!std::isnan(d) && (d != 0.0 || (a.exact && b.exact))) return Sign(d, 0.0);
  }
  return CompareBytes(*a.text, *b.text);
}

}  // namespace quillor
