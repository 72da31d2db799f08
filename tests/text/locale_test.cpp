#include "text/Locale.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

#include "tests/text/ScopedDecimalSeparator.h"

namespace quillor {
namespace {

using test::ScopedDecimalSeparator;

std::string FloatError(const std::string& text) {
  try {
    LocaleStrToFloat(text);
  } catch (const EConvertError& e) {
    return e.what();
  }
  return "converted";
}

TEST(UserLocale, ReadingTheSeparatorLeavesTheProcessLocaleAsItWas) {
  const std::string before = std::setlocale(LC_ALL, nullptr);
  ASSERT_EQ(std::setlocale(LC_ALL, "C"), std::string("C"));
  const char* saved = std::getenv("LC_ALL");
  const std::string savedValue = saved != nullptr ? saved : "";
  // The user's locale differs from the process's "C", so reading it must
  // switch and switch back.
  setenv("LC_ALL", "C.UTF-8", 1);
  EXPECT_EQ(ReadUserDecimalSeparator(), '.');
  EXPECT_STREQ(std::setlocale(LC_ALL, nullptr), "C");
  if (saved != nullptr) {
    setenv("LC_ALL", savedValue.c_str(), 1);
  } else {
    unsetenv("LC_ALL");
  }
  std::setlocale(LC_ALL, before.c_str());
}

TEST(LocaleStrToFloat, AcceptsOnlyTheUserSeparator) {
  ScopedDecimalSeparator comma(',');
  EXPECT_DOUBLE_EQ(LocaleStrToFloat("12,5"), 12.5);
  EXPECT_DOUBLE_EQ(LocaleStrToFloat(" -0,25\t"), -0.25);
  EXPECT_DOUBLE_EQ(LocaleStrToFloat("+3"), 3.0);
  EXPECT_DOUBLE_EQ(LocaleStrToFloat(",5"), 0.5);
  EXPECT_DOUBLE_EQ(LocaleStrToFloat("5,"), 5.0);
  EXPECT_DOUBLE_EQ(LocaleStrToFloat("-1,5E3"), -1500.0);
  EXPECT_DOUBLE_EQ(LocaleStrToFloat("2e-2"), 0.02);
  EXPECT_DOUBLE_EQ(LocaleStrToFloat("6,55957\r\n"), 6.55957);
  EXPECT_EQ(FloatError("12.5"), "'12.5' is not a valid floating point value");
  for (const char* bad : {"", " ", ",", "-", "1,,2", "1,2,3", "1 2", "1e", "1e+", "inf", "nan", "0x10", "12a",
                          "--1", "1.5", "1\x85"}) {
    EXPECT_THROW(LocaleStrToFloat(bad), EConvertError) << bad;
  }
  EXPECT_EQ(FloatError("1e400"), "'1e400' is not a valid floating point value");

  ScopedDecimalSeparator point('.');
  EXPECT_DOUBLE_EQ(LocaleStrToFloat("12.5"), 12.5);
  EXPECT_EQ(FloatError("12,5"), "'12,5' is not a valid floating point value");
}

TEST(LocaleStrToInt, ThirtyTwoBitRangeAndStrictDigits) {
  EXPECT_EQ(LocaleStrToInt("42"), 42);
  EXPECT_EQ(LocaleStrToInt(" -7 "), -7);
  EXPECT_EQ(LocaleStrToInt("+3"), 3);
  EXPECT_EQ(LocaleStrToInt("007"), 7);
  EXPECT_EQ(LocaleStrToInt("2147483647"), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(LocaleStrToInt("-2147483648"), std::numeric_limits<int32_t>::min());
  for (const char* bad :
       {"", "-", "2147483648", "-2147483649", "123456789012345678", "1.0", "1,0", "12a", "a"}) {
    EXPECT_THROW(LocaleStrToInt(bad), EConvertError) << bad;
  }
  try {
    LocaleStrToInt("12a");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'12a' is not a valid integer value");
  }
}

TEST(FloatToStrGeneral, FifteenDigitsNoTrailingZerosUserSeparator) {
  ScopedDecimalSeparator comma(',');
  EXPECT_EQ(FloatToStrGeneral(12.3), "12,3");
  EXPECT_EQ(FloatToStrGeneral(7.0), "7");
  EXPECT_EQ(FloatToStrGeneral(1234.5), "1234,5");
  EXPECT_EQ(FloatToStrGeneral(0.1 + 0.2), "0,3");
  EXPECT_EQ(FloatToStrGeneral(-0.0), "0");
  EXPECT_EQ(FloatToStrGeneral(-12.349), "-12,349");
  EXPECT_EQ(FloatToStrGeneral(1.0 / 3.0), "0,333333333333333");
  EXPECT_EQ(FloatToStrGeneral(2.0 / 3.0), "0,666666666666667");
  EXPECT_EQ(FloatToStrGeneral(100.0), "100");
  EXPECT_EQ(FloatToStrGeneral(999999999999999.0), "999999999999999");
  EXPECT_EQ(FloatToStrGeneral(1e15), "1E15");
  EXPECT_EQ(FloatToStrGeneral(999999999999999.9), "1E15");
  EXPECT_EQ(FloatToStrGeneral(1e20), "1E20");
  EXPECT_EQ(FloatToStrGeneral(-1.5e20), "-1,5E20");
  EXPECT_EQ(FloatToStrGeneral(123456789012345678.0), "1,23456789012346E17");
  EXPECT_EQ(FloatToStrGeneral(0.00001), "0,00001");
  EXPECT_EQ(FloatToStrGeneral(0.000012), "0,000012");
  EXPECT_EQ(FloatToStrGeneral(0.000001), "1E-6");
  EXPECT_EQ(FloatToStrGeneral(1.5e-7), "1,5E-7");

  ScopedDecimalSeparator point('.');
  EXPECT_EQ(FloatToStrGeneral(12.3), "12.3");
  EXPECT_EQ(FloatToStrGeneral(6.55957), "6.55957");
}

TEST(FloatToStrGeneral, TextReadsBackToTheSameText) {
  ScopedDecimalSeparator comma(',');
  std::mt19937_64 rng(5);
  std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
  std::uniform_int_distribution<int> exponent(-9, 22);
  for (int i = 0; i < 20000; ++i) {
    const double value = mantissa(rng) * std::pow(10.0, exponent(rng));
    const std::string text = FloatToStrGeneral(value);
    // At most 15 significant digits.
    std::string digits;
    for (char c : text.substr(0, text.find('E'))) {
      if (c >= '0' && c <= '9') digits += c;
    }
    const size_t first = digits.find_first_not_of('0');
    const size_t last = digits.find_last_not_of('0');
    ASSERT_LE(last - first + 1, 15u) << text;
    const double back = LocaleStrToFloat(text);
    ASSERT_NEAR(back, value, std::abs(value) * 1e-14) << text;
    ASSERT_EQ(FloatToStrGeneral(back), text);
  }
}

}  // namespace
}  // namespace quillor
