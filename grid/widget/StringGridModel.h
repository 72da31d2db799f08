// StringGridModel: the cell texts of a string-grid widget as a Qt table
// model. It stores Windows-1252 byte strings, [column][row] over every grid
// row, fixed rows included; the model's rows are the scrollable grid rows
// (grid row = model row + fixed row count) and the fixed rows are served as
// the horizontal header's text. No item objects, one string per cell.
//
// Writes of single cells are announced in batches: the changed area grows a
// dirty rectangle and one dataChanged covers it when control returns to the
// event loop (or on FlushChanges), so a bulk write costs one signal.
// Dimension changes insert or remove rows and columns; a fixed-row change
// resets the model. GUI thread only.
#pragma once

#include <QAbstractTableModel>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "grid/CellColumn.h"

namespace quillor {

class StringGridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  StringGridModel(int32_t colCount, int32_t rowCount, QObject* parent = nullptr);
  StringGridModel(const StringGridModel&) = delete;
  StringGridModel& operator=(const StringGridModel&) = delete;

  // --- grid coordinates (fixed rows included) -------------------------------------
  int32_t ColCount() const { return static_cast<int32_t>(cells_.size()); }
  int32_t RowCount() const { return rowCount_; }
  int32_t FixedRows() const { return fixedRows_; }
  bool Inside(int32_t col, int32_t row) const;
  // Empty for cells outside the grid.
  const std::string& Cell(int32_t col, int32_t row) const;
  // Ignored outside the grid.
  void SetCell(int32_t col, int32_t row, std::string text);
  // Whole columns (see IStringGrid); ignored for a column outside the grid.
  void ShowColumnRows(int32_t col, int32_t firstRow, TColumnRows rows);
  void ClearColumn(int32_t col, int32_t firstRow);
  void RewriteColumn(int32_t col, int32_t firstRow, const TTextRewrite& rewrite,
                     std::vector<int32_t>& changedRows);
  int32_t WidestText(int32_t col, IGridCanvas& canvas) const;
  // REQUIRES: n >= 1. Fixed rows shrink when they no longer leave a row.
  void SetColCount(int32_t n);
  void SetRowCount(int32_t n);
  // Clamped to 0 .. row count - 1.
  void SetFixedRows(int32_t n);
  // Which cells the in-place editor may open on.
  void SetEditable(std::function<bool(int32_t col, int32_t row)> editable) {
    editable_ = std::move(editable);
  }
  // Emits the pending dataChanged now.
  void FlushChanges();

  // --- QAbstractTableModel ------------------------------------------------------------
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  void MarkChanged(int32_t col, int32_t modelRow);
  // Announces a change of `col` from grid row `firstRow` to the last.
  void MarkColumnChanged(int32_t col, int32_t firstRow);

  std::vector<TCellColumn> cells_;  // [col], over every grid row
  int32_t rowCount_;
  int32_t fixedRows_ = 1;
  std::function<bool(int32_t, int32_t)> editable_;
  bool flushPending_ = false;
  int32_t dirtyTop_ = 0, dirtyLeft_ = 0, dirtyBottom_ = -1, dirtyRight_ = -1;
};

}  // namespace quillor
