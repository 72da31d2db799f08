#include "database/SearchQuality.h"

#include "database/ArticleSearch.h"
#include "database/CryptManager.h"
#include "text/Cp1252.h"
#include "text/TextLines.h"

namespace quillor {

bool ReadLabelledQueries(const std::string& fileName, std::vector<LabelledQuery>& queries) {
  TStringList lines;
  if (!ReadFileLines(fileName, lines)) return false;
  queries.clear();
  for (const std::string& line : lines) {
    if (line.empty() || line[0] == '#') continue;
    const size_t bar = line.find('|');
    if (bar == std::string::npos || bar == 0 || line.find('|', bar + 1) != std::string::npos) return false;
    LabelledQuery labelled;
    labelled.query = Utf8ToCp1252(line.substr(0, bar));
    size_t start = bar + 1;
    while (start < line.size()) {
      size_t end = line.find(' ', start);
      if (end == std::string::npos) end = line.size();
      if (end > start) labelled.wanted.push_back(line.substr(start, end - start));
      start = end + 1;
    }
    if (labelled.wanted.empty()) return false;
    queries.push_back(std::move(labelled));
  }
  return !queries.empty();
}

std::unique_ptr<TMyDatabase> LoadArticleFile(const std::string& fileName) {
  TStringList lines;
  if (!ReadFileLines(fileName, lines) || lines.empty()) return nullptr;
  TCryptManager().DecryptLines(lines);
  return TMyDatabase::CreateFromList(lines);
}

namespace {

bool HoldsEveryWord(const std::string& designation, const std::vector<std::string>& words) {
  for (const std::string& word : words) {
    if (designation.find(word) == std::string::npos) return false;
  }
  return true;
}

}  // namespace

SearchQualityFigures MeasureSearchQuality(TMyDatabase& table, const std::vector<LabelledQuery>& queries) {
  SearchQualityFigures figures;
  const int32_t designationField = table.GetFieldPos(kDesignationField);
  for (const LabelledQuery& labelled : queries) {
    QueryOutcome outcome;
    outcome.query = labelled.query;
    table.QueryAll(kDesignationField);
    SearchArticles(table, NormaliseSearchText(labelled.query), true);
    const std::vector<int32_t>& rows = table.Selection();
    for (size_t i = 0; i < rows.size() && i < kFirstScreenRows; ++i) {
      const std::string designation = table.DBGetString(designationField, rows[i]);
      const bool right = HoldsEveryWord(designation, labelled.wanted);
      if (i == 0) {
        outcome.firstDesignation = designation;
        outcome.firstRowRight = right;
      }
      if (right) ++outcome.rightRows;
    }
    ++figures.queries;
    if (outcome.rightRows > 0) ++figures.rightOnFirstScreen;
    if (outcome.firstRowRight) ++figures.rightFirstRow;
    figures.rightRows += outcome.rightRows;
    figures.outcomes.push_back(std::move(outcome));
  }
  return figures;
}

}  // namespace quillor
