// The parts of StringGridWidget that Qt asks for by subclassing: the
// selection model that lets the widget veto moves of the current cell, the
// delegate that draws cells and hosts the in-place editor, and the header
// that shows the fixed rows. Internal to the widget. GUI thread only.
#pragma once

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QStyledItemDelegate>

namespace quillor {

class StringGridWidget;
class StringGridModel;

// Every move of the view's current index is first offered to the widget,
// which fires OnSelectCell; a refused move does not happen.
class GridSelectionModel : public QItemSelectionModel {
  Q_OBJECT

 public:
  GridSelectionModel(QAbstractItemModel* model, StringGridWidget* grid);
  void setCurrentIndex(const QModelIndex& index, QItemSelectionModel::SelectionFlags command) override;
  // Set while the widget itself points the view at its current cell.
  bool syncing = false;

 private:
  StringGridWidget* grid_;
};

// Draws every body cell through the widget (and so through OnDrawCell), and
// hosts the in-place editor, a frameless QLineEdit.
class GridCellDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  GridCellDelegate(StringGridWidget* grid, StringGridModel* model);
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override;
  // Fills the editor once; later calls (Qt repeats it when the cell's data
  // changes) leave it alone, since the widget keeps the editor's text itself.
  void setEditorData(QWidget* editor, const QModelIndex& index) const override;
  void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
  void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const override;

 private:
  StringGridWidget* grid_;
  StringGridModel* model_;
};

// The fixed rows, stacked, one grid row high each, drawn through the widget.
class GridTitleHeader : public QHeaderView {
  Q_OBJECT

 public:
  GridTitleHeader(StringGridWidget* grid, StringGridModel* model);
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;
  void SetRowPitch(int pitch);

 protected:
  void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

 private:
  StringGridWidget* grid_;
  StringGridModel* model_;
  int pitch_;
};

}  // namespace quillor
