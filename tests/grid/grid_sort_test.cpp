// Header-click sorting: the bounded quicksort against a plain transcription
// of the unbounded one, and TrierColonne over the in-memory grid (its default
// order against the same quicksort over CompareValues).
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "grid/GuardedQuickSort.h"
#include "grid/MyStringGrid.h"
#include "tests/support/MemoryStringGrid.h"
#include "tests/support/TraceRecorder.h"
#include "text/StringManager.h"

namespace quillor {
namespace {

using test::MemoryStringGrid;

using test::TraceRecorder;

// The written algorithm, loop for loop, with recursion and no bounds: the
// oracle for comparators that are strict weak orderings.
template <class T, class Compare>
void PlainQuickSort(std::vector<T>& items, int64_t low, int64_t high, Compare& compare) {
  int64_t i = 0;
  do {
    i = low;
    int64_t j = high;
    const T pivot = items[static_cast<size_t>((low + high) / 2)];
    do {
      while (compare(items[static_cast<size_t>(i)], pivot) < 0) ++i;
      while (compare(items[static_cast<size_t>(j)], pivot) > 0) --j;
      if (i <= j) {
        std::swap(items[static_cast<size_t>(i)], items[static_cast<size_t>(j)]);
        ++i;
        --j;
      }
    } while (i <= j);
    if (low < j) PlainQuickSort(items, low, j, compare);
    low = i;
  } while (i < high);
}

TEST(GuardedQuickSort, GivesTheWrittenAlgorithmsOrderTiesIncluded) {
  std::mt19937 random(42);
  for (int round = 0; round < 300; ++round) {
    const int n = 1 + static_cast<int>(random() % 200);
    const int distinct = 1 + static_cast<int>(random() % 20);  // many ties
    std::vector<std::pair<int, int>> items;                    // (key, identity)
    for (int k = 0; k < n; ++k) items.emplace_back(static_cast<int>(random() % distinct), k);
    auto byKey = [](const std::pair<int, int>& a, const std::pair<int, int>& b) {
      return a.first < b.first ? -1 : (a.first > b.first ? 1 : 0);
    };
    std::vector<std::pair<int, int>> expected = items;
    PlainQuickSort(expected, 0, n - 1, byKey);
    GuardedQuickSort(items, byKey);
    ASSERT_EQ(items, expected) << "round " << round;
  }
}

TEST(GuardedQuickSort, StaysInsideTheRangeWithComparatorsThatAreNoOrdering) {
  std::mt19937 random(7);
  // Never equal, not even to itself: the unbounded scans would run off the end.
  auto alwaysLess = [](int, int) { return -1; };
  auto alwaysGreater = [](int, int) { return 1; };
  auto coinFlip = [&random](int, int) { return static_cast<int>(random() % 3) - 1; };
  for (int n : {1, 2, 3, 10, 257}) {
    std::vector<int> items(static_cast<size_t>(n));
    for (int k = 0; k < n; ++k) items[static_cast<size_t>(k)] = k;
    for (int pass = 0; pass < 3; ++pass) {
      std::vector<int> sorted = items;
      if (pass == 0) GuardedQuickSort(sorted, alwaysLess);
      if (pass == 1) GuardedQuickSort(sorted, alwaysGreater);
      if (pass == 2) GuardedQuickSort(sorted, coinFlip);
      std::sort(sorted.begin(), sorted.end());
      EXPECT_EQ(sorted, items) << "every item still there once, n=" << n << " pass " << pass;
    }
  }
}

// Texts of every kind that CompareValues tells apart, and their mixtures,
// which make it intransitive (2 < 10 numerically, 10 < 1a and 1a < 2 by bytes).
std::vector<std::string> MixedTexts() {
  return {"",
          "0",
          "2",
          "10",
          "1a",
          "-5",
          "-0",
          "007",
          "12345678901234567",
          "1234567890123456789",
          "3,5",
          "3.5",
          "0.25",
          "-0,5",
          "10.0",
          "01/02/2020",
          "31/12/1999",
          "29/02/2021",
          "99/99/9999",
          "28/02/2020",
          "FA00012",
          "FA00002",
          "FA12",
          "AV123",
          "AV1234",
          "AV12",
          "DE1234",
          "DE12345",
          "DE123",
          "ASPIRINE",
          "aspirine",
          "Zinc",
          "\xE9"
          "t\xE9",
          "2\n",
          "5 mg",
          "3400930000000",
          "1e5",
          "-",
          " 7",
          "7 ",
          "1" + std::string(400, '0'),  // beyond a double
          "0," + std::string(400, '0') + "1"};
}

// A grid with one fixed row (titles) and no fixed column, as the order
// window uses it: CIP, designation, price.
class TrierColonne : public ::testing::Test {
 protected:
  TraceRecorder trace;
  MemoryStringGrid grid{3, 2};
  std::unique_ptr<TMyStringGrid> controller;

  void SetUp() override {
    grid.SetFixedCols(0);
    grid.SetOptions(goVertLine | goHorzLine | goEditing | goRowSelect);
    controller = std::make_unique<TMyStringGrid>(&grid, nullptr);
    controller->fNumberRows = false;
  }
  void Fill(const std::vector<std::vector<std::string>>& rows) {
    controller->SetRowCount(static_cast<int32_t>(rows.size()) + 1);
    controller->setTitles("CIP;Designation;Prix");
    for (size_t r = 0; r < rows.size(); ++r) {
      for (size_t c = 0; c < rows[r].size(); ++c) {
        controller->WriteCell(static_cast<int32_t>(c), static_cast<int32_t>(r) + 1, rows[r][c]);
      }
    }
  }
  std::vector<std::string> Column(int32_t col) const {
    std::vector<std::string> texts;
    for (int32_t r = 1; r < grid.GetRowCount(); ++r) texts.push_back(grid.GetCells(col, r));
    return texts;
  }
  void ClickTitle(int32_t col) {
    const TGridRect cell = grid.CellRect(col, 0);
    grid.ClickAt(cell.Left + 2, cell.Top + 2);
  }
};

TEST_F(TrierColonne, TitleClicksSortNumbersByValueThenReverse) {
  Fill({{"3400000000001", "B", "80"}, {"3400000000002", "A", "9"}, {"3400000000003", "C", "12"}});
  ClickTitle(2);
  EXPECT_EQ(Column(2), (std::vector<std::string>{"9", "12", "80"}));
  EXPECT_EQ(Column(1), (std::vector<std::string>{"A", "C", "B"})) << "whole rows move";
  EXPECT_TRUE(controller->GetSortAscending());
  ClickTitle(2);
  EXPECT_EQ(Column(2), (std::vector<std::string>{"80", "12", "9"}));
  EXPECT_EQ(grid.GetRowTexts(0), (std::vector<std::string>{"CIP", "Designation", "Prix"})) << "titles stay";
  EXPECT_TRUE(trace.Boxes().empty());
}

TEST_F(TrierColonne, FirstClickOnColumnZeroSortsAscending) {
  Fill({{"30", "a", ""}, {"4", "b", ""}, {"200", "c", ""}});
  ClickTitle(0);
  EXPECT_EQ(Column(0), (std::vector<std::string>{"4", "30", "200"}));
}

TEST_F(TrierColonne, DesignationsSortByBytesUpperCaseFirst) {
  Fill({{"1", "aspirine", "1"}, {"2", "DOLIPRANE", "1"}, {"3", "Zinc", "1"}, {"4", "ASPEGIC", "1"}});
  ClickTitle(1);
  EXPECT_EQ(Column(1), (std::vector<std::string>{"ASPEGIC", "DOLIPRANE", "Zinc", "aspirine"}));
}

TEST_F(TrierColonne, MixedColumnSortsSafelyAndKeepsEveryRow) {
  // Not a strict weak ordering: 2 < 10 < 1a < 2.
  std::vector<std::vector<std::string>> rows;
  std::mt19937 random(3);
  const std::vector<std::string> texts = MixedTexts();
  for (int k = 0; k < 500; ++k) rows.push_back({std::to_string(k), texts[random() % texts.size()], ""});
  Fill(rows);
  ClickTitle(1);
  std::vector<std::string> ids = Column(0);
  std::sort(ids.begin(), ids.end());
  std::vector<std::string> expected;
  for (int k = 0; k < 500; ++k) expected.push_back(std::to_string(k));
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(ids, expected);
  // The default sort gives what the same quicksort over CompareValues gives.
  TMyStringGrid* c = controller.get();
  c->TrierColonne(0);
  c->TrierColonne(1, [](const TPairOfStringInt& a, const TPairOfStringInt& b) {
    return TStringManager::CompareValues(a.fString, b.fString);
  });
  const std::vector<std::string> byCompareValues = Column(0);
  c->TrierColonne(0);
  c->TrierColonne(1);
  EXPECT_EQ(Column(0), byCompareValues);
  EXPECT_TRUE(trace.Errors().empty()) << "sorting reports nothing";
}

TEST_F(TrierColonne, SingleRowStaysInPlaceAndCurrent) {
  Fill({{"1", "seul", "5"}});
  controller->SetRow(1);
  ClickTitle(1);
  EXPECT_EQ(grid.GetRowTexts(1), (std::vector<std::string>{"1", "seul", "5"}));
  EXPECT_EQ(grid.GetRow(), 1);
}

TEST_F(TrierColonne, ClicksOnDataRowsOrFixedColumnsSortNothingButAreForwarded) {
  int ups = 0;
  MemoryStringGrid other(3, 2);
  other.Events().OnMouseUp = [&](TMouseButton, TShiftState, int32_t, int32_t) { ++ups; };
  TMyStringGrid withFixed(&other, nullptr);  // one fixed column
  withFixed.fNumberRows = false;
  withFixed.SetRowCount(3);
  withFixed.WriteCell(1, 1, "b");
  withFixed.WriteCell(1, 2, "a");
  const TGridRect fixedTitle = other.CellRect(0, 0);
  other.ClickAt(fixedTitle.Left + 1, fixedTitle.Top + 1);
  const TGridRect dataCell = other.CellRect(1, 2);
  other.ClickAt(dataCell.Left + 1, dataCell.Top + 1);
  EXPECT_EQ(other.GetCells(1, 1), "b");
  EXPECT_EQ(ups, 2);
  const TGridRect title = other.CellRect(1, 0);
  other.ClickAt(title.Left + 1, title.Top + 1);
  EXPECT_EQ(other.GetCells(1, 1), "a");
  EXPECT_EQ(ups, 3);
}

TEST_F(TrierColonne, CurrentRowIsFoundAgainAtTheSameHeight) {
  std::vector<std::vector<std::string>> rows;
  for (int k = 0; k < 100; ++k)
    rows.push_back({std::to_string(1000 + k), "D" + std::to_string(k), std::to_string(k)});
  grid.SetHeight(24 * 21);  // 20 data rows visible
  Fill(rows);
  controller->SetTopRow(20);
  controller->SetRow(30);  // "1029", 10 rows below the top
  ASSERT_EQ(grid.GetTopRow(), 20);
  ClickTitle(2);  // ascending: already in order
  ClickTitle(2);  // descending: "1029" moves to row 71
  EXPECT_EQ(grid.GetRow(), 71);
  EXPECT_EQ(grid.GetCells(0, 71), "1029");
  EXPECT_EQ(grid.GetTopRow(), 61);
  EXPECT_EQ(controller->GetSelectedText(), "D29") << "the text of the current column";
}

TEST_F(TrierColonne, LastOfIdenticalRowsEndsCurrent) {
  Fill({{"1", "x", "5"}, {"1", "x", "5"}, {"0", "a", "1"}});
  controller->SetRow(1);
  ClickTitle(1);
  EXPECT_EQ(grid.GetRow(), 3);
}

TEST_F(TrierColonne, BadColumnIsReportedAndStillRepaints) {
  Fill({{"2", "b", "1"}, {"1", "a", "2"}});
  const int repaints = grid.RepaintCount();
  controller->TrierColonne(3);
  controller->TrierColonne(-1);
  EXPECT_EQ(trace.Errors(), (std::vector<std::string>{"TMyStringGrid.TrierColonne: bad col : 3",
                                                      "TMyStringGrid.TrierColonne: bad col : -1"}));
  EXPECT_EQ(Column(0), (std::vector<std::string>{"2", "1"}));
  EXPECT_EQ(grid.RepaintCount(), repaints + 2);
}

TEST_F(TrierColonne, SortRestoresTheSwitchesAndNotifiesNobody) {
  int cellsLeft = 0;
  MemoryStringGrid other(2, 2);
  other.SetFixedCols(0);
  TMyStringGrid counting(&other, [&](int32_t, int32_t, const std::string&) { ++cellsLeft; });
  counting.SetRowCount(4);
  counting.WriteCell(1, 1, "c");
  counting.WriteCell(1, 2, "b");
  counting.WriteCell(1, 3, "a");
  other.SelectCell(1, 3);
  const int before = cellsLeft;
  counting.TrierColonne(1);
  EXPECT_EQ(cellsLeft, before);
  // Afterwards the select-cell handling works again.
  other.SelectCell(1, 1);
  EXPECT_EQ(cellsLeft, before + 1);
}

}  // namespace
}  // namespace quillor
