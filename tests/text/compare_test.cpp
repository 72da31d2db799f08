#include <gtest/gtest.h>

#include <string>

#include "tests/support/TraceRecorder.h"
#include "text/Locale.h"
#include "text/StringManager.h"

namespace quillor {
namespace {

int Sign(int32_t value) {
  return value > 0 ? 1 : (value < 0 ? -1 : 0);
}

// CompareValues both ways round: the sign must flip.
int Compare(const std::string& a, const std::string& b) {
  const int forward = Sign(TStringManager::CompareValues(a, b));
  EXPECT_EQ(Sign(TStringManager::CompareValues(b, a)), -forward) << a << " / " << b;
  return forward;
}

TEST(CompareValues, NumbersCompareByValue) {
  test::TraceRecorder trace;
  EXPECT_EQ(TStringManager::CompareValues("9", "10"), -1);
  EXPECT_EQ(TStringManager::CompareValues("10", "9"), 1);
  EXPECT_EQ(Compare("-5", "3"), -1);
  EXPECT_EQ(Compare("999999999999999999", "-99999999999999999"), 1);  // beyond 32 bits
  EXPECT_EQ(Compare("999999999999999998", "999999999999999999"), -1);
  // Integer against real, and reals with either separator, are reals.
  EXPECT_EQ(Compare("12", "12.5"), -1);
  EXPECT_EQ(Compare("0", "-0,5"), 1);
  EXPECT_EQ(Compare("0,25", "0.3"), -1);
  EXPECT_TRUE(trace.Boxes().empty());
}

TEST(CompareValues, RealsBeyondADoubleAreComparedWithoutAnyReport) {
  test::TraceRecorder trace;
  const std::string huge = "1" + std::string(400, '0');
  const std::string tiny = "0," + std::string(400, '0') + "1";
  EXPECT_EQ(Compare(huge, "5"), 1);
  EXPECT_EQ(Compare("-" + huge, "-5,5"), -1);
  EXPECT_EQ(Compare(tiny, "0,5"), -1);
  EXPECT_EQ(Compare(tiny, "-0,5"), 1);
  EXPECT_LT(TStringManager::CompareValues(huge, "2" + std::string(400, '0')), 0);
  EXPECT_TRUE(trace.Boxes().empty());
}

TEST(CompareValues, RealsWithEitherSeparatorAreEqualWhateverTheLocale) {
  const char previous = UserDecimalSeparator();
  for (char separator : {',', '.'}) {
    SetUserDecimalSeparator(separator);
    test::TraceRecorder trace;
    EXPECT_EQ(TStringManager::CompareValues("1,5", "1.5"), 0) << separator;
    EXPECT_EQ(TStringManager::CompareValues("2.5", "10,25"), -1) << separator;
    EXPECT_TRUE(trace.Boxes().empty());
  }
  SetUserDecimalSeparator(previous);
}

TEST(CompareValues, TextsOfNoCommonKindCompareByUnsignedBytes) {
  test::TraceRecorder trace;
  EXPECT_GT(TStringManager::CompareValues("9a", "10a"), 0);
  EXPECT_LT(TStringManager::CompareValues("12", "FA00012"), 0);
  EXPECT_LT(TStringManager::CompareValues("abc", "abcd"), 0);  // a prefix comes first
  EXPECT_EQ(Compare("PARACETAMOL", "ASPIRINE"), 1);
  // High bytes are above ASCII, not below it.
  EXPECT_EQ(Compare("cr\xE8me", "crz"), 1);
  EXPECT_EQ(Compare("\xC9"
                    "TAT",
                    "ZINC"),
            1);
  EXPECT_TRUE(trace.Boxes().empty());
}

TEST(CompareValues, CodesCompareByTheirNumberWithinOneKind) {
  test::TraceRecorder trace;
  EXPECT_EQ(TStringManager::CompareValues("FA00099", "FA00250"), -1);
  EXPECT_EQ(Compare("AV999", "AV1000"), -1);  // byte order would say the opposite
  EXPECT_EQ(Compare("DE9999", "DE10000"), -1);
  EXPECT_EQ(Compare("FA00100", "FA00100 "), -1);  // a trailing space is no code: byte order
  // Two kinds: byte order.
  EXPECT_LT(TStringManager::CompareValues("AV999", "DE2345"), 0);
  EXPECT_GT(TStringManager::CompareValues("FA00001", "DE9999"), 0);
  EXPECT_TRUE(trace.Boxes().empty());
}

TEST(CompareValues, DatesCompareAsDayMonthYear) {
  test::TraceRecorder trace;
  EXPECT_EQ(Compare("31/12/2005", "01/01/2006"), -1);
  EXPECT_EQ(Compare("01/02/2020", "02/01/2020"), 1);   // February after January
  EXPECT_EQ(Compare("29/02/2000", "01/03/2000"), -1);  // a leap day
  EXPECT_TRUE(trace.Boxes().empty());
}

TEST(CompareValues, TextsThatOnlyLookLikeDatesFallToByteOrder) {
  test::TraceRecorder trace;
  EXPECT_GT(TStringManager::CompareValues("99/99/9999", "01/01/2000"), 0);
  EXPECT_LT(TStringManager::CompareValues("01/01/2000", "99/99/9999"), 0);
  // 1900 was no leap year; as a date the first would come before the second.
  EXPECT_GT(TStringManager::CompareValues("29/02/1900", "01/03/1900"), 0);
  EXPECT_LT(TStringManager::CompareValues("00/05/2001", "31/12/1999"), 0);
  EXPECT_LT(TStringManager::CompareValues("31/04/2001", "31/05/2001"), 0);
  EXPECT_TRUE(trace.Boxes().empty());
}

TEST(CompareValues, EqualTextsAreEqual) {
  test::TraceRecorder trace;
  for (const char* text : {"", "12", "1,5", "31/12/2005", "99/99/9999", "FA00012", "DOLIPRANE"}) {
    EXPECT_EQ(TStringManager::CompareValues(text, text), 0) << text;
  }
  EXPECT_TRUE(trace.Boxes().empty());
}

TEST(SamePrefix, OneTextStartsTheOther) {
  EXPECT_TRUE(TStringManager::SamePrefix("PARA", "PARACETAMOL"));
  EXPECT_TRUE(TStringManager::SamePrefix("PARACETAMOL", "PARA"));
  EXPECT_TRUE(TStringManager::SamePrefix("PARA", "PARA"));
  EXPECT_FALSE(TStringManager::SamePrefix("PARX", "PARACETAMOL"));
  EXPECT_FALSE(TStringManager::SamePrefix("para", "PARACETAMOL"));
  EXPECT_FALSE(TStringManager::SamePrefix("", "PARA"));
  EXPECT_FALSE(TStringManager::SamePrefix("PARA", ""));
  EXPECT_FALSE(TStringManager::SamePrefix("", ""));
}

TEST(ComparePrefix, PrefixesAreHitsAndTheRestIsByteOrder) {
  EXPECT_EQ(TStringManager::ComparePrefix("PARA", "PARACETAMOL"), 0);
  EXPECT_EQ(TStringManager::ComparePrefix("PARACETAMOL", "PARA"), 0);
  EXPECT_GT(TStringManager::ComparePrefix("PARA", "IBUPROFENE"), 0);
  EXPECT_LT(TStringManager::ComparePrefix("IBUPROFENE", "PARA"), 0);
  EXPECT_LT(TStringManager::ComparePrefix("", "A"), 0);  // the empty text is no prefix
  EXPECT_GT(TStringManager::ComparePrefix("A", ""), 0);
  EXPECT_EQ(TStringManager::ComparePrefix("", ""), 0);
  EXPECT_GT(TStringManager::ComparePrefix("\xC9"
                                          "PI",
                                          "EPI"),
            0);
}

}  // namespace
}  // namespace quillor
