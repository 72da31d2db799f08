#include <gtest/gtest.h>

#include "catalogue/PriceText.h"

namespace quillor::catalogue {
namespace {

TEST(PriceText, TheLastCommaIsTheDecimalOneAndThousandsSeparatorsGo) {
  EXPECT_EQ(NormalisePrice("1,466,29"), "1466,29");
  EXPECT_EQ(NormalisePrice("53,127,37"), "53127,37");
  EXPECT_EQ(NormalisePrice("1,234,567,89"), "1234567,89");
  EXPECT_EQ(NormalisePrice("24,34"), "24,34");
  EXPECT_EQ(NormalisePrice("7,5"), "7,5");
  EXPECT_EQ(NormalisePrice("0,66"), "0,66");
  EXPECT_EQ(NormalisePrice("12"), "12");
  EXPECT_EQ(NormalisePrice("1 234,56"), "1234,56");
  EXPECT_EQ(NormalisePrice("1.234,56"), "1234,56");
  EXPECT_EQ(NormalisePrice(" 702,60 "), "702,60");
  EXPECT_EQ(NormalisePrice("1 003,48"), "1003,48");
  EXPECT_EQ(NormalisePrice("0"), "0");
}

TEST(PriceText, NoPriceStaysEmpty) {
  EXPECT_EQ(NormalisePrice(""), "");
  EXPECT_EQ(NormalisePrice("   "), "");
}

TEST(PriceText, WhatIsNotAPriceIsRefused) {
  for (const char* bad : {"abc", "12,", ",50", "1,2,34", "1,2345,67", "1234,567,89", "12,5a", "-3,00",
                          "1.234.5,00", "1,234.567,00", "12,345",
                          // Digits spaced out, or a leading zero, are no well-formed groups.
                          "1 0 0 3", "1 00 3,48", "01,003,48", "012", "00,50", "1 234.567,00"}) {
    EXPECT_FALSE(NormalisePrice(bad).has_value()) << bad;
  }
}

}  // namespace
}  // namespace quillor::catalogue
