// Automatic column widths: every column as wide as its widest text (at least
// kMinColWidth), the spare width of the widget shared out in proportion, and
// the rounding remainder given to the last column.
#include <cmath>
#include <vector>

#include "grid/MyStringGrid.h"

namespace quillor {

namespace {
constexpr int32_t kMinColWidth = 25;
constexpr int32_t kScrollBarWidth = 15;
constexpr int32_t kBorderAllowance = 12;

int64_t Sum(const std::vector<int32_t>& widths) {
  int64_t total = 0;
  for (int32_t w : widths) total += w;
  return total;
}
}  // namespace

void TMyStringGrid::AutoSizeColumns() {
  if (!fAutoColWidths) return;
  const int32_t cols = GetColCount();
  const int32_t rows = GetRowCount();
  const int32_t scroll = fGrid->GetVisibleRowCount() + GetFixedRows() < rows ? 1 : 0;

  IGridCanvas& canvas = fGrid->Canvas();
  std::vector<int32_t> widths(static_cast<size_t>(MaxOf(cols, 0)), kMinColWidth);
  for (int32_t c = 0; c < cols; ++c) {
    int32_t& w = widths[static_cast<size_t>(c)];
    // The widest of every row's text; the widget may keep the widths of
    // texts it shows from shared lists.
    if (rows > 0) w = MaxOf(w, fGrid->WidestText(c, canvas));
  }

  auto spareWidth = [&](int64_t total) {
    return GetWidth() - total - kScrollBarWidth * scroll - cols - kBorderAllowance;
  };
  int64_t total = Sum(widths);
  int64_t spare = spareWidth(total);
  if (spare > 0 && total > 0) {
    // Evaluated as w / total * spare, in that order: at exact halves the
    // rounding (to even, std::nearbyint's default mode) depends on it.
    for (int32_t& w : widths) {
      const double grow = static_cast<double>(w) / static_cast<double>(total) * static_cast<double>(spare);
      w += static_cast<int32_t>(std::nearbyint(grow));
    }
  }
  spare = spareWidth(Sum(widths));
  if (spare > 0 && !widths.empty())
    widths.back() = MaxOf(kMinColWidth, widths.back() + static_cast<int32_t>(spare));

  for (int32_t c = 0; c < cols; ++c) fGrid->SetColWidth(c, widths[static_cast<size_t>(c)]);
}

}  // namespace quillor
