#include "tests/support/MemoryStringGrid.h"

#include <algorithm>

namespace quillor::test {

// --- canvas ---------------------------------------------------------------------

void MemoryGridCanvas::FillRect(const TGridRect& rect) {
  fills.emplace_back(rect, brush_);
}

int32_t MemoryGridCanvas::TextWidth(const std::string& text) {
  ++measured;
  return static_cast<int32_t>(text.size()) * kCharWidth;
}

int32_t MemoryGridCanvas::TextHeight(const std::string&) {
  return kTextHeight;
}

void MemoryGridCanvas::TextRect(const TGridRect& clip, int32_t x, int32_t y, const std::string& text) {
  texts.push_back(Drawn{clip, x, y, text, brush_, font_});
}

void MemoryGridCanvas::Clear() {
  texts.clear();
  fills.clear();
}

// --- grid -------------------------------------------------------------------------

MemoryStringGrid::MemoryStringGrid(int32_t colCount, int32_t rowCount) : rowCount_(0) {
  SetColCount(colCount);
  SetRowCount(rowCount);
}

bool MemoryStringGrid::Inside(int32_t col, int32_t row) const {
  return col >= 0 && col < GetColCount() && row >= 0 && row < rowCount_;
}

std::string MemoryStringGrid::GetCells(int32_t col, int32_t row) const {
  if (!Inside(col, row)) return {};
  return cells_[static_cast<size_t>(col)].Get(row);
}

void MemoryStringGrid::SetCells(int32_t col, int32_t row, const std::string& text) {
  if (!Inside(col, row)) return;
  cells_[static_cast<size_t>(col)].Set(row, text);
  if (editorOpen_ && col == col_ && row == row_) editorText_ = text;
}

std::vector<std::string> MemoryStringGrid::GetRowTexts(int32_t row) const {
  std::vector<std::string> texts;
  if (row < 0 || row >= rowCount_) return texts;
  for (const auto& column : cells_) texts.push_back(column.Get(row));
  return texts;
}

void MemoryStringGrid::RefreshEditor(int32_t col) {
  if (editorOpen_ && col == col_ && Inside(col_, row_)) editorText_ = GetCells(col_, row_);
}

void MemoryStringGrid::ShowColumnRows(int32_t col, int32_t firstRow, TColumnRows rows) {
  if (col < 0 || col >= GetColCount() || firstRow < 0) return;
  cells_[static_cast<size_t>(col)].Show(firstRow, std::move(rows));
  RefreshEditor(col);
}

void MemoryStringGrid::ClearColumn(int32_t col, int32_t firstRow) {
  if (col < 0 || col >= GetColCount()) return;
  cells_[static_cast<size_t>(col)].Clear(firstRow);
  RefreshEditor(col);
}

void MemoryStringGrid::RewriteColumn(int32_t col, int32_t firstRow, const TTextRewrite& rewrite,
                                     std::vector<int32_t>& changedRows) {
  if (col < 0 || col >= GetColCount()) return;
  cells_[static_cast<size_t>(col)].Rewrite(firstRow, rewrite, changedRows);
  RefreshEditor(col);
}

int32_t MemoryStringGrid::WidestText(int32_t col, IGridCanvas& canvas) {
  if (col < 0 || col >= GetColCount()) return 0;
  return cells_[static_cast<size_t>(col)].WidestText(canvas);
}

void MemoryStringGrid::SetRowTexts(int32_t row, const std::vector<std::string>& texts) {
  for (int32_t c = 0; c < GetColCount(); ++c) {
    SetCells(c, row, static_cast<size_t>(c) < texts.size() ? texts[static_cast<size_t>(c)] : std::string());
  }
}

void MemoryStringGrid::SetColCount(int32_t n) {
  n = std::max(n, 1);
  cells_.resize(static_cast<size_t>(n), TCellColumn(rowCount_));
  colWidths_.resize(static_cast<size_t>(n), kDefaultColWidth);
  fixedCols_ = std::min(fixedCols_, n - 1);
  if (col_ >= n) MoveCurrent(n - 1, row_);
}

void MemoryStringGrid::SetRowCount(int32_t n) {
  n = std::max(n, 1);
  rowCount_ = n;
  for (auto& column : cells_) column.Resize(n);
  fixedRows_ = std::min(fixedRows_, n - 1);
  if (row_ >= n) MoveCurrent(col_, n - 1);
  SetTopRow(topRow_);
}

void MemoryStringGrid::SetFixedCols(int32_t n) {
  fixedCols_ = std::clamp(n, 0, GetColCount() - 1);
  if (col_ < fixedCols_) col_ = fixedCols_;
}

void MemoryStringGrid::SetFixedRows(int32_t n) {
  fixedRows_ = std::clamp(n, 0, rowCount_ - 1);
  if (row_ < fixedRows_) row_ = fixedRows_;
  SetTopRow(topRow_);
}

bool MemoryStringGrid::MoveCurrent(int32_t col, int32_t row) {
  bool canSelect = true;
  if (events_.OnSelectCell) events_.OnSelectCell(col, row, canSelect);
  if (!canSelect) return false;
  if (col != col_ || row != row_) editorOpen_ = false;
  col_ = std::clamp(col, 0, GetColCount() - 1);
  row_ = std::clamp(row, 0, rowCount_ - 1);
  // Keep the current row in sight, as a grid scrolls to its current cell.
  if (row_ >= fixedRows_) {
    if (row_ < topRow_) topRow_ = row_;
    int32_t visible = std::max(GetVisibleRowCount(), 1);
    if (row_ >= topRow_ + visible) SetTopRow(row_ - visible + 1);
  }
  return true;
}

void MemoryStringGrid::SetRow(int32_t row) {
  if (row != row_) MoveCurrent(col_, row);
}

void MemoryStringGrid::SetTopRow(int32_t row) {
  int32_t maxTop = std::max(fixedRows_, rowCount_ - GetVisibleRowCount());
  topRow_ = std::clamp(row, fixedRows_, maxTop);
}

int32_t MemoryStringGrid::GetVisibleRowCount() const {
  return std::max(0, (height_ - fixedRows_ * kRowHeight) / kRowHeight);
}

void MemoryStringGrid::SetOptions(TGridOptions options) {
  options_ = options;
  if (!(options_ & goEditing)) editorOpen_ = false;
}

void MemoryStringGrid::SetEditorMode(bool open) {
  if (open && !(options_ & goEditing)) return;
  if (open && !editorOpen_) {
    editorExists_ = true;
    editorText_ = GetCells(col_, row_);
    selStart_ = static_cast<int32_t>(editorText_.size());
    selLength_ = 0;
  }
  editorOpen_ = open;
}

void MemoryStringGrid::SetEditorSelStart(int32_t start) {
  if (!editorExists_) return;
  selStart_ = std::clamp(start, 0, static_cast<int32_t>(editorText_.size()));
  selLength_ = std::min(selLength_, static_cast<int32_t>(editorText_.size()) - selStart_);
}

void MemoryStringGrid::SetEditorSelLength(int32_t length) {
  if (!editorExists_) return;
  selLength_ = std::clamp(length, 0, static_cast<int32_t>(editorText_.size()) - selStart_);
}

int32_t MemoryStringGrid::GetColWidth(int32_t col) const {
  if (col < 0 || col >= GetColCount()) return 0;
  return colWidths_[static_cast<size_t>(col)];
}

void MemoryStringGrid::SetColWidth(int32_t col, int32_t width) {
  if (col < 0 || col >= GetColCount()) return;
  colWidths_[static_cast<size_t>(col)] = width;
}

TGridRect MemoryStringGrid::CellRect(int32_t col, int32_t row) const {
  int32_t left = 0;
  for (int32_t c = 0; c < col && c < GetColCount(); ++c) left += colWidths_[static_cast<size_t>(c)];
  int32_t top = row < fixedRows_ ? row * kRowHeight : (fixedRows_ + row - topRow_) * kRowHeight;
  return TGridRect{left, top, left + GetColWidth(col), top + kRowHeight};
}

TGridCoord MemoryStringGrid::MouseCoord(int32_t x, int32_t y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return {};
  TGridCoord cell;
  int32_t left = 0;
  for (int32_t c = 0; c < GetColCount(); ++c) {
    int32_t right = left + colWidths_[static_cast<size_t>(c)];
    if (x >= left && x < right) cell.X = c;
    left = right;
  }
  int32_t fixedHeight = fixedRows_ * kRowHeight;
  int32_t row = y < fixedHeight ? y / kRowHeight : topRow_ + (y - fixedHeight) / kRowHeight;
  if (cell.X < 0 || row >= rowCount_) return {};
  cell.Y = row;
  return cell;
}

TGridPoint MemoryStringGrid::ScreenToClient(TGridPoint screen) const {
  return TGridPoint{screen.X - origin_.X, screen.Y - origin_.Y};
}

// --- test helpers ---------------------------------------------------------------

bool MemoryStringGrid::SelectCell(int32_t col, int32_t row) {
  if (!Inside(col, row) || col < fixedCols_ || row < fixedRows_) return false;
  return MoveCurrent(col, row);
}

void MemoryStringGrid::KeyDown(uint16_t key, TShiftState shift) {
  if (events_.OnKeyDown) events_.OnKeyDown(key, shift);
  bool printable = key == 32 || (key >= 48 && key <= 57) || (key >= 65 && key <= 90);
  if (!printable || (shift & (ssAlt | ssCtrl))) return;
  char typed = static_cast<char>(key);
  if (key >= 65 && key <= 90 && !(shift & ssShift)) typed = static_cast<char>(key + 32);
  if (!editorOpen_) SetEditorMode(true);
  if (!editorOpen_) return;
  editorText_.replace(static_cast<size_t>(selStart_), static_cast<size_t>(selLength_), 1, typed);
  ++selStart_;
  selLength_ = 0;
  SetCells(col_, row_, editorText_);
}

void MemoryStringGrid::ClickAt(int32_t x, int32_t y) {
  if (events_.OnMouseDown) events_.OnMouseDown(TMouseButton::mbLeft, ssLeft, x, y);
  TGridCoord cell = MouseCoord(x, y);
  if (cell.X >= fixedCols_ && cell.Y >= fixedRows_) MoveCurrent(cell.X, cell.Y);
  if (events_.OnMouseUp) events_.OnMouseUp(TMouseButton::mbLeft, 0, x, y);
  if (events_.OnClick) events_.OnClick();
}

void MemoryStringGrid::DoubleClickAt(int32_t x, int32_t y) {
  cursor_ = TGridPoint{x + origin_.X, y + origin_.Y};
  if (events_.OnDblClick) events_.OnDblClick();
}

void MemoryStringGrid::Wheel(bool down) {
  bool handled = false;
  TGridPoint pos = cursor_;
  if (down && events_.OnMouseWheelDown) events_.OnMouseWheelDown(0, pos, handled);
  if (!down && events_.OnMouseWheelUp) events_.OnMouseWheelUp(0, pos, handled);
  if (handled) return;
  int32_t next = row_ + (down ? 1 : -1);
  if (next >= fixedRows_ && next < rowCount_) MoveCurrent(col_, next);
}

void MemoryStringGrid::PaintAll() {
  if (!events_.OnDrawCell) return;
  int32_t lastRow = std::min(rowCount_, topRow_ + GetVisibleRowCount());
  auto paintRow = [&](int32_t row) {
    for (int32_t c = 0; c < GetColCount(); ++c) {
      TGridDrawState state;
      state.fixed = row < fixedRows_ || c < fixedCols_;
      state.selected = !state.fixed && row == row_ && ((options_ & goRowSelect) || c == col_);
      state.focused = row == row_ && c == col_;
      events_.OnDrawCell(c, row, CellRect(c, row), state);
    }
  };
  for (int32_t r = 0; r < fixedRows_; ++r) paintRow(r);
  for (int32_t r = topRow_; r < lastRow; ++r) paintRow(r);
}

}  // namespace quillor::test
