// Small helpers shared by the article table tests.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "database/Database.h"

namespace quillor::test {

// A table from plain lines; the header is the first line.
inline std::unique_ptr<TMyDatabase> TableOf(const std::vector<std::string>& lines) {
  return TMyDatabase::CreateFromList(lines);
}

// The values of one field for the records of the current selection, in order.
inline std::vector<std::string> SelectedValues(const TMyDatabase& table, int32_t field) {
  std::vector<std::string> values;
  for (int32_t record : table.Selection()) values.push_back(table.DBGetString(field, record));
  return values;
}

// The values of a field's index, in index order.
inline std::vector<std::string> IndexValues(const TMyDatabase& table, int32_t field) {
  std::vector<std::string> values;
  if (const TIndexList* list = table.IndexList(field)) {
    for (const TPairOfStringInt& entry : *list) values.push_back(entry.fString);
  }
  return values;
}

}  // namespace quillor::test
