#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>

#include "Database.h"
#include "Locale.h"
#include "SafeSort.h"
#include "StringManager.h"
#include "TableFixtures.h"
#include "TraceRecorder.h"
#include "ValueOrder.h"

namespace quillor {
namespace {

int32_t SignOf(int32_t v) {
  return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

// Values of every kind the order knows, and near misses of each.
std::string RandomValue(std::mt19937& rng) {
  auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  auto digits = [&](int count, bool leadingNonZero) {
    std::string s;
    for (int i = 0; i < count; ++i)
      s += static_cast<char>('0' + ((i == 0 && leadingNonZero) ? 1 + pick(9) : pick(10)));
    return s;
  };
  static const std::vector<std::string> kOddOnes = {"",
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
                                                    "12\n",
                                                    "12\r\n",
                                                    "FA00012\n",
                                                    "12\v",
                                                    "3\x85",
                                                    "1\0"
                                                    "2",
                                                    "a\nb",
                                                    "\xE9t\xE9",
                                                    "\xFF",
                                                    "99/99/9999",
                                                    "31/02/2020",
                                                    "01/01/2000\n",
                                                    "AV99",
                                                    "AV12345",
                                                    "DE123",
                                                    "DE123456",
                                                    "FA1234",
                                                    "FA123456",
                                                    "fa00012",
                                                    " 12",
                                                    "12 ",
                                                    "123456789012345678",
                                                    "-12345678901234567",
                                                    "1234567890123456789",
                                                    "99999999999999999999999",
                                                    "9007199254740993",
                                                    "9007199254740992.5",
                                                    "0.30000000000000004",
                                                    "0,1"};
  switch (pick(10)) {
    case 0:
      return (pick(4) == 0 ? "-" : "") + digits(1 + pick(19), true);
    case 1:
      return std::string(pick(3) == 0 ? "-" : "") + (pick(3) == 0 ? "0" : digits(1 + pick(6), true)) +
             (pick(2) == 0 ? "." : ",") + digits(1 + pick(5), false);
    case 2: {
      auto two = [](int v) {
        return std::string(1, static_cast<char>('0' + v / 10)) + static_cast<char>('0' + v % 10);
      };
      return two(1 + pick(28)) + "/" + two(1 + pick(12)) + "/" + std::to_string(1900 + pick(200));
    }
    case 3:
      return "FA" + digits(5, false);
    case 4:
      return "AV" + digits(3 + pick(2), false);
    case 5:
      return "DE" + digits(4 + pick(2), false);
    case 6:
    case 7: {
      std::string s;
      const int length = pick(6);
      for (int i = 0; i < length; ++i) s += "0129-.,/AFVDEaz \xE9\xFF"[pick(18)];
      return s;
    }
    default:
      return kOddOnes[static_cast<size_t>(pick(static_cast<int>(kOddOnes.size())))];
  }
}

TEST(ValueOrder, AgreesWithCompareValuesOnRandomMixedPairs) {
  for (char separator : {',', '.'}) {
    SetUserDecimalSeparator(separator);
    test::TraceRecorder trace;  // values such as "3\x85" are reported by both sides alike
    std::mt19937 rng(20261208u + static_cast<unsigned>(separator));
    for (int i = 0; i < 60000; ++i) {
      const std::string a = RandomValue(rng);
      const std::string b = (i % 7 == 0) ? a : RandomValue(rng);
      const int32_t fast = CompareClassified(ClassifyValue(a), ClassifyValue(b));
      ASSERT_EQ(fast, SignOf(TStringManager::CompareValues(a, b)))
          << "[" << a << "] vs [" << b << "] with " << separator;
    }
  }
}

TEST(ValueOrder, KnownPairs) {
  auto cmp = [](const std::string& a, const std::string& b) {
    return CompareClassified(ClassifyValue(a), ClassifyValue(b));
  };
  EXPECT_EQ(cmp("9", "10"), -1);
  EXPECT_EQ(cmp("9a", "10a"), 1);
  EXPECT_EQ(cmp("1,5", "1.5"), 0);
  EXPECT_EQ(cmp("FA00099", "FA00250"), -1);
  EXPECT_EQ(cmp("AV999", "DE2345"), -1);
  EXPECT_EQ(cmp("12", "FA00012"), -1);
  EXPECT_EQ(cmp("12", "12.5"), -1);
  EXPECT_EQ(cmp("1234567890123456789", "1234567890123456788"), 0);  // 19 digits: reals, same double
  EXPECT_EQ(cmp("123456789012345679", "123456789012345678"), 1);    // 18 digits: integers
}

TEST(SafeSort, StaysInBoundsAndStableWithAnInconsistentComparator) {
  std::mt19937 rng(7);
  for (int round = 0; round < 50; ++round) {
    std::vector<int> items(1 + rng() % 300);
    for (int& v : items) v = static_cast<int>(rng() % 50);
    // Not a strict weak ordering: answers at random, and "less" both ways.
    StableMergeSort(items, [&rng](int, int) { return static_cast<int32_t>(rng() % 3) - 1; });
    EXPECT_FALSE(items.empty());
  }
  std::vector<std::pair<int, int>> pairs;
  for (int i = 0; i < 500; ++i) pairs.push_back({static_cast<int>(rng() % 10), i});
  StableMergeSort(pairs, [](const auto& a, const auto& b) { return a.first - b.first; });
  for (size_t i = 1; i < pairs.size(); ++i) {
    ASSERT_LE(pairs[i - 1].first, pairs[i].first);
    if (pairs[i - 1].first == pairs[i].first) {
      ASSERT_LT(pairs[i - 1].second, pairs[i].second);
    }
  }
}

// A column that mixes integers, words, reals, codes and dates is the case
// where the value order is not transitive: the index build and a search over
// it must stay in bounds (this runs under the sanitizers) and keep every record.
TEST(ValueOrder, IndexAndSearchOverAColumnOfMixedKinds) {
  test::TraceRecorder trace;
  std::mt19937 rng(99);
  std::vector<std::string> lines{"CIP;Designation;Prix"};
  const std::vector<std::string> kinds = {
      "2",          "10",  "1a", "1b",           "-3",  "2,5", "FA00012", "12", "01/02/2003",
      "31/12/1999", "10a", "A",  "ASPIRINE 500", "500", "0",   "DE1234",  ""};
  for (int i = 0; i < 3000; ++i) {
    const std::string& v = kinds[rng() % kinds.size()];
    lines.push_back(std::to_string(i) + ";" + v + ";" + kinds[rng() % kinds.size()]);
  }
  auto table = test::TableOf(lines);
  for (int32_t f = 0; f < 3; ++f) {
    std::vector<int32_t> records;
    for (const auto& entry : *table->IndexList(f)) records.push_back(entry.fInt);
    std::sort(records.begin(), records.end());
    ASSERT_EQ(records.size(), 3000u);
    for (int32_t i = 0; i < 3000; ++i) ASSERT_EQ(records[static_cast<size_t>(i)], i);
  }
  // Integers among themselves still come out in numeric order.
  std::vector<int64_t> integers;
  for (const auto& entry : *table->IndexList(0)) integers.push_back(std::stoll(entry.fString));
  EXPECT_TRUE(std::is_sorted(integers.begin(), integers.end()));

  table->QueryAll("Designation");
  table->QueryAnd("Designation", "^.*1.*$", 2);
  for (int32_t r : table->Selection()) EXPECT_NE(table->DBGetString(1, r).find('1'), std::string::npos);
  table->Query("Designation", "1a", 3);
  EXPECT_EQ(table->SelectionCount(), 3000);
  table->Query("Designation", "1", 1);
  EXPECT_THAT(trace.Errors(), ::testing::IsEmpty());
}

}  // namespace
}  // namespace quillor
