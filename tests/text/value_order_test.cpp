// The classified order against TStringManager::CompareValues, which defines
// it: random mixed pairs under each decimal separator, every pair of a list
// of texts of each kind and their near misses, and pairs worth naming.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/support/TraceRecorder.h"
#include "tests/text/ScopedDecimalSeparator.h"
#include "text/StringManager.h"
#include "text/ValueOrder.h"

namespace quillor {
namespace {

int32_t SignOf(int32_t v) {
  return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

int32_t Classified(const std::string& a, const std::string& b) {
  return CompareClassified(ClassifyValue(a), ClassifyValue(b));
}

// A classified value points at its text: a temporary must not be accepted.
template <class T>
concept Classifiable = requires(T&& text) {
  ClassifyValue(std::forward<T>(text));
};
static_assert(Classifiable<const std::string&>);
static_assert(!Classifiable<std::string>);

const std::string kHuge = "1" + std::string(400, '0');
const std::string kTiny = "0," + std::string(400, '0') + "1";

// Texts of every kind CompareValues tells apart, near misses of each, and
// their mixtures, which make the order intransitive (2 < 10, 10 < 1a < 2).
std::vector<std::string> EdgeTexts() {
  return {"",
          "0",
          "-0",
          "00",
          "007",
          "00.5",
          ".5",
          "5.",
          "+1",
          "-",
          "0,0",
          "0.000",
          "1e5",
          "1,5",
          "1.5",
          "3,5",
          "3.5",
          "0.25",
          "-0,5",
          "10.0",
          "2",
          "10",
          "1a",
          "-5",
          "12\n",
          "12\r\n",
          "12\r",
          "FA00012\n",
          "12\v",
          "12\f",
          "3\x85",
          std::string("1\0"
                      "2",
                      3),
          "a\nb",
          "2\n",
          "\xE9t\xE9",
          "\xFF",
          "99/99/9999",
          "29/02/1900",
          "29/02/2000",
          "29/02/2021",
          "28/02/2020",
          "31/02/2020",
          "00/05/2001",
          "31/04/2001",
          "01/02/2020",
          "31/12/1999",
          "01/01/0000",
          "01/01/2000\n",
          "AV12",
          "AV99",
          "AV123",
          "AV0123",
          "AV1234",
          "AV12345",
          "DE123",
          "DE1234",
          "DE12345",
          "DE123456",
          "FA12",
          "FA1234",
          "FA00002",
          "FA00012",
          "FA123456",
          "fa00012",
          "ASPIRINE",
          "aspirine",
          "Zinc",
          "5 mg",
          " 12",
          "12 ",
          "3400930000000",
          "12345678901234567",
          "123456789012345678",
          "-12345678901234567",
          "-123456789012345678",
          "1234567890123456789",
          "1234567890123456788",
          "99999999999999999999999",
          "9007199254740993",
          "9007199254740992.5",
          "0.30000000000000004",
          "0,1",
          kHuge,
          "-" + kHuge,
          "2" + std::string(400, '0'),
          kTiny,
          "-" + kTiny,
          "0." + std::string(400, '0') + "2"};
}

// Values of every kind the order knows, near misses of each, and some of
// them followed by a line break.
std::string RandomValue(std::mt19937& rng, const std::vector<std::string>& edges) {
  auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  auto digits = [&](int count, bool leadingNonZero) {
    std::string s;
    for (int i = 0; i < count; ++i)
      s += static_cast<char>('0' + ((i == 0 && leadingNonZero) ? 1 + pick(9) : pick(10)));
    return s;
  };
  auto two = [](int v) {
    return std::string(1, static_cast<char>('0' + v / 10)) + static_cast<char>('0' + v % 10);
  };
  switch (pick(12)) {
    case 0:
      return (pick(4) == 0 ? "-" : "") + digits(1 + pick(19), true);
    case 1:  // around the 18 characters of IsInteger
      return (pick(2) == 0 ? "-" : "") + digits(17 + pick(3), true);
    case 2:
      return std::string(pick(3) == 0 ? "-" : "") + (pick(3) == 0 ? "0" : digits(1 + pick(6), true)) +
             (pick(2) == 0 ? "." : ",") + digits(1 + pick(5), false);
    case 3:  // days 0 to 31 of months 0 to 13: some name no day
      return two(pick(32)) + "/" + two(pick(14)) + "/" + std::to_string(1890 + pick(220));
    case 4:
      return "FA" + digits(5, false);
    case 5:
      return "AV" + digits(3 + pick(2), false);
    case 6:
      return "DE" + digits(4 + pick(2), false);
    case 7:
    case 8: {
      std::string s;
      const int length = pick(6);
      for (int i = 0; i < length; ++i) s += "0129-.,/AFVDEaz \xE9\xFF"[pick(18)];
      return s;
    }
    case 9: {
      static const char* const kBreaks[] = {"\n", "\r\n", "\r", "\v", "\f", "\x85"};
      return RandomValue(rng, edges) + kBreaks[pick(6)];
    }
    default:
      return edges[static_cast<size_t>(pick(static_cast<int>(edges.size())))];
  }
}

TEST(ValueOrder, AgreesWithCompareValuesOnRandomMixedPairsWhateverTheSeparator) {
  const std::vector<std::string> edges = EdgeTexts();
  for (char separator : {',', '.', ' '}) {
    test::ScopedDecimalSeparator scoped(separator);
    test::TraceRecorder trace;
    std::mt19937 rng(20261208u + static_cast<unsigned>(separator));
    for (int i = 0; i < 60000; ++i) {
      const std::string a = RandomValue(rng, edges);
      const std::string b = (i % 7 == 0) ? a : RandomValue(rng, edges);
      ASSERT_EQ(Classified(a, b), SignOf(TStringManager::CompareValues(a, b)))
          << "[" << a << "] vs [" << b << "] with '" << separator << "'";
    }
    EXPECT_TRUE(trace.Errors().empty()) << "nothing is reported, not even a real beyond a double";
  }
}

TEST(ValueOrder, AgreesWithCompareValuesOnEveryPairOfEdgeTexts) {
  const std::vector<std::string> texts = EdgeTexts();
  for (char separator : {',', '.'}) {
    test::ScopedDecimalSeparator scoped(separator);
    test::TraceRecorder trace;
    std::vector<TClassifiedValue> values;
    for (const auto& text : texts) values.push_back(ClassifyValue(text));
    for (size_t a = 0; a < texts.size(); ++a) {
      for (size_t b = 0; b < texts.size(); ++b) {
        ASSERT_EQ(CompareClassified(values[a], values[b]),
                  SignOf(TStringManager::CompareValues(texts[a], texts[b])))
            << "\"" << texts[a] << "\" vs \"" << texts[b] << "\" with '" << separator << "'";
      }
    }
    EXPECT_TRUE(trace.Errors().empty());
  }
}

TEST(ValueOrder, KnownPairs) {
  test::TraceRecorder trace;
  EXPECT_EQ(Classified("9", "10"), -1);
  EXPECT_EQ(Classified("9a", "10a"), 1);
  EXPECT_EQ(Classified("1,5", "1.5"), 0);
  EXPECT_EQ(Classified("FA00099", "FA00250"), -1);
  EXPECT_EQ(Classified("AV999", "AV1000"), -1);
  EXPECT_EQ(Classified("AV0123", "AV123"), 0);  // one number, two texts
  EXPECT_EQ(Classified("AV999", "DE2345"), -1);
  EXPECT_EQ(Classified("12", "FA00012"), -1);
  EXPECT_EQ(Classified("12", "12.5"), -1);
  EXPECT_EQ(Classified("1234567890123456789", "1234567890123456788"), 0);  // 19 digits: reals, same double
  EXPECT_EQ(Classified("123456789012345679", "123456789012345678"), 1);    // 18 digits: integers
  EXPECT_EQ(Classified("01/02/2020", "02/01/2020"), 1);                    // by date, not by bytes
  EXPECT_EQ(Classified("29/02/1900", "01/03/1900"), 1);                    // no leap day in 1900: bytes
  EXPECT_EQ(Classified("99/99/9999", "01/01/2000"), 1);
  EXPECT_EQ(Classified(kHuge, "5"), 1);
  EXPECT_EQ(Classified(kTiny, "-0,5"), 1);
  EXPECT_EQ(Classified(kHuge, "2" + std::string(400, '0')), -1);  // both infinite: bytes
  EXPECT_TRUE(trace.Errors().empty());
}

}  // namespace
}  // namespace quillor
