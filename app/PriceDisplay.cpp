#include "app/PriceDisplay.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <vector>

#include "text/Locale.h"
#include "text/StringManager.h"

namespace quillor {

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Drops leading zeros, keeping at least one digit.
void StripLeadingZeros(std::string& digits) {
  size_t first = digits.find_first_not_of('0');
  if (first == std::string::npos) {
    digits.clear();
    digits.push_back('0');
  } else if (first > 0) {
    digits.erase(0, first);
  }
}

// Brings the value to its shortest form: no trailing fractional zeros, no
// leading zeros, and zero without sign.
TExactDecimal Normalised(TExactDecimal value) {
  while (value.scale > 0 && value.digits.size() > 1 && value.digits.back() == '0') {
    value.digits.pop_back();
    --value.scale;
  }
  if (value.scale > 0 && value.digits == "0") value.scale = 0;
  StripLeadingZeros(value.digits);
  if (value.IsZero()) {
    value.negative = false;
    value.scale = 0;
  }
  return value;
}

}  // namespace

std::optional<TExactDecimal> ParseExactDecimal(const std::string& text) {
  TExactDecimal result;
  size_t i = 0;
  if (i < text.size() && text[i] == '-') {
    result.negative = true;
    ++i;
  }
  std::string digits;
  while (i < text.size() && IsDigit(text[i])) digits += text[i++];
  if (digits.empty()) return std::nullopt;
  int32_t scale = 0;
  if (i < text.size() && (text[i] == '.' || text[i] == ',')) {
    ++i;
    size_t fractionStart = i;
    while (i < text.size() && IsDigit(text[i])) digits += text[i++];
    if (i == fractionStart) return std::nullopt;
    scale = static_cast<int32_t>(i - fractionStart);
  }
  if (i != text.size()) return std::nullopt;
  result.digits = digits;
  result.scale = scale;
  return Normalised(result);
}

TExactDecimal ExactDecimalFromDouble(double value) {
  if (!std::isfinite(value)) return TExactDecimal{};
  // Shortest round-trip text in fixed notation: exactly the digits the value
  // was most likely written with.
  char buffer[400];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  if (ec != std::errc()) return TExactDecimal{};
  std::optional<TExactDecimal> parsed = ParseExactDecimal(std::string(buffer, end));
  return parsed ? *parsed : TExactDecimal{};
}

TExactDecimal MultiplyExact(const TExactDecimal& a, const TExactDecimal& b) {
  const size_t na = a.digits.size();
  const size_t nb = b.digits.size();
  // Schoolbook product, least significant digit first.
  std::vector<uint32_t> sum(na + nb, 0);
  for (size_t i = 0; i < na; ++i) {
    const uint32_t da = static_cast<uint32_t>(a.digits[na - 1 - i] - '0');
    if (da == 0) continue;
    for (size_t j = 0; j < nb; ++j) {
      sum[i + j] += da * static_cast<uint32_t>(b.digits[nb - 1 - j] - '0');
    }
    // Carrying after each row keeps every slot far below overflow.
    for (size_t k = 0; k + 1 < sum.size(); ++k) {
      sum[k + 1] += sum[k] / 10;
      sum[k] %= 10;
    }
  }
  TExactDecimal product;
  product.digits.clear();
  for (size_t k = sum.size(); k-- > 0;) product.digits += static_cast<char>('0' + sum[k]);
  product.scale = a.scale + b.scale;
  product.negative = a.negative != b.negative;
  return Normalised(product);
}

TExactDecimal TruncateExact(const TExactDecimal& value, int32_t decimals) {
  if (decimals >= value.scale) return value;
  TExactDecimal result = value;
  // Digits to remove from the right, then (for a negative count) to put back
  // as zeros so that the value keeps its magnitude.
  const int64_t dropped = static_cast<int64_t>(value.scale) - decimals;
  const int64_t zerosBack = decimals < 0 ? -static_cast<int64_t>(decimals) : 0;
  if (dropped >= static_cast<int64_t>(result.digits.size())) {
    return TExactDecimal{};
  }
  result.digits.resize(result.digits.size() - static_cast<size_t>(dropped));
  result.scale = decimals < 0 ? 0 : decimals;
  if (zerosBack > 0 && result.digits != "0") result.digits.append(static_cast<size_t>(zerosBack), '0');
  StripLeadingZeros(result.digits);
  return Normalised(result);
}

std::string ToPlainText(const TExactDecimal& value) {
  std::string text = value.negative ? "-" : "";
  const size_t n = value.digits.size();
  const size_t scale = static_cast<size_t>(value.scale);
  if (scale == 0) {
    text += value.digits;
  } else if (scale < n) {
    text += value.digits.substr(0, n - scale) + "." + value.digits.substr(n - scale);
  } else {
    text += "0." + std::string(scale - n, '0') + value.digits;
  }
  return text;
}

double ToDouble(const TExactDecimal& value) {
  const std::string text = ToPlainText(value);
  double number = 0.0;
  auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (ec == std::errc::result_out_of_range) {
    // Only magnitudes beyond the double range get here.
    number = value.negative ? -std::numeric_limits<double>::max() : std::numeric_limits<double>::max();
  }
  return number;
}

std::string FormatGeneral(const TExactDecimal& value) {
  return FloatToStrGeneral(ToDouble(value));
}

std::optional<std::string> ScalePriceText(const std::string& priceText, const TExactDecimal& coefficient,
                                          int32_t decimals) {
  std::optional<TExactDecimal> price = ParseExactDecimal(priceText);
  if (!price) return std::nullopt;
  return FormatGeneral(TruncateExact(MultiplyExact(*price, coefficient), decimals));
}

TTextRewrite PriceRewrite(const TExactDecimal& coefficient, int32_t decimals) {
  TTextRewrite rewrite;
  rewrite.key = "price x " + ToPlainText(coefficient) + " to " + std::to_string(decimals) +
                " decimals, separator " + std::string(1, UserDecimalSeparator());
  rewrite.apply = [coefficient, decimals](const std::string& price) -> std::optional<std::string> {
    if (!TStringManager::IsReal(price)) return std::nullopt;
    return ScalePriceText(price, coefficient, decimals);
  };
  return rewrite;
}

}  // namespace quillor
