// StringGridWidget: the Qt string-grid widget, a QTableView over a
// StringGridModel, implementing IStringGrid for the grid controller.
//
// Fixed rows are drawn as the horizontal header, so the title row never
// scrolls away; fixed columns are ordinary columns drawn and treated as fixed
// (not current, not editable). Rows are of one height (24 pixels plus the
// grid line), columns 64 pixels until set, fonts at 96 dpi.
//
// Every event of IStringGrid is fired before the view acts on it: key and
// mouse handlers are overridden, moves of the current cell (clicks, arrow
// keys, SetRow) go through OnSelectCell first and happen only when allowed,
// and every cell, header cells included, is drawn through OnDrawCell with a
// QPainter-backed canvas (a built-in drawing serves when no handler is set).
//
// The widget keeps the current cell itself (the view's selection is not
// used); the selected cells are the current row with the row-select option,
// else the current cell. Owned by its Qt parent. GUI thread only.
//
// One class, three files: StringGridWidget.cpp (texts, dimensions, current
// cell, geometry, drawing), StringGridInput.cpp (keys, mouse, wheel and focus
// turned into the events above) and StringGridEditor.cpp (the in-place
// editor).
#pragma once

#include <QEvent>
#include <QPointer>
#include <QTableView>
#include <memory>

#include "grid/IStringGrid.h"
#include "grid/widget/GridPainterCanvas.h"

class QLineEdit;

namespace quillor {

class StringGridModel;
class GridCellDelegate;
class GridTitleHeader;
class GridSelectionModel;

class StringGridWidget : public QTableView, public IStringGrid {
  Q_OBJECT

 public:
  static constexpr int32_t kDefaultRowHeight = 24;
  static constexpr int32_t kDefaultColWidth = 64;

  explicit StringGridWidget(QWidget* parent = nullptr, int32_t colCount = 5, int32_t rowCount = 5);
  ~StringGridWidget() override;
  StringGridWidget(const StringGridWidget&) = delete;
  StringGridWidget& operator=(const StringGridWidget&) = delete;

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

  int32_t GetColCount() const override;
  void SetColCount(int32_t n) override;
  int32_t GetRowCount() const override;
  void SetRowCount(int32_t n) override;
  int32_t GetFixedCols() const override { return fixedCols_; }
  void SetFixedCols(int32_t n) override;
  int32_t GetFixedRows() const override;
  void SetFixedRows(int32_t n) override;

  int32_t GetCol() const override { return col_; }
  int32_t GetRow() const override { return row_; }
  void SetRow(int32_t row) override;
  int32_t GetTopRow() const override;
  void SetTopRow(int32_t row) override;
  int32_t GetVisibleRowCount() const override;

  TGridOptions GetOptions() const override { return options_; }
  void SetOptions(TGridOptions options) override;
  bool GetEditorMode() const override;
  void SetEditorMode(bool open) override;
  bool HasInplaceEditor() const override;
  int32_t GetEditorSelStart() const override;
  void SetEditorSelStart(int32_t start) override;
  int32_t GetEditorSelLength() const override;
  void SetEditorSelLength(int32_t length) override;

  int32_t GetColWidth(int32_t col) const override;
  void SetColWidth(int32_t col, int32_t width) override;
  int32_t GetTop() const override { return y(); }
  int32_t GetWidth() const override { return width(); }
  int32_t GetHeight() const override { return height(); }
  void SetHeight(int32_t height) override;
  TGridCoord MouseCoord(int32_t x, int32_t y) const override;
  TGridPoint ScreenToClient(TGridPoint screen) const override;
  TGridPoint GetCursorPos() const override;

  IGridCanvas& Canvas() override { return canvas_; }
  void Repaint() override;

  // --- for tests and the window ----------------------------------------------------
  StringGridModel* GridModel() const { return model_; }
  // The client rectangle of a cell in widget coordinates (header cells too).
  QRect CellRect(int32_t col, int32_t row) const;
  // The open in-place editor, or nullptr.
  QLineEdit* InplaceEditor() const;

  // Used by the delegate and the header: draws one cell through OnDrawCell.
  void DrawCell(QPainter* painter, int32_t col, int32_t row, const QRect& rect, bool focused);
  bool IsSelectedCell(int32_t col, int32_t row) const;

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyboardSearch(const QString& search) override;
  void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void updateGeometries() override;
  void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

 private:
  friend class GridSelectionModel;
  friend class GridCellDelegate;

  // Fires OnSelectCell for a move to (col, row); moves when allowed.
  bool MoveCurrent(int32_t col, int32_t row, bool force = false);
  // Points the view's current index at (col_, row_) without any event.
  void SyncViewCurrent();
  bool AllowViewMove(const QModelIndex& index);
  void LayoutNow() const;
  // Puts the first visible row whole under the title row.
  void KeepTopRowWhole();
  void ApplyRowGeometry();
  // Fires OnKeyDown and OnKeyPress; false when a handler dropped the key.
  // `replacement` receives a changed character, if any.
  bool FireKeyDown(QKeyEvent* event, QString& replacement);
  void FireMouse(QEvent::Type type, QMouseEvent* event, QPoint widgetPos);
  void OnFocusChanged(QWidget* old, QWidget* now);
  // An open editor in `col` shows its cell as it is now.
  void RefreshEditor(int32_t col);
  void EditorCreated(QLineEdit* editor, int32_t col, int32_t row);
  bool editorOpen() const;

  TStringGridEvents events_;
  StringGridModel* model_;
  GridSelectionModel* selection_ = nullptr;
  GridCellDelegate* delegate_ = nullptr;
  GridTitleHeader* header_ = nullptr;
  GridPainterCanvas canvas_;
  int32_t fixedCols_ = 1;
  int32_t col_ = 1;
  int32_t row_ = 1;
  TGridOptions options_ = goVertLine | goHorzLine;
  QPointer<QLineEdit> editor_;
  bool editorIsOpen_ = false;
  int32_t editorCol_ = -1;
  int32_t editorRow_ = -1;
  bool forwardingKey_ = false;
  // Set while the view may follow the current cell sideways even when whole
  // rows are selected: Left and Right, and an editor opening.
  bool followColumn_ = false;
  QPoint lastMouseGlobal_;
  bool hasMousePos_ = false;
};

}  // namespace quillor
