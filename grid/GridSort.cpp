// Header-click sorting: TrierColonne reorders the data rows by one column and
// finds the current row again at its new place, at the same height on screen.
#include <vector>

#include "grid/GuardedQuickSort.h"
#include "grid/MyStringGrid.h"
#include "text/ValueOrder.h"
#include "trace/TraceUnit.h"

namespace quillor {

void TMyStringGrid::TrierColonne(int32_t col) {
  SortRows(col, [](const std::vector<TPairOfStringInt>& entries, std::vector<int32_t>& order) {
    // Each text is classified once and compared exactly as CompareValues
    // would. The classified values point into `entries`, which owns the texts
    // and neither grows nor moves while the sort reorders `order` only.
    std::vector<TClassifiedValue> keys;
    keys.reserve(entries.size());
    for (const auto& entry : entries) keys.push_back(ClassifyValue(entry.fString));
    GuardedQuickSort(order, [&keys](int32_t a, int32_t b) {
      return CompareClassified(keys[static_cast<size_t>(a)], keys[static_cast<size_t>(b)]);
    });
  });
}

void TMyStringGrid::TrierColonne(int32_t col, const TSortComparison& comparison) {
  SortRows(col, [&comparison](const std::vector<TPairOfStringInt>& entries, std::vector<int32_t>& order) {
    GuardedQuickSort(order, [&](int32_t a, int32_t b) {
      return comparison(entries[static_cast<size_t>(a)], entries[static_cast<size_t>(b)]);
    });
  });
}

void TMyStringGrid::SortRows(int32_t col, const TEntrySorter& sortEntries) {
  if (!Between(col, 0, GetColCount() - 1)) {
    Trace().TraceErrorInt("TMyStringGrid.TrierColonne: bad col : ", col);
    fGrid->Repaint();
    return;
  }
  const int32_t fixedCols = GetFixedCols();
  const int32_t fixedRows = GetFixedRows();
  const int32_t rowCount = GetRowCount();
  const int32_t colCount = GetColCount();

  std::vector<std::string> currentImage = fGrid->GetRowTexts(GetRow());
  currentImage.erase(currentImage.begin(),
                     currentImage.begin() + MinOf(fixedCols, static_cast<int32_t>(currentImage.size())));
  const int32_t offset = GetRow() - GetTopRow();

  EnableUpdates(false);

  std::vector<TPairOfStringInt> entries;
  entries.reserve(static_cast<size_t>(MaxOf(rowCount - fixedRows, 0)));
  for (int32_t r = fixedRows; r < rowCount; ++r) {
    TPairOfStringInt entry;
    entry.fString = GetCell(col, r);
    entry.fInt = r;
    entries.push_back(std::move(entry));
  }
  // The sort moves positions in `order`, never the entries themselves.
  std::vector<int32_t> order(entries.size());
  for (size_t k = 0; k < order.size(); ++k) order[k] = static_cast<int32_t>(k);
  sortEntries(entries, order);

  // Rows in their new places; descending is the ascending result reversed.
  std::vector<std::vector<std::string>> scratch(static_cast<size_t>(MaxOf(rowCount, 0)));
  for (size_t k = 0; k < order.size(); ++k) {
    const int32_t source = entries[static_cast<size_t>(order[k])].fInt;
    const int32_t target =
        fSortAscending ? fixedRows + static_cast<int32_t>(k) : rowCount - 1 - static_cast<int32_t>(k);
    scratch[static_cast<size_t>(target)] = fGrid->GetRowTexts(source);
  }
  for (int32_t c = fixedCols; c < colCount; ++c) {
    for (int32_t r = fixedRows; r < rowCount; ++r) {
      auto& rowTexts = scratch[static_cast<size_t>(r)];
      WriteCell(c, r,
                static_cast<size_t>(c) < rowTexts.size() ? rowTexts[static_cast<size_t>(c)] : std::string());
    }
  }

  // When several rows are identical, the last of them ends current.
  for (int32_t r = fixedRows; r < rowCount; ++r) {
    const auto& rowTexts = scratch[static_cast<size_t>(r)];
    bool same = rowTexts.size() == currentImage.size() + static_cast<size_t>(fixedCols);
    for (size_t k = 0; same && k < currentImage.size(); ++k)
      same = rowTexts[k + static_cast<size_t>(fixedCols)] == currentImage[k];
    if (same) SetRow(r);
  }
  SetTopRow(MinOf(MaxOf(GetRow() - offset, fixedRows), rowCount - fGrid->GetVisibleRowCount()));

  NumberRows();
  EnableUpdates(true);
  InitColors();
  fGrid->Repaint();
}

}  // namespace quillor
