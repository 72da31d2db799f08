// MemoryStringGrid: an IStringGrid without any toolkit, the test double on
// which the core tests of the grid, the article table and the price display
// drive the controller. It keeps a cell table,
// the counts, the current cell, the top row and the options; its canvas
// measures every character as kCharWidth pixels and records what is drawn;
// its in-place editor is simulated (created on first opening, text and
// selection kept here).
//
// Geometry mimics a plain grid at 96 dpi: rows of kRowHeight pixels, columns
// of their set width (kDefaultColWidth at first), no borders, no scroll bars.
// The helper methods (SelectCell, KeyDown, ...) fire the event first and then
// act, like the real widget. GUI thread only (it has no thread of its own).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "grid/CellColumn.h"
#include "grid/IStringGrid.h"

namespace quillor::test {

// A canvas that draws nowhere: widths are a fixed number of pixels per byte,
// and every TextRect is recorded.
class MemoryGridCanvas : public IGridCanvas {
 public:
  static constexpr int32_t kCharWidth = 7;
  static constexpr int32_t kTextHeight = 13;

  struct Drawn {
    TGridRect clip;
    int32_t x = 0;
    int32_t y = 0;
    std::string text;
    TColor brush = 0;
    TGridFont font;
  };

  void SetBrushColor(TColor color) override { brush_ = color; }
  void FillRect(const TGridRect& rect) override;
  void SetFont(const TGridFont& font) override { font_ = font; }
  TGridFont GetFont() const override { return font_; }
  int32_t TextWidth(const std::string& text) override;
  int32_t TextHeight(const std::string& text) override;
  void TextRect(const TGridRect& clip, int32_t x, int32_t y, const std::string& text) override;
  // Widths depend on nothing but the text.
  uint64_t MeasureKey() override { return measureKey_; }
  // Counts TextWidth calls, so tests can see widths being kept.
  int64_t measured = 0;

  // Everything drawn since the last Clear, and the fills with their colour.
  std::vector<Drawn> texts;
  std::vector<std::pair<TGridRect, TColor>> fills;
  void Clear();

 private:
  TColor brush_ = clWhite;
  TGridFont font_;
  uint64_t measureKey_ = NewMeasureKey();
};

class MemoryStringGrid : public IStringGrid {
 public:
  static constexpr int32_t kRowHeight = 24;
  static constexpr int32_t kDefaultColWidth = 64;

  MemoryStringGrid(int32_t colCount = 5, int32_t rowCount = 5);
  MemoryStringGrid(const MemoryStringGrid&) = delete;
  MemoryStringGrid& operator=(const MemoryStringGrid&) = delete;

  TStringGridEvents& Events() override { return events_; }

  std::string GetCells(int32_t col, int32_t row) const override;
  void SetCells(int32_t col, int32_t row, const std::string& text) override;
  std::vector<std::string> GetRowTexts(int32_t row) const override;
  void SetRowTexts(int32_t row, const std::vector<std::string>& texts) override;
  void ShowColumnRows(int32_t col, int32_t firstRow, TColumnRows rows) override;
  void ClearColumn(int32_t col, int32_t firstRow) override;
  void RewriteColumn(int32_t col, int32_t firstRow, const TTextRewrite& rewrite,
                     std::vector<int32_t>& changedRows) override;
  int32_t WidestText(int32_t col, IGridCanvas& canvas) override;

  int32_t GetColCount() const override { return static_cast<int32_t>(cells_.size()); }
  void SetColCount(int32_t n) override;
  int32_t GetRowCount() const override { return rowCount_; }
  void SetRowCount(int32_t n) override;
  int32_t GetFixedCols() const override { return fixedCols_; }
  void SetFixedCols(int32_t n) override;
  int32_t GetFixedRows() const override { return fixedRows_; }
  void SetFixedRows(int32_t n) override;

  int32_t GetCol() const override { return col_; }
  int32_t GetRow() const override { return row_; }
  void SetRow(int32_t row) override;
  int32_t GetTopRow() const override { return topRow_; }
  void SetTopRow(int32_t row) override;
  int32_t GetVisibleRowCount() const override;

  TGridOptions GetOptions() const override { return options_; }
  void SetOptions(TGridOptions options) override;
  bool GetEditorMode() const override { return editorOpen_; }
  void SetEditorMode(bool open) override;
  bool HasInplaceEditor() const override { return editorExists_; }
  int32_t GetEditorSelStart() const override { return editorExists_ ? selStart_ : 0; }
  void SetEditorSelStart(int32_t start) override;
  int32_t GetEditorSelLength() const override { return editorExists_ ? selLength_ : 0; }
  void SetEditorSelLength(int32_t length) override;

  int32_t GetColWidth(int32_t col) const override;
  void SetColWidth(int32_t col, int32_t width) override;
  int32_t GetTop() const override { return top_; }
  int32_t GetWidth() const override { return width_; }
  int32_t GetHeight() const override { return height_; }
  void SetHeight(int32_t height) override { height_ = height; }
  TGridCoord MouseCoord(int32_t x, int32_t y) const override;
  TGridPoint ScreenToClient(TGridPoint screen) const override;
  TGridPoint GetCursorPos() const override { return cursor_; }

  IGridCanvas& Canvas() override { return canvas_; }
  void Repaint() override { ++repaints_; }

  // --- test helpers: fire the event, then act as a widget would ------------------
  void SetWidth(int32_t width) { width_ = width; }
  void SetCursorPos(TGridPoint screen) { cursor_ = screen; }
  void SetScreenOrigin(TGridPoint origin) { origin_ = origin; }
  // Moves the current cell when OnSelectCell allows it; returns whether it moved.
  bool SelectCell(int32_t col, int32_t row);
  // OnKeyDown, then a printable key types into the open editor.
  void KeyDown(uint16_t key, TShiftState shift);
  // OnMouseDown, a move of the current cell onto a data cell, OnMouseUp, OnClick.
  void ClickAt(int32_t x, int32_t y);
  // OnDblClick with the pointer at a client point.
  void DoubleClickAt(int32_t x, int32_t y);
  // OnMouseWheelDown/Up, then scroll the current row by one when not handled.
  void Wheel(bool down);
  // OnDrawCell for every visible cell, fixed rows first.
  void PaintAll();
  // The client rectangle of a cell (no check of visibility).
  TGridRect CellRect(int32_t col, int32_t row) const;
  // Simulated editor text (the cell text when it was opened, plus typing).
  const std::string& EditorText() const { return editorText_; }
  int32_t RepaintCount() const { return repaints_; }
  MemoryGridCanvas& MemoryCanvas() { return canvas_; }

 private:
  bool Inside(int32_t col, int32_t row) const;
  bool MoveCurrent(int32_t col, int32_t row);

  TStringGridEvents events_;
  // An open editor shows its cell as it is now.
  void RefreshEditor(int32_t col);

  std::vector<TCellColumn> cells_;  // [col][row]
  std::vector<int32_t> colWidths_;
  int32_t rowCount_;
  int32_t fixedCols_ = 1;
  int32_t fixedRows_ = 1;
  int32_t col_ = 1;
  int32_t row_ = 1;
  int32_t topRow_ = 1;
  TGridOptions options_ = goVertLine | goHorzLine;
  bool editorExists_ = false;
  bool editorOpen_ = false;
  std::string editorText_;
  int32_t selStart_ = 0;
  int32_t selLength_ = 0;
  int32_t top_ = 0;
  int32_t width_ = 320;
  int32_t height_ = 240;
  TGridPoint cursor_;
  TGridPoint origin_;
  int32_t repaints_ = 0;
  MemoryGridCanvas canvas_;
};

}  // namespace quillor::test
