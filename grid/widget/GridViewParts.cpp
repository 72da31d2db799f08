#include "grid/widget/GridViewParts.h"

#include <QLineEdit>
#include <QPainter>

#include "grid/widget/GridText.h"
#include "grid/widget/StringGridModel.h"
#include "grid/widget/StringGridWidget.h"

namespace quillor {

namespace {
constexpr const char* kFilledProperty = "quillorEditorFilled";
}

// --- selection model ------------------------------------------------------------

GridSelectionModel::GridSelectionModel(QAbstractItemModel* model, StringGridWidget* grid)
    : QItemSelectionModel(model, grid), grid_(grid) {}

void GridSelectionModel::setCurrentIndex(const QModelIndex& index,
                                         QItemSelectionModel::SelectionFlags command) {
  if (!syncing && !grid_->AllowViewMove(index)) return;
  QItemSelectionModel::setCurrentIndex(index, command);
}

// --- delegate ---------------------------------------------------------------------

GridCellDelegate::GridCellDelegate(StringGridWidget* grid, StringGridModel* model)
    : QStyledItemDelegate(grid), grid_(grid), model_(model) {}

void GridCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
  const int32_t col = index.column();
  const int32_t row = index.row() + model_->FixedRows();
  const bool focused = grid_->hasFocus() && col == grid_->GetCol() && row == grid_->GetRow();
  grid_->DrawCell(painter, col, row, option.rect, focused);
}

QWidget* GridCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                        const QModelIndex&) const {
  auto* editor = new QLineEdit(parent);
  editor->setFrame(false);
  editor->setFont(grid_->font());
  return editor;
}

void GridCellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
  auto* lineEdit = qobject_cast<QLineEdit*>(editor);
  if (!lineEdit || lineEdit->property(kFilledProperty).toBool()) return;
  const int32_t col = index.column();
  const int32_t row = index.row() + model_->FixedRows();
  std::string value = model_->Cell(col, row);
  if (grid_->Events().OnGetEditText) grid_->Events().OnGetEditText(col, row, value);
  lineEdit->setText(ToQString(value));
  lineEdit->setProperty(kFilledProperty, true);
  grid_->EditorCreated(lineEdit, col, row);
}

void GridCellDelegate::setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const {
  auto* lineEdit = qobject_cast<QLineEdit*>(editor);
  if (!lineEdit) return;
  const int32_t col = index.column();
  const int32_t row = index.row() + model_->FixedRows();
  const std::string value = FromQString(lineEdit->text());
  if (grid_->Events().OnSetEditText) grid_->Events().OnSetEditText(col, row, value);
  model_->SetCell(col, row, value);
}

void GridCellDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                            const QModelIndex&) const {
  editor->setGeometry(option.rect);
}

// --- header ---------------------------------------------------------------------------

GridTitleHeader::GridTitleHeader(StringGridWidget* grid, StringGridModel* model)
    : QHeaderView(Qt::Horizontal, grid),
      grid_(grid),
      model_(model),
      pitch_(StringGridWidget::kDefaultRowHeight + 1) {
  setSectionsClickable(false);
  setHighlightSections(false);
  setSectionResizeMode(QHeaderView::Fixed);
  setMinimumSectionSize(0);
  setDefaultSectionSize(StringGridWidget::kDefaultColWidth + 1);
}

QSize GridTitleHeader::sizeHint() const {
  // As tall as the fixed rows, whatever the titles say: measuring them, as
  // the header would, cost a little at every fill of the grid.
  return QSize(defaultSectionSize(), model_->FixedRows() * pitch_);
}

QSize GridTitleHeader::minimumSizeHint() const {
  return sizeHint();
}

void GridTitleHeader::SetRowPitch(int pitch) {
  pitch_ = pitch;
  updateGeometry();
}

void GridTitleHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
  const QColor line = palette().color(QPalette::Mid);
  for (int32_t r = 0; r < model_->FixedRows(); ++r) {
    const QRect cell(rect.x(), rect.y() + r * pitch_, rect.width() - 1, pitch_ - 1);
    grid_->DrawCell(painter, logicalIndex, r, cell, false);
    painter->save();
    painter->setPen(line);
    painter->drawLine(cell.right() + 1, cell.top(), cell.right() + 1, cell.bottom() + 1);
    painter->drawLine(cell.left(), cell.bottom() + 1, cell.right() + 1, cell.bottom() + 1);
    painter->restore();
  }
}

}  // namespace quillor
