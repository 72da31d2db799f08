// IStringGrid: the operations and events through which the grid controller
// (TMyStringGrid) drives a string-grid widget, whatever toolkit draws it.
//
// The widget owns the cell texts, the dimensions, the current cell and the
// scroll position. Coordinates are 0-based, column first, fixed rows and
// columns included (row 0 is the first fixed row). Texts are Windows-1252
// byte strings.
//
// Events live in a public struct of handler slots (`Events()`), so that a
// controller can save the handler a slot held and install its own. Every
// event is delivered BEFORE the widget acts on it; an empty slot is skipped.
// Setting the current cell (SetRow) goes through OnSelectCell too, and the
// move happens only when the handler leaves the may-select flag true.
//
// GUI thread only. Accessors given bad coordinates return an empty text and
// store nothing; the controller checks coordinates before it calls them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quillor {

struct TColumnRows;
struct TTextRewrite;

// Modifier keys and mouse buttons held during an event, as a bit set.
using TShiftState = uint32_t;
inline constexpr TShiftState ssShift = 1u << 0;
inline constexpr TShiftState ssAlt = 1u << 1;
inline constexpr TShiftState ssCtrl = 1u << 2;
inline constexpr TShiftState ssLeft = 1u << 3;
inline constexpr TShiftState ssRight = 1u << 4;
inline constexpr TShiftState ssMiddle = 1u << 5;
inline constexpr TShiftState ssDouble = 1u << 6;

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

// Font style bits.
using TFontStyles = uint32_t;
inline constexpr TFontStyles fsBold = 1u << 0;
inline constexpr TFontStyles fsItalic = 1u << 1;
inline constexpr TFontStyles fsUnderline = 1u << 2;
inline constexpr TFontStyles fsStrikeOut = 1u << 3;

// Grid options, as a bit set.
using TGridOptions = uint32_t;
inline constexpr TGridOptions goVertLine = 1u << 0;
inline constexpr TGridOptions goHorzLine = 1u << 1;
inline constexpr TGridOptions goEditing = 1u << 2;
inline constexpr TGridOptions goRowSelect = 1u << 3;

// Colours: 0x00BBGGRR, or 0x80 in the top byte and a system colour index in
// the low byte (0x8000000F: the button face).
using TColor = uint32_t;
inline constexpr TColor clBtnFace = 0x8000000F;
inline constexpr TColor clWhite = 0x00FFFFFF;
inline constexpr TColor clBlack = 0x00000000;
inline constexpr TColor clNavy = 0x00800000;

// A font as a value: colour, size in points, style set. The typeface is the
// widget's own.
struct TGridFont {
  TColor fColor = clBlack;
  int32_t fSize = 8;
  TFontStyles fStyle = 0;
  friend bool operator==(const TGridFont&, const TGridFont&) = default;
};

struct TGridRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
  friend bool operator==(const TGridRect&, const TGridRect&) = default;
};

struct TGridPoint {
  int32_t X = 0;
  int32_t Y = 0;
  friend bool operator==(const TGridPoint&, const TGridPoint&) = default;
};

// A cell address; (-1, -1) when a hit test finds no cell.
struct TGridCoord {
  int32_t X = -1;  // column
  int32_t Y = -1;  // row
  friend bool operator==(const TGridCoord&, const TGridCoord&) = default;
};

struct TGridDrawState {
  bool selected = false;
  bool focused = false;
  bool fixed = false;
};

// A key that no canvas's measure has taken yet (see IGridCanvas::MeasureKey).
uint64_t NewMeasureKey();

// Where a draw-cell handler paints. Valid only during OnDrawCell (the
// widget's canvas outside of it measures but draws nowhere).
class IGridCanvas {
 public:
  virtual ~IGridCanvas() = default;
  // Names the way TextWidth measures now: as long as it returns the same
  // non-zero key, TextWidth gives every text the width it gave before, so
  // widths may be kept between calls. 0: keep nothing.
  virtual uint64_t MeasureKey() { return 0; }
  virtual void SetBrushColor(TColor color) = 0;
  virtual void FillRect(const TGridRect& rect) = 0;
  // Text colour, size and style; the typeface stays the widget's.
  virtual void SetFont(const TGridFont& font) = 0;
  virtual TGridFont GetFont() const = 0;
  // Pixels, measured with the font currently set.
  virtual int32_t TextWidth(const std::string& text) = 0;
  virtual int32_t TextHeight(const std::string& text) = 0;
  // Draws `text` with its top-left corner at (x, y), clipped to `clip`.
  virtual void TextRect(const TGridRect& clip, int32_t x, int32_t y, const std::string& text) = 0;
};

// The widget's events. Handlers run before the widget acts; the in/out
// arguments (key, may-select, handled) are read back by the widget afterwards.
struct TStringGridEvents {
  std::function<void()> OnClick;
  std::function<void()> OnDblClick;
  std::function<void(int32_t col, int32_t row, const TGridRect& rect, TGridDrawState state)> OnDrawCell;
  std::function<void()> OnEnter;
  std::function<void()> OnExit;
  std::function<void(int32_t col, int32_t row, std::string& value)> OnGetEditText;
  // `key` is a Windows virtual-key code; a handler may change it, 0 drops it.
  std::function<void(uint16_t& key, TShiftState shift)> OnKeyDown;
  std::function<void(char& key)> OnKeyPress;
  std::function<void(uint16_t& key, TShiftState shift)> OnKeyUp;
  std::function<void(TMouseButton button, TShiftState shift, int32_t x, int32_t y)> OnMouseDown;
  std::function<void(TShiftState shift, int32_t x, int32_t y)> OnMouseMove;
  std::function<void(TMouseButton button, TShiftState shift, int32_t x, int32_t y)> OnMouseUp;
  std::function<void(TShiftState shift, TGridPoint pos, bool& handled)> OnMouseWheelDown;
  std::function<void(TShiftState shift, TGridPoint pos, bool& handled)> OnMouseWheelUp;
  std::function<void(int32_t col, int32_t row, bool& canSelect)> OnSelectCell;
  std::function<void(int32_t col, int32_t row, const std::string& value)> OnSetEditText;
};

class IStringGrid {
 public:
  virtual ~IStringGrid() = default;

  virtual TStringGridEvents& Events() = 0;

  // --- texts ------------------------------------------------------------------
  virtual std::string GetCells(int32_t col, int32_t row) const = 0;
  virtual void SetCells(int32_t col, int32_t row, const std::string& text) = 0;
  // The texts of a whole row, one per column.
  virtual std::vector<std::string> GetRowTexts(int32_t row) const = 0;
  // Missing texts become empty, surplus ones are ignored.
  virtual void SetRowTexts(int32_t row, const std::vector<std::string>& texts) = 0;

  // --- whole columns: each gives exactly what SetCells of every cell in turn
  // would, without copying shared texts ------------------------------------------
  // Rows firstRow, firstRow + 1, ... of `col` show rows.Text(0), rows.Text(1),
  // ... for as many rows as both have. Nothing outside the grid.
  virtual void ShowColumnRows(int32_t col, int32_t firstRow, TColumnRows rows) = 0;
  // Every cell of `col` from `firstRow` on becomes empty.
  virtual void ClearColumn(int32_t col, int32_t firstRow) = 0;
  // Every text of `col` from `firstRow` on through `rewrite`; the rows whose
  // text changed go to `changedRows`, in increasing order.
  virtual void RewriteColumn(int32_t col, int32_t firstRow, const TTextRewrite& rewrite,
                             std::vector<int32_t>& changedRows) = 0;
  // The largest canvas.TextWidth of the texts of `col`, every row included
  // (0 for a column outside the grid).
  virtual int32_t WidestText(int32_t col, IGridCanvas& canvas) = 0;

  // --- dimensions ---------------------------------------------------------------
  virtual int32_t GetColCount() const = 0;
  virtual void SetColCount(int32_t n) = 0;
  virtual int32_t GetRowCount() const = 0;
  // Texts of rows that remain are kept; the current cell is clamped, through
  // OnSelectCell, when it no longer exists.
  virtual void SetRowCount(int32_t n) = 0;
  virtual int32_t GetFixedCols() const = 0;
  virtual void SetFixedCols(int32_t n) = 0;
  virtual int32_t GetFixedRows() const = 0;
  virtual void SetFixedRows(int32_t n) = 0;

  // --- current cell and scrolling -------------------------------------------------
  virtual int32_t GetCol() const = 0;
  virtual int32_t GetRow() const = 0;
  // Fires OnSelectCell (current column, row) and moves, scrolling it into
  // view, when allowed. Nothing at all when `row` is already current.
  virtual void SetRow(int32_t row) = 0;
  // The first visible scrollable row.
  virtual int32_t GetTopRow() const = 0;
  virtual void SetTopRow(int32_t row) = 0;
  // Scrollable rows that fit entirely in the client area.
  virtual int32_t GetVisibleRowCount() const = 0;

  // --- options and editor -----------------------------------------------------------
  virtual TGridOptions GetOptions() const = 0;
  virtual void SetOptions(TGridOptions options) = 0;
  // Whether the in-place editor is open.
  virtual bool GetEditorMode() const = 0;
  virtual void SetEditorMode(bool open) = 0;
  // Whether an in-place editor exists (it may exist while closed).
  virtual bool HasInplaceEditor() const = 0;
  // Editor selection in characters, the start counted from 0. 0 when there
  // is no editor; setting without an editor does nothing.
  virtual int32_t GetEditorSelStart() const = 0;
  virtual void SetEditorSelStart(int32_t start) = 0;
  virtual int32_t GetEditorSelLength() const = 0;
  virtual void SetEditorSelLength(int32_t length) = 0;

  // --- geometry (pixels) -----------------------------------------------------------------
  virtual int32_t GetColWidth(int32_t col) const = 0;
  virtual void SetColWidth(int32_t col, int32_t width) = 0;
  virtual int32_t GetTop() const = 0;
  virtual int32_t GetWidth() const = 0;
  virtual int32_t GetHeight() const = 0;
  virtual void SetHeight(int32_t height) = 0;
  // The cell under a client point, or (-1, -1).
  virtual TGridCoord MouseCoord(int32_t x, int32_t y) const = 0;
  virtual TGridPoint ScreenToClient(TGridPoint screen) const = 0;
  // The mouse pointer's screen position.
  virtual TGridPoint GetCursorPos() const = 0;

  // --- drawing ----------------------------------------------------------------------------
  virtual IGridCanvas& Canvas() = 0;
  virtual void Repaint() = 0;
};

}  // namespace quillor
