// The index build over the type-aware value order: the merge sort it uses
// with comparators that are no ordering, and a column that mixes kinds.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>

#include "database/Database.h"
#include "database/SafeSort.h"
#include "tests/database/TableFixtures.h"
#include "tests/support/TraceRecorder.h"

namespace quillor {
namespace {

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
TEST(IndexOrder, BuildAndSearchOverAColumnOfMixedKinds) {
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
