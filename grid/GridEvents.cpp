// The controller's handlers of the widget events it takes over: cell drawing,
// header-click sort, select-cell handling, overwrite-on-type, wheel clamping
// and double clicks. Each runs before the widget acts and then forwards to
// the handler the widget had before (except where noted).
#include <cmath>

#include "grid/MyStringGrid.h"
#include "trace/TraceUnit.h"

namespace quillor {

namespace {
// Virtual-key codes that type into a cell: space, digits, letters, and
// 97..122 (keypad 1-9, keypad operators and decimal, F1-F11).
bool IsOverwriteKey(uint16_t key) {
  return key == 32 || (key >= 48 && key <= 57) || (key >= 65 && key <= 90) || (key >= 97 && key <= 122);
}

template <class Handler, class... Args>
void Forward(const Handler& saved, Args&&... args) {
  if (saved) saved(std::forward<Args>(args)...);
}
}  // namespace

void TMyStringGrid::InstallHandlers() {
  TStringGridEvents& events = fGrid->Events();
  fSaved = events;
  events.OnClick = [this] { Forward(fSaved.OnClick); };
  events.OnDblClick = [this] { HandleDblClick(); };
  events.OnDrawCell = [this](int32_t col, int32_t row, const TGridRect& rect, TGridDrawState state) {
    HandleDrawCell(col, row, rect, state);
  };
  // Entering the grid does nothing, and the previous handler is dropped.
  events.OnEnter = [] {};
  events.OnExit = [this] { HandleExit(); };
  events.OnGetEditText = [this](int32_t col, int32_t row, std::string& value) {
    Forward(fSaved.OnGetEditText, col, row, value);
  };
  events.OnKeyDown = [this](uint16_t& key, TShiftState shift) { HandleKeyDown(key, shift); };
  events.OnKeyPress = [this](char& key) { Forward(fSaved.OnKeyPress, key); };
  events.OnKeyUp = [this](uint16_t& key, TShiftState shift) { Forward(fSaved.OnKeyUp, key, shift); };
  events.OnMouseDown = [this](TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
    Forward(fSaved.OnMouseDown, button, shift, x, y);
  };
  events.OnMouseMove = [this](TShiftState shift, int32_t x, int32_t y) {
    Forward(fSaved.OnMouseMove, shift, x, y);
  };
  events.OnMouseUp = [this](TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
    HandleMouseUp(button, shift, x, y);
  };
  events.OnMouseWheelDown = [this](TShiftState shift, TGridPoint pos, bool& handled) {
    HandleMouseWheel(true, shift, pos, handled);
  };
  events.OnMouseWheelUp = [this](TShiftState shift, TGridPoint pos, bool& handled) {
    HandleMouseWheel(false, shift, pos, handled);
  };
  events.OnSelectCell = [this](int32_t col, int32_t row, bool& canSelect) {
    HandleSelectCell(col, row, canSelect);
  };
  events.OnSetEditText = [this](int32_t col, int32_t row, const std::string& value) {
    Forward(fSaved.OnSetEditText, col, row, value);
  };
}

void TMyStringGrid::HandleDrawCell(int32_t col, int32_t row, const TGridRect& rect, TGridDrawState state) {
  const std::string text = GetCell(col, row);
  if (fGridBackColor.empty()) {
    Trace().TraceError("TMyStringGrid.OnDrawCell: fGridBackColor not assigned");
  } else if (!Between(col, 0, TableColCount() - 1)) {
    Trace().TraceErrorInt("TMyStringGrid.OnDrawCell: bad Col ", col);
  } else if (!Between(row, 0, static_cast<int32_t>(fGridBackColor[static_cast<size_t>(col)].size()) - 1)) {
    Trace().TraceErrorInt("TMyStringGrid.OnDrawCell: bad Row ", row);
  } else {
    IGridCanvas& canvas = fGrid->Canvas();
    TRowMark mark;
    const bool marked = fRowMarker && !state.fixed && row >= GetFixedRows() && fRowMarker(row, mark);
    TColor background = fGridBackColor[static_cast<size_t>(col)][static_cast<size_t>(row)];
    if (marked) background = mark.background;
    if (state.fixed) background = fFixedColor;
    if (state.selected) background = fSelectionColor;
    canvas.SetBrushColor(background);
    canvas.FillRect(rect);

    TGridFont font = fCellFonts[static_cast<size_t>(col)][static_cast<size_t>(row)];
    if (state.fixed) font.fColor = fDefaultFont.fColor;
    if (state.selected) font.fColor = clWhite;
    if (marked) {
      DrawMarkedCell(col, rect, text, font, mark);
    } else {
      canvas.SetFont(font);
      const double width = canvas.TextWidth(text);
      const double height = canvas.TextHeight(text);
      const auto x = static_cast<int32_t>(std::trunc((rect.Left + rect.Right - width) / 2.0));
      const auto y = static_cast<int32_t>(std::trunc((rect.Top + rect.Bottom - height) / 2.0));
      canvas.TextRect(rect, x, y, text);
    }
  }
  Forward(fSaved.OnDrawCell, col, row, rect, state);
}

void TMyStringGrid::DrawMarkedCell(int32_t col, const TGridRect& rect, const std::string& text,
                                   const TGridFont& font, const TRowMark& mark) {
  constexpr int32_t kMargin = 2;   // between the badge and the cell's edges
  constexpr int32_t kPadding = 3;  // between the badge's word and its edges
  IGridCanvas& canvas = fGrid->Canvas();
  TGridRect textRoom = rect;
  TGridRect badge{};
  TGridFont badgeFont{mark.badgeTextColor, font.fSize, fsBold};
  const bool hasBadge = col == fBadgeCol && !mark.badge.empty();
  if (hasBadge) {
    canvas.SetFont(badgeFont);
    const int32_t badgeWidth = canvas.TextWidth(mark.badge) + 2 * kPadding;
    badge = TGridRect{MaxOf(rect.Left, rect.Right - kMargin - badgeWidth), rect.Top + kMargin,
                      rect.Right - kMargin, rect.Bottom - kMargin};
    textRoom.Right = MaxOf(rect.Left, badge.Left - kMargin);
  }
  canvas.SetFont(font);
  const int32_t width = canvas.TextWidth(text);
  const int32_t height = canvas.TextHeight(text);
  const int32_t room = textRoom.Right - textRoom.Left;
  const int32_t x = width <= room ? textRoom.Left + (room - width) / 2 : textRoom.Left + kMargin;
  const int32_t y = static_cast<int32_t>(std::trunc((rect.Top + rect.Bottom - height) / 2.0));
  canvas.TextRect(textRoom, x, y, text);
  if (!hasBadge) return;
  canvas.SetBrushColor(mark.badgeColor);
  canvas.FillRect(badge);
  canvas.SetFont(badgeFont);
  const int32_t badgeTextHeight = canvas.TextHeight(mark.badge);
  canvas.TextRect(badge, badge.Left + kPadding,
                  static_cast<int32_t>(std::trunc((badge.Top + badge.Bottom - badgeTextHeight) / 2.0)),
                  mark.badge);
}

void TMyStringGrid::HandleExit() {
  InitColors();
  Forward(fSaved.OnExit);
}

void TMyStringGrid::HandleMouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
  const TGridCoord cell = fGrid->MouseCoord(x, y);
  if (cell.Y < GetFixedRows() && cell.X >= GetFixedCols()) {
    fSortAscending = cell.X == fSortCol ? !fSortAscending : true;
    fSortCol = cell.X;
    TrierColonne(cell.X);
  }
  Forward(fSaved.OnMouseUp, button, shift, x, y);
}

void TMyStringGrid::HandleSelectCell(int32_t col, int32_t row, bool& canSelect) {
  if (!fSelectHandling) return;
  if (fGrid->GetOptions() & goRowSelect) col = GetFixedCols();
  if (col != GetCol() || row != GetRow()) {
    InitColors(col, row);
    if (Between(GetCol(), 0, GetColCount() - 1) && Between(GetRow(), 0, GetRowCount() - 1)) {
      NotifyCellLeft(GetCol(), GetRow(), fSelectedText);
    }
    fGrid->SetEditorMode(false);
    if (IsReadOnly(col, row)) {
      fGrid->SetOptions(fGrid->GetOptions() & ~goEditing);
    } else {
      fGrid->SetOptions(fGrid->GetOptions() | goEditing);
      fGrid->SetEditorMode(false);
    }
    SetSelectedText(GetCell(col, row));
  }
  Forward(fSaved.OnSelectCell, col, row, canSelect);
}

void TMyStringGrid::HandleKeyDown(uint16_t& key, TShiftState shift) {
  if (IsOverwriteKey(key) && !(shift & (ssAlt | ssCtrl))) {
    if ((fGrid->GetOptions() & goEditing) && !fGrid->GetEditorMode()) {
      SetCell(GetCol(), GetRow(), std::string());
      fGrid->SetEditorMode(true);
    }
    if (fGrid->HasInplaceEditor() && fGrid->GetEditorSelLength() > 0) {
      const int32_t start = fGrid->GetEditorSelStart();
      const int32_t length = fGrid->GetEditorSelLength();
      const std::string text = GetCell(GetCol(), GetRow());
      // Positions beyond the text only shorten what is kept.
      const size_t keepEnd = MinOf(static_cast<size_t>(MaxOf(start, 0)), text.size());
      const size_t resume =
          MinOf(static_cast<size_t>(MaxOf(start, 0)) + static_cast<size_t>(length), text.size());
      SetCell(GetCol(), GetRow(), text.substr(0, keepEnd) + text.substr(resume));
      fGrid->SetEditorSelLength(0);
      fGrid->SetEditorSelStart(start);
    }
  }
  Forward(fSaved.OnKeyDown, key, shift);
}

void TMyStringGrid::HandleMouseWheel(bool down, TShiftState shift, TGridPoint pos, bool& handled) {
  SetRow(MaxOf(GetRow(), GetTopRow()));
  SetRow(MinOf(GetRow(), GetTopRow() + fGrid->GetVisibleRowCount() - 1));
  Forward(down ? fSaved.OnMouseWheelDown : fSaved.OnMouseWheelUp, shift, pos, handled);
}

void TMyStringGrid::HandleDblClick() {
  const TGridPoint client = fGrid->ScreenToClient(fGrid->GetCursorPos());
  const TGridCoord cell = fGrid->MouseCoord(client.X, client.Y);
  if (Between(cell.X, GetFixedCols(), GetColCount() - 1) &&
      Between(cell.Y, GetFixedRows(), GetRowCount() - 1)) {
    Forward(fSaved.OnDblClick);
  }
}

}  // namespace quillor
