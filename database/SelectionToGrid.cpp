// Transfer of the current selection into a typed grid.
#include "Database.h"
#include "MyStringGrid.h"
#include "StringManager.h"

namespace quillor {

void TMyDatabase::SelectionToGrid(TMyStringGrid& grid, const std::string& columnList, bool titles) const {
  std::string columns = columnList;
  if (columns.empty()) {
    for (size_t i = 0; i < fFieldNames.size(); ++i) {
      if (i > 0) columns += ';';
      columns += fFieldNames[i];
    }
  }
  grid.ClearCells();
  grid.SetColCount(TStringManager::WordCount(columns, ';') + grid.GetFixedCols());
  grid.SetRowCount(MaxOf(SelectionCount(), 1) + grid.GetFixedRows());
  if (titles) grid.setTitles(columns);

  const int32_t fixedCols = grid.GetFixedCols();
  const int32_t fixedRows = grid.GetFixedRows();
  const int32_t colCount = grid.GetColCount();
  // Each column's field is found once; an unknown name is still reported
  // once per row, as a lookup per cell would.
  std::vector<std::string> names;
  std::vector<int32_t> fields;
  for (int32_t c = fixedCols; c < colCount; ++c) {
    names.push_back(TStringManager::GetWord(columns, c - fixedCols + 1, ';'));
    fields.push_back(-2);
  }
  for (int32_t k = 0; k < SelectionCount(); ++k) {
    const int32_t record = fSelection[static_cast<size_t>(k)];
    for (size_t i = 0; i < names.size(); ++i) {
      if (fields[i] == -2 || fields[i] == -1) fields[i] = GetFieldPos(names[i]);
      const int32_t f = fields[i];
      if (f == -1) continue;
      const std::vector<std::string>& column = fDatas[static_cast<size_t>(f)];
      if (record < 0 || static_cast<size_t>(record) >= column.size()) continue;
      grid.WriteCell(fixedCols + static_cast<int32_t>(i), fixedRows + k, column[static_cast<size_t>(record)]);
    }
  }
  grid.ResizeCellTables();
}

}  // namespace quillor
