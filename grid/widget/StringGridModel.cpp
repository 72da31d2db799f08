#include "grid/widget/StringGridModel.h"

#include <QMetaObject>
#include <algorithm>

#include "grid/widget/GridText.h"

namespace quillor {

namespace {
const std::string kNoText;
}

StringGridModel::StringGridModel(int32_t colCount, int32_t rowCount, QObject* parent)
    : QAbstractTableModel(parent),
      cells_(static_cast<size_t>(std::max(colCount, 1)), TCellColumn(std::max(rowCount, 1))),
      rowCount_(std::max(rowCount, 1)) {
  fixedRows_ = std::min(fixedRows_, rowCount_ - 1);
}

bool StringGridModel::Inside(int32_t col, int32_t row) const {
  return col >= 0 && col < ColCount() && row >= 0 && row < rowCount_;
}

const std::string& StringGridModel::Cell(int32_t col, int32_t row) const {
  if (!Inside(col, row)) return kNoText;
  return cells_[static_cast<size_t>(col)].Get(row);
}

void StringGridModel::SetCell(int32_t col, int32_t row, std::string text) {
  if (!Inside(col, row)) return;
  cells_[static_cast<size_t>(col)].Set(row, std::move(text));
  if (row < fixedRows_) {
    emit headerDataChanged(Qt::Horizontal, col, col);
  } else {
    MarkChanged(col, row - fixedRows_);
  }
}

void StringGridModel::MarkColumnChanged(int32_t col, int32_t firstRow) {
  if (firstRow < fixedRows_) emit headerDataChanged(Qt::Horizontal, col, col);
  const int32_t lastModelRow = rowCount_ - fixedRows_ - 1;
  const int32_t firstModelRow = std::max(firstRow - fixedRows_, 0);
  if (firstModelRow > lastModelRow) return;
  MarkChanged(col, firstModelRow);
  MarkChanged(col, lastModelRow);
}

void StringGridModel::ShowColumnRows(int32_t col, int32_t firstRow, TColumnRows rows) {
  if (col < 0 || col >= ColCount() || firstRow < 0) return;
  cells_[static_cast<size_t>(col)].Show(firstRow, std::move(rows));
  MarkColumnChanged(col, firstRow);
}

void StringGridModel::ClearColumn(int32_t col, int32_t firstRow) {
  if (col < 0 || col >= ColCount()) return;
  firstRow = std::max(firstRow, 0);
  cells_[static_cast<size_t>(col)].Clear(firstRow);
  MarkColumnChanged(col, firstRow);
}

void StringGridModel::RewriteColumn(int32_t col, int32_t firstRow, const TTextRewrite& rewrite,
                                    std::vector<int32_t>& changedRows) {
  if (col < 0 || col >= ColCount()) return;
  firstRow = std::max(firstRow, 0);
  const size_t before = changedRows.size();
  cells_[static_cast<size_t>(col)].Rewrite(firstRow, rewrite, changedRows);
  if (changedRows.size() > before) MarkColumnChanged(col, changedRows[before]);
}

int32_t StringGridModel::WidestText(int32_t col, IGridCanvas& canvas) const {
  if (col < 0 || col >= ColCount()) return 0;
  return cells_[static_cast<size_t>(col)].WidestText(canvas);
}

void StringGridModel::MarkChanged(int32_t col, int32_t modelRow) {
  if (dirtyBottom_ < dirtyTop_) {
    dirtyTop_ = dirtyBottom_ = modelRow;
    dirtyLeft_ = dirtyRight_ = col;
  } else {
    dirtyTop_ = std::min(dirtyTop_, modelRow);
    dirtyBottom_ = std::max(dirtyBottom_, modelRow);
    dirtyLeft_ = std::min(dirtyLeft_, col);
    dirtyRight_ = std::max(dirtyRight_, col);
  }
  if (!flushPending_) {
    flushPending_ = true;
    QMetaObject::invokeMethod(this, &StringGridModel::FlushChanges, Qt::QueuedConnection);
  }
}

void StringGridModel::FlushChanges() {
  flushPending_ = false;
  if (dirtyBottom_ < dirtyTop_) return;
  // Rows or columns may have gone since the cells were written.
  const int32_t bottom = std::min(dirtyBottom_, rowCount_ - fixedRows_ - 1);
  const int32_t right = std::min(dirtyRight_, ColCount() - 1);
  const int32_t top = dirtyTop_, left = dirtyLeft_;
  dirtyTop_ = 0;
  dirtyBottom_ = -1;
  if (top <= bottom && left <= right)
    emit dataChanged(index(top, left), index(bottom, right), {Qt::DisplayRole, Qt::EditRole});
}

void StringGridModel::SetColCount(int32_t n) {
  n = std::max(n, 1);
  const int32_t old = ColCount();
  if (n == old) return;
  FlushChanges();
  if (n > old) {
    beginInsertColumns(QModelIndex(), old, n - 1);
    cells_.resize(static_cast<size_t>(n), TCellColumn(rowCount_));
    endInsertColumns();
  } else {
    beginRemoveColumns(QModelIndex(), n, old - 1);
    cells_.resize(static_cast<size_t>(n));
    endRemoveColumns();
  }
}

void StringGridModel::SetRowCount(int32_t n) {
  n = std::max(n, 1);
  if (n == rowCount_) return;
  FlushChanges();
  if (n <= fixedRows_) {
    // Fewer rows than fixed ones: the fixed rows shrink, which is a reset.
    beginResetModel();
    rowCount_ = n;
    fixedRows_ = n - 1;
    for (auto& column : cells_) column.Resize(n);
    endResetModel();
    return;
  }
  const int32_t oldModelRows = rowCount_ - fixedRows_;
  const int32_t newModelRows = n - fixedRows_;
  if (newModelRows > oldModelRows) {
    beginInsertRows(QModelIndex(), oldModelRows, newModelRows - 1);
    rowCount_ = n;
    for (auto& column : cells_) column.Resize(n);
    endInsertRows();
  } else {
    beginRemoveRows(QModelIndex(), newModelRows, oldModelRows - 1);
    rowCount_ = n;
    for (auto& column : cells_) column.Resize(n);
    endRemoveRows();
  }
}

void StringGridModel::SetFixedRows(int32_t n) {
  n = std::clamp(n, 0, rowCount_ - 1);
  if (n == fixedRows_) return;
  FlushChanges();
  beginResetModel();
  fixedRows_ = n;
  endResetModel();
  emit headerDataChanged(Qt::Horizontal, 0, ColCount() - 1);
}

int StringGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rowCount_ - fixedRows_;
}

int StringGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : ColCount();
}

QVariant StringGridModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) return {};
  if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
  return ToQString(Cell(index.column(), index.row() + fixedRows_));
}

bool StringGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole ||
      !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
    return false;
  }
  SetCell(index.column(), index.row() + fixedRows_, FromQString(value.toString()));
  return true;
}

QVariant StringGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColCount())
    return {};
  QString text;
  for (int32_t r = 0; r < fixedRows_; ++r) {
    if (r > 0) text += QLatin1Char('\n');
    text += ToQString(Cell(section, r));
  }
  return text;
}

Qt::ItemFlags StringGridModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
  if (editable_ && editable_(index.column(), index.row() + fixedRows_)) result |= Qt::ItemIsEditable;
  return result;
}

}  // namespace quillor
