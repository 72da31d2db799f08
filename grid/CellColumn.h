// TCellColumn: the texts of one column of a string grid, as the widgets keep
// them. Each row holds its own text, except a run of rows that may be shown
// from shared texts (Show): those rows read from the shared list until one of
// them is written, which then holds its own text like any other row.
//
// Every operation gives exactly what writing the texts one by one would have
// given; the shared run only saves the copies. Rows are 0-based. GUI thread
// only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "grid/SharedTexts.h"

namespace quillor {

class TCellColumn {
 public:
  explicit TCellColumn(int32_t rows = 0) : own_(static_cast<size_t>(rows > 0 ? rows : 0)) {}

  int32_t Size() const { return static_cast<int32_t>(own_.size()); }
  // New rows are empty; rows beyond the new size are gone for good.
  void Resize(int32_t rows);

  // REQUIRES: 0 <= row < Size().
  const std::string& Get(int32_t row) const;
  void Set(int32_t row, std::string text);

  // Rows firstRow, firstRow + 1, ... show rows.Text(0), rows.Text(1), ...
  // for as many rows as both have. REQUIRES: 0 <= firstRow.
  void Show(int32_t firstRow, TColumnRows rows);
  // Every row from firstRow on becomes empty.
  void Clear(int32_t firstRow);

  // The largest canvas.TextWidth of a row's text (0 without rows).
  int32_t WidestText(IGridCanvas& canvas) const;

  // Every text from firstRow on through `rewrite`; the rows whose text
  // changed are added to `changedRows` in increasing order.
  void Rewrite(int32_t firstRow, const TTextRewrite& rewrite, std::vector<int32_t>& changedRows);

 private:
  // Whether `row` reads from the shared run.
  bool Shown(int32_t row) const {
    const int32_t k = row - shownFirst_;
    return k >= 0 && k < shownCount_ && (overridden_.empty() || overridden_[static_cast<size_t>(k)] == 0);
  }
  bool InRun(int32_t row) const { return row >= shownFirst_ && row < shownFirst_ + shownCount_; }
  // Copies the shared text into the row's own text for every row of
  // [from, to) that reads from the run.
  void Materialise(int32_t from, int32_t to);
  // Ends the run at `row`; ClipRun leaves the rows beyond it to be emptied or
  // dropped, CutRun gives them their shown texts as own texts first.
  void ClipRun(int32_t row);
  void CutRun(int32_t row);
  void NoteOwnText(int32_t row, const std::string& text);

  std::vector<std::string> own_;
  TColumnRows shown_;
  int32_t shownFirst_ = 0;
  int32_t shownCount_ = 0;
  // One flag per row of the run, set once the row holds its own text; empty
  // while no row of the run does.
  std::vector<uint8_t> overridden_;
  // No row at or after this one holds a non-empty own text outside the run's
  // shown rows, which spares clearing rows that are empty already.
  int32_t ownEnd_ = 0;
};

}  // namespace quillor
