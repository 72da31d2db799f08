#include "grid/widget/StringGridWidget.h"

#include <QApplication>
#include <QCursor>
#include <QHeaderView>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

#include "grid/widget/GridText.h"
#include "grid/widget/GridViewParts.h"
#include "grid/widget/StringGridModel.h"
#include "grid/widget/VirtualKeys.h"
#include "text/Cp1252.h"

namespace quillor {

namespace {
constexpr int kGridLine = 1;
constexpr int kTextMargin = 2;

}  // namespace

StringGridWidget::StringGridWidget(QWidget* parent, int32_t colCount, int32_t rowCount)
    : QTableView(parent), model_(new StringGridModel(colCount, rowCount, this)), canvas_(font(), palette()) {
  QFont gridFont = font();
  gridFont.setPixelSize(PointsToPixels(8));
  gridFont.setKerning(false);
  setFont(gridFont);
  canvas_.SetTypeface(gridFont);

  model_->SetEditable([this](int32_t col, int32_t row) {
    return (options_ & goEditing) && col >= fixedCols_ && row >= model_->FixedRows();
  });
  header_ = new GridTitleHeader(this, model_);
  setHorizontalHeader(header_);
  setModel(model_);
  selection_ = new GridSelectionModel(model_, this);
  QItemSelectionModel* replaced = selectionModel();
  setSelectionModel(selection_);
  delete replaced;
  delegate_ = new GridCellDelegate(this, model_);
  setItemDelegate(delegate_);

  setSelectionMode(QAbstractItemView::NoSelection);
  setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed);
  setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  setWordWrap(false);
  setCornerButtonEnabled(false);
  // No tabs option: Tab goes on to the window's next control.
  setTabKeyNavigation(false);
  verticalHeader()->hide();
  verticalHeader()->setMinimumSectionSize(1);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  ApplyRowGeometry();
  header_->viewport()->installEventFilter(this);
  SetFixedCols(1);
  setShowGrid(true);
  col_ = std::min(fixedCols_, GetColCount() - 1);
  row_ = std::min(model_->FixedRows(), GetRowCount() - 1);
  SyncViewCurrent();
  connect(qApp, &QApplication::focusChanged, this, &StringGridWidget::OnFocusChanged);
}

StringGridWidget::~StringGridWidget() {
  // The base classes still send focus changes and editor closes while they
  // are destroyed: nothing of this class may hear them.
  disconnect(qApp, nullptr, this, nullptr);
  events_ = TStringGridEvents();
}

void StringGridWidget::ApplyRowGeometry() {
  const int pitch = kDefaultRowHeight + kGridLine;
  verticalHeader()->setDefaultSectionSize(pitch);
  header_->SetRowPitch(pitch);
  header_->setVisible(model_->FixedRows() > 0);
  updateGeometries();
}

// --- texts ------------------------------------------------------------------------

std::string StringGridWidget::GetCells(int32_t col, int32_t row) const {
  return model_->Cell(col, row);
}

void StringGridWidget::SetCells(int32_t col, int32_t row, const std::string& text) {
  model_->SetCell(col, row, text);
  // An open editor shows the cell it edits as it is now.
  if (editor_ && col == editorCol_ && row == editorRow_ && editorOpen()) editor_->setText(ToQString(text));
}

void StringGridWidget::ShowColumnRows(int32_t col, int32_t firstRow, TColumnRows rows) {
  model_->ShowColumnRows(col, firstRow, std::move(rows));
  RefreshEditor(col);
}

void StringGridWidget::ClearColumn(int32_t col, int32_t firstRow) {
  model_->ClearColumn(col, firstRow);
  RefreshEditor(col);
}

void StringGridWidget::RewriteColumn(int32_t col, int32_t firstRow, const TTextRewrite& rewrite,
                                     std::vector<int32_t>& changedRows) {
  model_->RewriteColumn(col, firstRow, rewrite, changedRows);
  RefreshEditor(col);
}

int32_t StringGridWidget::WidestText(int32_t col, IGridCanvas& canvas) {
  return model_->WidestText(col, canvas);
}

std::vector<std::string> StringGridWidget::GetRowTexts(int32_t row) const {
  std::vector<std::string> texts;
  if (row < 0 || row >= GetRowCount()) return texts;
  texts.reserve(static_cast<size_t>(GetColCount()));
  for (int32_t c = 0; c < GetColCount(); ++c) texts.push_back(model_->Cell(c, row));
  return texts;
}

void StringGridWidget::SetRowTexts(int32_t row, const std::vector<std::string>& texts) {
  for (int32_t c = 0; c < GetColCount(); ++c) {
    SetCells(c, row, static_cast<size_t>(c) < texts.size() ? texts[static_cast<size_t>(c)] : std::string());
  }
}

// --- dimensions -------------------------------------------------------------------

int32_t StringGridWidget::GetColCount() const {
  return model_->ColCount();
}
int32_t StringGridWidget::GetRowCount() const {
  return model_->RowCount();
}
int32_t StringGridWidget::GetFixedRows() const {
  return model_->FixedRows();
}

void StringGridWidget::SetColCount(int32_t n) {
  n = std::max(n, 1);
  if (editorOpen() && editorCol_ >= n) SetEditorMode(false);
  if (col_ >= n) MoveCurrent(n - 1, row_, true);
  model_->SetColCount(n);
  fixedCols_ = std::min(fixedCols_, n - 1);
  SyncViewCurrent();
}

void StringGridWidget::SetRowCount(int32_t n) {
  n = std::max(n, 1);
  if (editorOpen() && editorRow_ >= n) SetEditorMode(false);
  if (row_ >= n) MoveCurrent(col_, n - 1, true);
  const int32_t fixedBefore = model_->FixedRows();
  model_->SetRowCount(n);
  if (model_->FixedRows() != fixedBefore) ApplyRowGeometry();
  SyncViewCurrent();
}

void StringGridWidget::SetFixedCols(int32_t n) {
  fixedCols_ = std::clamp(n, 0, GetColCount() - 1);
  if (col_ < fixedCols_) col_ = fixedCols_;
  SyncViewCurrent();
  Repaint();
}

void StringGridWidget::SetFixedRows(int32_t n) {
  SetEditorMode(false);
  model_->SetFixedRows(n);
  ApplyRowGeometry();
  if (row_ < model_->FixedRows()) row_ = std::min(model_->FixedRows(), GetRowCount() - 1);
  SyncViewCurrent();
  Repaint();
}

// --- current cell and scrolling ------------------------------------------------------

bool StringGridWidget::MoveCurrent(int32_t col, int32_t row, bool force) {
  bool canSelect = true;
  if (events_.OnSelectCell) events_.OnSelectCell(col, row, canSelect);
  if (!canSelect && !force) return false;
  const int32_t newCol = std::clamp(col, 0, GetColCount() - 1);
  const int32_t newRow = std::clamp(row, 0, GetRowCount() - 1);
  if ((newCol != col_ || newRow != row_) && editorOpen()) SetEditorMode(false);
  col_ = newCol;
  row_ = newRow;
  viewport()->update();
  return true;
}

bool StringGridWidget::AllowViewMove(const QModelIndex& index) {
  if (!index.isValid()) return true;
  const int32_t col = index.column();
  const int32_t row = index.row() + model_->FixedRows();
  if (col == col_ && row == row_) return true;
  if (col < fixedCols_) return false;
  return MoveCurrent(col, row);
}

void StringGridWidget::SyncViewCurrent() {
  selection_->syncing = true;
  if (row_ >= model_->FixedRows() && col_ < GetColCount()) {
    selection_->setCurrentIndex(model_->index(row_ - model_->FixedRows(), col_),
                                QItemSelectionModel::NoUpdate);
  } else {
    selection_->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
  }
  selection_->syncing = false;
  viewport()->update();
}

void StringGridWidget::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTableView::currentChanged(current, previous);
  // Qt moves the current index by itself when rows under it go away.
  if (selection_ && !selection_->syncing && current.isValid()) {
    col_ = current.column();
    row_ = current.row() + model_->FixedRows();
  }
  viewport()->update();
}

void StringGridWidget::SetRow(int32_t row) {
  if (row == row_ || !MoveCurrent(col_, row)) return;
  SyncViewCurrent();
  if (row_ >= model_->FixedRows()) {
    LayoutNow();
    scrollTo(model_->index(row_ - model_->FixedRows(), std::max(col_, 0)), QAbstractItemView::EnsureVisible);
  }
}

void StringGridWidget::LayoutNow() const {
  auto* self = const_cast<StringGridWidget*>(this);
  self->executeDelayedItemsLayout();
  self->updateGeometries();
}

int32_t StringGridWidget::GetTopRow() const {
  LayoutNow();
  return verticalScrollBar()->value() + model_->FixedRows();
}

void StringGridWidget::SetTopRow(int32_t row) {
  LayoutNow();
  verticalScrollBar()->setValue(row - model_->FixedRows());
}

int32_t StringGridWidget::GetVisibleRowCount() const {
  LayoutNow();
  return viewport()->height() / verticalHeader()->defaultSectionSize();
}

void StringGridWidget::scrollTo(const QModelIndex& index, ScrollHint hint) {
  // With whole rows selected the current column is nothing the user sees:
  // following it sideways when a row is picked (a click on a long text, an
  // arrow key, a sort finding its row again) would push the columns on
  // screen out of sight, and a second click on a title would then land on
  // another column. Only Left and Right, and an editor opening, scroll
  // sideways then.
  if (!(options_ & goRowSelect) || followColumn_) {
    QTableView::scrollTo(index, hint);
    return;
  }
  const int sideways = horizontalScrollBar()->value();
  QTableView::scrollTo(index, hint);
  horizontalScrollBar()->setValue(sideways);
}

// --- options ------------------------------------------------------------------------

void StringGridWidget::SetOptions(TGridOptions options) {
  options_ = options;
  if (!(options_ & goEditing) && editorOpen()) SetEditorMode(false);
  setShowGrid(options_ & (goVertLine | goHorzLine));
  viewport()->update();
}

// --- geometry ------------------------------------------------------------------------------

int32_t StringGridWidget::GetColWidth(int32_t col) const {
  if (col < 0 || col >= GetColCount()) return 0;
  return header_->sectionSize(col) - kGridLine;
}

void StringGridWidget::SetColWidth(int32_t col, int32_t width) {
  if (col < 0 || col >= GetColCount()) return;
  header_->resizeSection(col, std::max(width, 0) + kGridLine);
}

void StringGridWidget::SetHeight(int32_t height) {
  resize(width(), height);
}

void StringGridWidget::scrollContentsBy(int dx, int dy) {
  QTableView::scrollContentsBy(dx, dy);
  if (dy != 0) KeepTopRowWhole();
}

void StringGridWidget::updateGeometries() {
  QTableView::updateGeometries();
  KeepTopRowWhole();
}

void StringGridWidget::KeepTopRowWhole() {
  // Scrolled to its end, a view that scrolls by rows lines the last row up
  // with the bottom edge, which cuts the top row under the title row when the
  // height is no whole number of rows. Rows start at the top edge instead;
  // the last one still shows whole, above a strip of empty space.
  QHeaderView* rows = verticalHeader();
  if (model_->rowCount() == 0) return;
  const int first = std::clamp(verticalScrollBar()->value(), 0, model_->rowCount() - 1);
  const int offset = rows->sectionPosition(first);
  if (rows->offset() == offset) return;
  rows->setOffset(offset);
  viewport()->update();
}

void StringGridWidget::resizeEvent(QResizeEvent* event) {
  QTableView::resizeEvent(event);
  updateGeometries();
}

void StringGridWidget::changeEvent(QEvent* event) {
  QTableView::changeEvent(event);
  // Texts are measured and drawn in the widget's typeface.
  if (event->type() == QEvent::FontChange) canvas_.SetTypeface(font());
}

QRect StringGridWidget::CellRect(int32_t col, int32_t row) const {
  LayoutNow();
  const int pitch = verticalHeader()->defaultSectionSize();
  if (row < model_->FixedRows()) {
    const QRect header = header_->geometry();
    return QRect(header.x() + header_->sectionViewportPosition(col), header.y() + row * pitch,
                 header_->sectionSize(col) - kGridLine, pitch - kGridLine);
  }
  const QRect cell = visualRect(model_->index(row - model_->FixedRows(), col));
  return cell.translated(viewport()->geometry().topLeft());
}

TGridCoord StringGridWidget::MouseCoord(int32_t x, int32_t y) const {
  LayoutNow();
  const QPoint point(x, y);
  const QRect header = header_->geometry();
  if (!header_->isHidden() && header.contains(point)) {
    const int col = header_->logicalIndexAt(point.x() - header.x());
    if (col < 0) return {};
    const int row =
        std::min((point.y() - header.y()) / verticalHeader()->defaultSectionSize(), model_->FixedRows() - 1);
    return TGridCoord{col, row};
  }
  const QRect body = viewport()->geometry();
  if (!body.contains(point)) return {};
  const int col = columnAt(point.x() - body.x());
  const int row = rowAt(point.y() - body.y());
  if (col < 0 || row < 0) return {};
  return TGridCoord{col, row + model_->FixedRows()};
}

TGridPoint StringGridWidget::ScreenToClient(TGridPoint screen) const {
  const QPoint client = mapFromGlobal(QPoint(screen.X, screen.Y));
  return TGridPoint{client.x(), client.y()};
}

TGridPoint StringGridWidget::GetCursorPos() const {
  // Where the pointer was at the last mouse event: some platforms cannot
  // tell the pointer's position at any other time.
  const QPoint global = hasMousePos_ ? lastMouseGlobal_ : QCursor::pos();
  return TGridPoint{global.x(), global.y()};
}

void StringGridWidget::Repaint() {
  viewport()->update();
  header_->viewport()->update();
}

// --- drawing ---------------------------------------------------------------------------------

bool StringGridWidget::IsSelectedCell(int32_t col, int32_t row) const {
  if (row < model_->FixedRows() || col < fixedCols_ || row != row_) return false;
  return (options_ & goRowSelect) || col == col_;
}

void StringGridWidget::DrawCell(QPainter* painter, int32_t col, int32_t row, const QRect& rect,
                                bool focused) {
  TGridDrawState state;
  state.fixed = row < model_->FixedRows() || col < fixedCols_;
  state.selected = IsSelectedCell(col, row);
  state.focused = focused;
  const TGridRect cell{rect.left(), rect.top(), rect.right() + 1, rect.bottom() + 1};
  canvas_.SetPalette(palette());
  canvas_.Bind(painter);
  if (events_.OnDrawCell) {
    events_.OnDrawCell(col, row, cell, state);
  } else {
    canvas_.SetBrushColor(state.selected ? clNavy : state.fixed ? clBtnFace : clWhite);
    canvas_.FillRect(cell);
    canvas_.SetFont(TGridFont{state.selected ? clWhite : clBlack, 8, 0});
    const std::string text = model_->Cell(col, row);
    canvas_.TextRect(cell, cell.Left + kTextMargin, (cell.Top + cell.Bottom - canvas_.TextHeight(text)) / 2,
                     text);
  }
  canvas_.Bind(nullptr);
}

}  // namespace quillor
