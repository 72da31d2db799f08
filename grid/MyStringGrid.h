// TMyStringGrid: the controller attached to a string-grid widget. The widget
// keeps the texts, dimensions, current cell and scroll position; the
// controller keeps one set of attributes per cell (background colour, font,
// read-only flag), the column names, a few switches and the sort state.
//
// At construction it takes over the widget's events (saving the handlers they
// had and forwarding to them): header-click sort, cell drawing, select-cell
// handling, overwrite-on-type, wheel clamping, double clicks on data cells only.
//
// Ownership: the widget is not owned and must outlive the controller. Faults
// are reported through the trace facility and the operation returns without
// effect; nothing throws. GUI thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "grid/IStringGrid.h"
#include "grid/SharedTexts.h"
#include "text/Utils.h"

namespace quillor {

// Told which cell the selection leaves and the text it had when it became
// current. May be empty.
using TOnCellLeft = std::function<void(int32_t col, int32_t row, const std::string& text)>;

// A mark on a whole data row, found anew each time the row is drawn (so that
// it follows the row's content through sorts and refills): its cells'
// background while the row is not selected, and a badge, a short word drawn
// in its own colours at the right end of one column's cell, whatever the
// row's state, so that the mark reads without colour too.
struct TRowMark {
  TColor background = clWhite;
  std::string badge;  // empty: no badge
  TColor badgeColor = clBlack;
  TColor badgeTextColor = clWhite;
};

// Whether the data row `row` is marked, and how.
using TRowMarker = std::function<bool(int32_t row, TRowMark& mark)>;

// Three-way comparison of two sort entries (negative, 0, positive).
using TSortComparison = std::function<int32_t(const TPairOfStringInt& a, const TPairOfStringInt& b)>;

class TMyStringGrid {
 public:
  // REQUIRES: grid != nullptr and outlives the controller.
  TMyStringGrid(IStringGrid* grid, TOnCellLeft onCellLeft);
  TMyStringGrid(const TMyStringGrid&) = delete;
  TMyStringGrid& operator=(const TMyStringGrid&) = delete;
  // Gives the widget back the handlers it had before construction.
  ~TMyStringGrid();

  // Public switch: NumberRows does its work.
  bool fNumberRows = true;

  // --- pass-through accessors -----------------------------------------------------
  int32_t GetColCount() const;
  int32_t GetRowCount() const;
  int32_t GetFixedCols() const;
  int32_t GetFixedRows() const;  // the first data row
  int32_t GetCol() const;
  int32_t GetRow() const;
  int32_t GetTopRow() const;
  int32_t GetTop() const;
  int32_t GetWidth() const;
  void SetFixedRows(int32_t n);

  // --- texts ----------------------------------------------------------------------------
  // The widget's text of the cell. Bad coordinates write a trace line and give
  // the empty text (callers that kept an old value should test the coordinates).
  std::string GetCell(int32_t col, int32_t row) const;
  // Refused with an error box on a read-only cell. Callers keep (col, row)
  // inside the grid; a cell outside it is not written, and the colour reset
  // reports it ("TMyStringGrid.InitColors: Bad Params ").
  void SetCell(int32_t col, int32_t row, const std::string& text);
  // Writes regardless of read-only flags; outside the grid as SetCell.
  void WriteCell(int32_t col, int32_t row, const std::string& text);
  // Empties every data cell (non-fixed columns, non-fixed rows).
  void ClearCells();
  // WriteCell of rows.Text(k) to (col, firstRow + k) for every k, without
  // copying the shared texts.
  void WriteColumnRows(int32_t col, int32_t firstRow, const TColumnRows& rows);
  // SetCell of every data cell of `col` that `rewrite` changes, in row order.
  // Texts shown from shared texts are rewritten once per rewrite key and
  // list of texts, not once per call.
  void RewriteColumn(int32_t col, const TTextRewrite& rewrite);
  void SetSelectedText(const std::string& text);
  void NotifyCellLeft(int32_t col, int32_t row, const std::string& text);

  // --- dimensions and position -------------------------------------------------------
  void SetColCount(int32_t n);
  // n <= fixed row count is refused with an error box.
  void SetRowCount(int32_t n);
  // Also makes every cell of the fixed columns read-only.
  void SetFixedCols(int32_t n);
  // Every row of the column; a column outside the tables is reported.
  void SetColReadOnly(int32_t col, bool readOnly);
  // Out-of-range rows are clamped after a warning.
  void SetRow(int32_t row);
  // Silently ignored outside fixed row count .. row count - 1.
  void SetTopRow(int32_t row);
  void SetHeight(int32_t height);

  // --- titles ------------------------------------------------------------------------------
  // ";"-separated names for the non-fixed columns; a count that does not match
  // is refused with an error box.
  void setTitles(const std::string& titles);
  void SetColName(int32_t col, const std::string& name);

  // --- switches, colours, layout --------------------------------------------------------
  void EnableUpdates(bool on);
  void InitColors();
  void InitColors(int32_t col, int32_t row);
  void NumberRows();
  void ResizeCellTables();
  void AutoSizeColumns();

  // --- sorting ---------------------------------------------------------------------------------
  // Sorts the data rows by `col` (CompareValues order), ascending or descending
  // by fSortAscending, keeping the current row current and at the same height.
  void TrierColonne(int32_t col);
  void TrierColonne(int32_t col, const TSortComparison& comparison);

  // --- read access for the window and tests -----------------------------------------------
  const std::string& GetSelectedText() const { return fSelectedText; }
  bool GetSortAscending() const { return fSortAscending; }
  int32_t GetSortCol() const { return fSortCol; }
  // False for a cell outside the tables.
  bool IsReadOnly(int32_t col, int32_t row) const;
  // REQUIRES: (col, row) inside the tables (std::out_of_range otherwise).
  TColor GetCellColor(int32_t col, int32_t row) const;
  TGridFont GetCellFont(int32_t col, int32_t row) const;
  const std::vector<std::string>& GetColNames() const { return fColNames; }
  // Attribute table sizes (columns, rows of the first column).
  int32_t TableColCount() const { return static_cast<int32_t>(fGridBackColor.size()); }
  int32_t TableRowCount() const;

  // Per-cell attributes; REQUIRES: (col, row) inside the tables.
  void SetCellColor(int32_t col, int32_t row, TColor color);
  void SetCellFont(int32_t col, int32_t row, const TGridFont& font);

  // Marks on whole data rows (none when `marker` is empty), asked for every
  // data cell drawn; badges go into column `badgeCol`, whose text is then
  // centred in the room the badge leaves (from the cell's left edge when it
  // does not fit). Fixed rows are never marked.
  void SetRowMarker(TRowMarker marker, int32_t badgeCol);

 private:
  // The controller's handlers of the widget's events.
  void HandleClick();
  void HandleDblClick();
  void HandleDrawCell(int32_t col, int32_t row, const TGridRect& rect, TGridDrawState state);
  // Draws a marked row's cell: `text` in `font` beside the badge, if any.
  void DrawMarkedCell(int32_t col, const TGridRect& rect, const std::string& text, const TGridFont& font,
                      const TRowMark& mark);
  void HandleExit();
  void HandleKeyDown(uint16_t& key, TShiftState shift);
  void HandleMouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y);
  void HandleMouseWheel(bool down, TShiftState shift, TGridPoint pos, bool& handled);
  void HandleSelectCell(int32_t col, int32_t row, bool& canSelect);
  void InstallHandlers();
  // InitColors (col, row) for every row of [firstRow, endRow).
  void InitColorsOfRows(int32_t col, int32_t firstRow, int32_t endRow);
  // Orders `order` (positions into `entries`) for TrierColonne.
  using TEntrySorter =
      std::function<void(const std::vector<TPairOfStringInt>& entries, std::vector<int32_t>& order)>;
  void SortRows(int32_t col, const TEntrySorter& sortEntries);

  IStringGrid* fGrid;
  std::vector<std::vector<TColor>> fGridBackColor;  // [col][row]
  std::vector<std::vector<TGridFont>> fCellFonts;   // [col][row]
  std::vector<std::vector<bool>> fReadOnly;         // [col][row]
  std::vector<std::string> fColNames;
  std::string fSelectedText;
  bool fSortAscending = false;
  int32_t fSortCol = 0;
  bool fNotifyCellLeft = true;
  bool fColorsOn = true;
  bool fResizeOn = true;
  bool fAutoColWidths = true;
  bool fTrackSelectedText = true;
  bool fSelectHandling = true;
  TColor fDefaultColor = clWhite;
  TGridFont fDefaultFont;
  TColor fSelectionColor = clNavy;
  TColor fFixedColor = clBtnFace;
  TOnCellLeft fOnCellLeft;
  TRowMarker fRowMarker;
  int32_t fBadgeCol = -1;
  TStringGridEvents fSaved;  // the widget's handlers from before construction
};

}  // namespace quillor
