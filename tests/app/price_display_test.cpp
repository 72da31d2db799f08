// Price scaling in exact decimal arithmetic: the values that binary
// truncation used to get wrong, truncation toward zero at positive, zero and
// negative decimal counts, and both decimal separators.
#include <gtest/gtest.h>

#include <random>

#include "app/PriceDisplay.h"
#include "grid/MyStringGrid.h"
#include "tests/support/MemoryStringGrid.h"
#include "text/Locale.h"
#include "text/StringManager.h"

namespace quillor {
namespace {

using test::MemoryStringGrid;

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

// The price column is rewritten once per list of catalogue prices and kept:
// whatever the result depends on (coefficient, decimals, the user's decimal
// separator) must give another key, or a later search would show prices
// scaled the old way.
TEST_F(PriceDisplayTest, KeptScaledPricesFollowEverySettingTheyDependOn) {
  std::mt19937 random(42);
  std::vector<std::string> prices = {"", "0", "12,3", "12.30", "007", "1e3", "12.", "-0,5", "abc", "19,99"};
  for (int i = 0; i < 2000; ++i) {
    std::string price = std::to_string(random() % 3000);
    if (random() % 2) price += (random() % 2 ? "," : ".") + std::to_string(random() % 1000);
    if (random() % 10 == 0) price = "-" + price;
    prices.push_back(price);
  }
  const auto texts = std::make_shared<const TSharedTexts>(prices);
  std::vector<int32_t> order(prices.size());
  for (size_t k = 0; k < order.size(); ++k) order[k] = static_cast<int32_t>(k);
  const TColumnRows rows{texts, std::make_shared<const std::vector<int32_t>>(order)};

  MemoryStringGrid widget(3, static_cast<int32_t>(prices.size()) + 1);
  widget.SetOptions(goVertLine | goHorzLine | goEditing | goRowSelect);
  TMyStringGrid grid(&widget, nullptr);
  grid.fNumberRows = false;
  grid.SetFixedCols(0);
  struct Settings {
    const char* coefficient;
    int32_t decimals;
    char separator;
  };
  for (const Settings& settings : {Settings{"1", 2, ','}, Settings{"1", 2, '.'}, Settings{"1", 1, '.'},
                                   Settings{"6,55957", 1, '.'}, Settings{"1", 2, ','}}) {
    SetUserDecimalSeparator(settings.separator);
    const TExactDecimal coefficient = *ParseExactDecimal(settings.coefficient);
    grid.ClearCells();
    grid.WriteColumnRows(2, 1, rows);
    grid.RewriteColumn(2, PriceRewrite(coefficient, settings.decimals));
    for (size_t k = 0; k < prices.size(); ++k) {
      const std::string& price = prices[k];
      const std::string expected = TStringManager::IsReal(price)
                                       ? ScalePriceText(price, coefficient, settings.decimals).value_or(price)
                                       : price;
      ASSERT_EQ(grid.GetCell(2, static_cast<int32_t>(k) + 1), expected)
          << price << " x " << settings.coefficient << " to " << settings.decimals << " with "
          << settings.separator;
    }
  }
}

}  // namespace
}  // namespace quillor
