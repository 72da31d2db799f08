// Transfer of the current selection into a typed grid.
#include "database/Database.h"
#include "grid/MyStringGrid.h"
#include "text/StringManager.h"

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
  std::vector<std::string> names;
  for (int32_t c = fixedCols; c < colCount; ++c)
    names.push_back(TStringManager::GetWord(columns, c - fixedCols + 1, ';'));

  if (SelectionCount() > 0) {
    // Each column's field, looked up as the first row's cells look it up.
    std::vector<int32_t> fields;
    bool allKnown = true;
    for (const std::string& name : names) {
      fields.push_back(GetFieldPos(name));
      allKnown = allKnown && fields.back() != -1;
    }
    if (allKnown) {
      // Every column shows its field's shared values in selection order: the
      // texts are not copied, however many rows there are.
      const auto order = std::make_shared<const std::vector<int32_t>>(fSelection);
      for (size_t i = 0; i < fields.size(); ++i)
        grid.WriteColumnRows(fixedCols + static_cast<int32_t>(i), fixedRows,
                             TColumnRows{FieldTexts(fields[i]), order});
    } else {
      // A column that names no field stays empty, and its name is reported
      // again for every row, as a lookup per cell would.
      for (int32_t k = 0; k < SelectionCount(); ++k) {
        const int32_t record = fSelection[static_cast<size_t>(k)];
        for (size_t i = 0; i < names.size(); ++i) {
          if (k > 0 && fields[i] == -1) fields[i] = GetFieldPos(names[i]);
          const int32_t f = fields[i];
          if (f == -1) continue;
          const std::vector<std::string>& column = fDatas[static_cast<size_t>(f)];
          if (record < 0 || static_cast<size_t>(record) >= column.size()) continue;
          grid.WriteCell(fixedCols + static_cast<int32_t>(i), fixedRows + k,
                         column[static_cast<size_t>(record)]);
        }
      }
    }
  }
  grid.ResizeCellTables();
}

}  // namespace quillor
