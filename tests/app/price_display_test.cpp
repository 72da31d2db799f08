// Price scaling in exact decimal arithmetic: the values that binary
// truncation used to get wrong, truncation toward zero at positive, zero and
// negative decimal counts, and both decimal separators.
#include <gtest/gtest.h>

#include "Locale.h"
#include "PriceDisplay.h"

namespace quillor {
namespace {

class PriceDisplayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = UserDecimalSeparator();
    SetUserDecimalSeparator(',');
  }
  void TearDown() override { SetUserDecimalSeparator(previous_); }

  static std::string Scaled(const std::string& price, const std::string& coefficient, int32_t decimals) {
    std::optional<TExactDecimal> factor = ParseExactDecimal(coefficient);
    EXPECT_TRUE(factor.has_value()) << coefficient;
    std::optional<std::string> shown = ScalePriceText(price, factor.value_or(TExactDecimal{}), decimals);
    return shown.value_or("<unchanged>");
  }

 private:
  char previous_ = ',';
};

TEST_F(PriceDisplayTest, PricesJustBelowAWholeCentKeepTheirLastDecimal) {
  // Binary products land just under these values and truncation dropped a cent.
  EXPECT_EQ(Scaled("19,99", "1", 2), "19,99");
  EXPECT_EQ(Scaled("0,29", "1", 2), "0,29");
  EXPECT_EQ(Scaled("4,35", "1", 2), "4,35");
  EXPECT_EQ(Scaled("1,15", "1", 2), "1,15");
  EXPECT_EQ(Scaled("12,34", "1", 2), "12,34");
}

TEST_F(PriceDisplayTest, TruncatesTowardZeroAndShowsTheGeneralFormat) {
  EXPECT_EQ(Scaled("12,349", "1", 2), "12,34");
  EXPECT_EQ(Scaled("-12,349", "1", 2), "-12,34");
  EXPECT_EQ(Scaled("12,3", "1", 2), "12,3");
  EXPECT_EQ(Scaled("12,30", "1", 2), "12,3");
  EXPECT_EQ(Scaled("7", "1", 2), "7");
  EXPECT_EQ(Scaled("0", "1", 2), "0");
}

TEST_F(PriceDisplayTest, ScalesByTheCoefficientExactly) {
  // 12,34 x 6,55957 = 80,9450938
  EXPECT_EQ(Scaled("12,34", "6,55957", 2), "80,94");
  EXPECT_EQ(Scaled("12,34", "6.55957", 2), "80,94");
  EXPECT_EQ(Scaled("100", "0,152449", 3), "15,244");
  EXPECT_EQ(Scaled("-3,5", "2", 1), "-7");
}

TEST_F(PriceDisplayTest, ZeroAndNegativeDecimalCounts) {
  EXPECT_EQ(Scaled("12,99", "1", 0), "12");
  EXPECT_EQ(Scaled("-0,5", "1", 0), "0");  // no minus sign on zero
  EXPECT_EQ(Scaled("-12,99", "1", 0), "-12");
  EXPECT_EQ(Scaled("1234,5", "1", -2), "1200");
  EXPECT_EQ(Scaled("-1234,5", "1", -1), "-1230");
  EXPECT_EQ(Scaled("99", "1", -2), "0");
  EXPECT_EQ(Scaled("12,345678", "1", 40), "12,345678");
}

TEST_F(PriceDisplayTest, EitherSeparatorIsReadAndTheUserSeparatorIsShown) {
  EXPECT_EQ(Scaled("12.50", "1", 2), "12,5");
  SetUserDecimalSeparator('.');
  EXPECT_EQ(Scaled("12,50", "1", 2), "12.5");
  EXPECT_EQ(Scaled("19.99", "1", 2), "19.99");
}

TEST_F(PriceDisplayTest, TextsThatAreNoPlainNumberAreLeftAlone) {
  for (const char* text : {"", "abc", "12,", ",5", "1e3", "12,3,4", " 12", "12 ", "--1", "-"}) {
    EXPECT_FALSE(ScalePriceText(text, TExactDecimal{}, 2).has_value()) << text;
  }
}

TEST_F(PriceDisplayTest, CoefficientFromADoubleKeepsItsWrittenDigits) {
  TExactDecimal euro = ExactDecimalFromDouble(6.55957);
  EXPECT_EQ(ToPlainText(euro), "6.55957");
  EXPECT_EQ(ToPlainText(ExactDecimalFromDouble(0.1)), "0.1");
  EXPECT_EQ(ToPlainText(ExactDecimalFromDouble(-2.5)), "-2.5");
  EXPECT_EQ(ToPlainText(ExactDecimalFromDouble(1e-7)), "0.0000001");
  EXPECT_DOUBLE_EQ(ToDouble(euro), 6.55957);
}

TEST_F(PriceDisplayTest, LongOperandsMultiplyWithoutLoss) {
  std::optional<TExactDecimal> a = ParseExactDecimal("123456789012345678901234567890,5");
  std::optional<TExactDecimal> b = ParseExactDecimal("2");
  ASSERT_TRUE(a && b);
  EXPECT_EQ(ToPlainText(MultiplyExact(*a, *b)), "246913578024691357802469135781");
  EXPECT_EQ(ToPlainText(MultiplyExact(*ParseExactDecimal("-0,001"), *ParseExactDecimal("0,001"))),
            "-0.000001");
}

}  // namespace
}  // namespace quillor
