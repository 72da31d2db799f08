// The controller's model: construction, checked accessors, titles, switches,
// colours and the per-cell tables. Event handlers are in GridEvents.cpp, the
// header-click sort in GridSort.cpp, column widths in GridColumnWidths.cpp.
#include "grid/MyStringGrid.h"

#include <algorithm>

#include "text/StringManager.h"
#include "trace/TraceUnit.h"

namespace quillor {

namespace {
std::string Decimal(int32_t n) {
  return std::to_string(n);
}
}  // namespace

TMyStringGrid::TMyStringGrid(IStringGrid* grid, TOnCellLeft onCellLeft) : fGrid(grid) {
  InstallHandlers();
  fOnCellLeft = std::move(onCellLeft);
  fNotifyCellLeft = fColorsOn = fResizeOn = fNumberRows = fAutoColWidths = true;
  fTrackSelectedText = fSelectHandling = true;
  fSortAscending = false;
  fDefaultColor = clWhite;
  fSelectionColor = clNavy;
  fFixedColor = clBtnFace;
  fDefaultFont = TGridFont{clBlack, 8, 0};
  InitColors();
  ResizeCellTables();
}

TMyStringGrid::~TMyStringGrid() {
  fGrid->Events() = fSaved;
}

// --- pass-through accessors ------------------------------------------------------

int32_t TMyStringGrid::GetColCount() const {
  return fGrid->GetColCount();
}
int32_t TMyStringGrid::GetRowCount() const {
  return fGrid->GetRowCount();
}
int32_t TMyStringGrid::GetFixedCols() const {
  return fGrid->GetFixedCols();
}
int32_t TMyStringGrid::GetFixedRows() const {
  return fGrid->GetFixedRows();
}
int32_t TMyStringGrid::GetCol() const {
  return fGrid->GetCol();
}
int32_t TMyStringGrid::GetRow() const {
  return fGrid->GetRow();
}
int32_t TMyStringGrid::GetTopRow() const {
  return fGrid->GetTopRow();
}
int32_t TMyStringGrid::GetTop() const {
  return fGrid->GetTop();
}
int32_t TMyStringGrid::GetWidth() const {
  return fGrid->GetWidth();
}
void TMyStringGrid::SetFixedRows(int32_t n) {
  fGrid->SetFixedRows(n);
}

// --- texts ---------------------------------------------------------------------------

std::string TMyStringGrid::GetCell(int32_t col, int32_t row) const {
  if (Between(col, 0, GetColCount() - 1) && Between(row, 0, GetRowCount() - 1))
    return fGrid->GetCells(col, row);
  Trace().TraceLineIntInt("TMyStringGrid.GetCell: bad col row : ", col, row);
  return {};
}

void TMyStringGrid::SetCell(int32_t col, int32_t row, const std::string& text) {
  if (IsReadOnly(col, row)) {
    Trace().TraceError("TMyStringGrid.SetCell:Trying to write in a read-only cell " + Decimal(col) + " " +
                       Decimal(row));
    return;
  }
  fGrid->SetCells(col, row, text);
  InitColors(col, row);
}

void TMyStringGrid::WriteCell(int32_t col, int32_t row, const std::string& text) {
  fTrackSelectedText = false;
  fGrid->SetCells(col, row, text);
  InitColors(col, row);
  fTrackSelectedText = true;
}

void TMyStringGrid::ClearCells() {
  // WriteCell of the empty text to every data cell, a column at a time.
  const int32_t fixedRows = GetFixedRows();
  const int32_t rowCount = GetRowCount();
  if (fixedRows >= rowCount) return;
  for (int32_t c = GetFixedCols(); c < GetColCount(); ++c) {
    fGrid->ClearColumn(c, fixedRows);
    InitColorsOfRows(c, fixedRows, rowCount);
    fTrackSelectedText = true;
  }
}

void TMyStringGrid::WriteColumnRows(int32_t col, int32_t firstRow, const TColumnRows& rows) {
  const int32_t count = rows.Count();
  if (count == 0) return;
  fGrid->ShowColumnRows(col, firstRow, rows);
  InitColorsOfRows(col, firstRow, firstRow + count);
  fTrackSelectedText = true;
}

void TMyStringGrid::RewriteColumn(int32_t col, const TTextRewrite& rewrite) {
  const int32_t fixedRows = GetFixedRows();
  const int32_t rowCount = GetRowCount();
  bool anyReadOnly = false;
  if (Between(col, 0, static_cast<int32_t>(fReadOnly.size()) - 1)) {
    const std::vector<bool>& flags = fReadOnly[static_cast<size_t>(col)];
    const auto end = static_cast<size_t>(MinOf(rowCount, static_cast<int32_t>(flags.size())));
    for (size_t r = static_cast<size_t>(MaxOf(fixedRows, 0)); r < end && !anyReadOnly; ++r)
      anyReadOnly = flags[r];
  }
  if (anyReadOnly || !Between(col, 0, GetColCount() - 1)) {
    // Cell by cell, so that every refusal and bad coordinate is reported.
    for (int32_t r = fixedRows; r < rowCount; ++r) {
      const std::string text = GetCell(col, r);
      std::optional<std::string> result = rewrite.apply(text);
      if (result && *result != text) SetCell(col, r, *result);
    }
    return;
  }
  std::vector<int32_t> changedRows;
  fGrid->RewriteColumn(col, fixedRows, rewrite, changedRows);
  for (int32_t r : changedRows) InitColors(col, r);
}

void TMyStringGrid::SetSelectedText(const std::string& text) {
  if (fTrackSelectedText) fSelectedText = text;
}

void TMyStringGrid::NotifyCellLeft(int32_t col, int32_t row, const std::string& text) {
  if (!fNotifyCellLeft) return;
  if (fOnCellLeft) fOnCellLeft(col, row, text);
  InitColors(col, row);
}

// --- dimensions and position ----------------------------------------------------------

void TMyStringGrid::SetColCount(int32_t n) {
  if (n == GetColCount()) return;
  fSelectHandling = false;
  fGrid->SetColCount(n);
  fSelectHandling = true;
  ResizeCellTables();
}

void TMyStringGrid::SetRowCount(int32_t n) {
  if (n <= GetFixedRows()) {
    Trace().TraceError("TMyStringGrid.SetRowCount : impossible de supprimer la premiere ligne");
    return;
  }
  if (n == GetRowCount()) return;
  fSelectHandling = false;
  fGrid->SetRowCount(n);
  fSelectHandling = true;
  ResizeCellTables();
}

void TMyStringGrid::SetFixedCols(int32_t n) {
  fGrid->SetFixedCols(n);
  for (int32_t c = 0; c < GetFixedCols() && c < TableColCount(); ++c) {
    auto& column = fReadOnly[static_cast<size_t>(c)];
    column.assign(column.size(), true);
  }
}

void TMyStringGrid::SetColReadOnly(int32_t col, bool readOnly) {
  if (!Between(col, 0, TableColCount() - 1)) {
    Trace().TraceErrorInt("TMyStringGrid.SetColReadOnly: bad col : ", col);
    return;
  }
  auto& column = fReadOnly[static_cast<size_t>(col)];
  column.assign(column.size(), readOnly);
}

void TMyStringGrid::SetRow(int32_t row) {
  if (row < 0 || row >= GetRowCount()) {
    Trace().TraceWarningInt("TMyStringGrid.SetRow : Bad new Row : ", row);
    row = MaxOf(0, MinOf(row, GetRowCount() - 1));
  }
  const int32_t previous = GetRow();
  fGrid->SetRow(row);
  SetSelectedText(GetCell(GetCol(), row));
  if (row != previous) fGrid->SetEditorMode(false);
}

void TMyStringGrid::SetTopRow(int32_t row) {
  if (Between(row, GetFixedRows(), GetRowCount() - 1)) fGrid->SetTopRow(row);
}

void TMyStringGrid::SetHeight(int32_t height) {
  fGrid->SetHeight(height);
  AutoSizeColumns();
}

// --- titles ------------------------------------------------------------------------------

void TMyStringGrid::setTitles(const std::string& titles) {
  const int32_t count = TStringManager::WordCount(titles, ';');
  if (count + GetFixedCols() != static_cast<int32_t>(fColNames.size())) {
    Trace().TraceError("TMyStringGrid.setTitles : donnees de titre pas a la bonne taille");
    return;
  }
  for (int32_t i = 1; i <= count; ++i)
    SetColName(GetFixedCols() + i - 1, TStringManager::GetWord(titles, i, ';'));
}

void TMyStringGrid::SetColName(int32_t col, const std::string& name) {
  if (!Between(col, 0, static_cast<int32_t>(fColNames.size()) - 1)) {
    Trace().TraceError("TMyStringGrid.SetColName: trying to access a bad col");
    return;
  }
  fColNames[static_cast<size_t>(col)] = name;
  WriteCell(col, 0, name);
}

// --- switches and colours ------------------------------------------------------------

void TMyStringGrid::EnableUpdates(bool on) {
  fNotifyCellLeft = fColorsOn = fResizeOn = fTrackSelectedText = fSelectHandling = on;
}

void TMyStringGrid::InitColors(int32_t col, int32_t row) {
  if (!fColorsOn) return;
  if (Between(col, 0, TableColCount() - 1) &&
      Between(row, 0, static_cast<int32_t>(fGridBackColor[static_cast<size_t>(col)].size()) - 1)) {
    fGridBackColor[static_cast<size_t>(col)][static_cast<size_t>(row)] = fDefaultColor;
  } else {
    Trace().TraceErrorIntInt("TMyStringGrid.InitColors: Bad Params ", col, row);
  }
}

void TMyStringGrid::InitColorsOfRows(int32_t col, int32_t firstRow, int32_t endRow) {
  if (!fColorsOn || firstRow >= endRow) return;
  // InitColors (col, row) for each row in turn, the rows inside the table at
  // once.
  if (!Between(col, 0, TableColCount() - 1)) {
    for (int32_t r = firstRow; r < endRow; ++r) InitColors(col, r);
    return;
  }
  auto& column = fGridBackColor[static_cast<size_t>(col)];
  const int32_t tableRows = static_cast<int32_t>(column.size());
  int32_t r = firstRow;
  for (; r < endRow && r < 0; ++r) InitColors(col, r);
  const int32_t insideEnd = MinOf(endRow, tableRows);
  if (r < insideEnd) {
    std::fill(column.begin() + r, column.begin() + insideEnd, fDefaultColor);
    r = insideEnd;
  }
  for (; r < endRow; ++r) InitColors(col, r);
}

void TMyStringGrid::InitColors() {
  if (!fColorsOn) return;
  for (auto& column : fGridBackColor) column.assign(column.size(), fDefaultColor);
}

// --- per-cell tables ---------------------------------------------------------------------

int32_t TMyStringGrid::TableRowCount() const {
  return fGridBackColor.empty() ? 0 : static_cast<int32_t>(fGridBackColor.front().size());
}

bool TMyStringGrid::IsReadOnly(int32_t col, int32_t row) const {
  // Cells outside the tables have no flag; they are not refused here.
  if (!Between(col, 0, static_cast<int32_t>(fReadOnly.size()) - 1)) return false;
  const auto& column = fReadOnly[static_cast<size_t>(col)];
  return Between(row, 0, static_cast<int32_t>(column.size()) - 1) && column[static_cast<size_t>(row)];
}

TColor TMyStringGrid::GetCellColor(int32_t col, int32_t row) const {
  return fGridBackColor.at(static_cast<size_t>(col)).at(static_cast<size_t>(row));
}

TGridFont TMyStringGrid::GetCellFont(int32_t col, int32_t row) const {
  return fCellFonts.at(static_cast<size_t>(col)).at(static_cast<size_t>(row));
}

void TMyStringGrid::SetCellColor(int32_t col, int32_t row, TColor color) {
  fGridBackColor.at(static_cast<size_t>(col)).at(static_cast<size_t>(row)) = color;
}

void TMyStringGrid::SetCellFont(int32_t col, int32_t row, const TGridFont& font) {
  fCellFonts.at(static_cast<size_t>(col)).at(static_cast<size_t>(row)) = font;
}

void TMyStringGrid::SetRowMarker(TRowMarker marker, int32_t badgeCol) {
  fRowMarker = std::move(marker);
  fBadgeCol = badgeCol;
}

void TMyStringGrid::ResizeCellTables() {
  if (!fResizeOn) return;
  const size_t oldRows = static_cast<size_t>(TableRowCount());
  const size_t oldCols = fGridBackColor.size();
  const size_t cols = static_cast<size_t>(MaxOf(GetColCount(), 0));
  const size_t rows = static_cast<size_t>(MaxOf(GetRowCount(), 0));

  fGridBackColor.resize(cols);
  for (auto& column : fGridBackColor) column.resize(rows, fDefaultColor);
  fCellFonts.resize(cols);
  for (auto& column : fCellFonts) column.resize(rows, fDefaultFont);

  const bool newColumnReadOnly = (fGrid->GetOptions() & goEditing) == 0;
  fReadOnly.resize(cols);
  for (size_t c = 0; c < cols; ++c) {
    auto& column = fReadOnly[c];
    if (c >= oldCols) {
      column.assign(rows, newColumnReadOnly);
      continue;
    }
    column.resize(rows, false);
    if (rows > oldRows && oldRows > 0) {
      const bool rowZero = column[0];
      for (size_t r = oldRows; r < rows; ++r) column[r] = rowZero;
    }
  }
  fColNames.resize(cols);

  NumberRows();
  InitColors();
  AutoSizeColumns();
}

void TMyStringGrid::NumberRows() {
  if (!fNumberRows) return;
  fSelectHandling = false;
  for (int32_t r = 1; r < GetRowCount(); ++r) WriteCell(0, r, Decimal(r));
  fSelectHandling = true;
}

}  // namespace quillor
