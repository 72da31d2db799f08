// How well the approximate search finds what a pharmacist meant: labelled
// queries ("query|WANTED WORDS", one a line, '#' starts a comment) are run
// through the window's own search path (NormaliseSearchText + SearchArticles)
// on an article table, and each first screen of rows is checked. A row is
// right when its designation holds every wanted word.
//
// Header-only, so that both the quality floor test and the benchmark that
// prints the figures use this one definition. GUI thread only, like the table.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ArticleSearch.h"
#include "Cp1252.h"
#include "CryptManager.h"
#include "Database.h"
#include "TextLines.h"

namespace quillor::test {

// The rows a user sees at start-up without scrolling.
inline constexpr size_t kFirstScreenRows = 10;

struct LabelledQuery {
  std::string query;                // Windows-1252, as typed into the window
  std::vector<std::string> wanted;  // upper case, accents folded
};

struct QueryOutcome {
  std::string query;
  size_t rightRows = 0;  // right rows among the first screen
  bool firstRowRight = false;
  std::string firstDesignation;
};

struct SearchQualityFigures {
  size_t queries = 0;
  size_t rightOnFirstScreen = 0;  // queries with at least one right row in the first screen
  size_t rightFirstRow = 0;       // queries whose first row is right
  size_t rightRows = 0;           // right rows over all first screens
  std::vector<QueryOutcome> outcomes;
};

// The labelled queries of a UTF-8 file; false when it cannot be read or a
// line is not "query|WORDS".
inline bool ReadLabelledQueries(const std::string& fileName, std::vector<LabelledQuery>& queries) {
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

// The article table of a scrambled article file, as the window loads it, or
// nullptr when the file cannot be read.
inline std::unique_ptr<TMyDatabase> LoadArticleFile(const std::string& fileName) {
  TStringList lines;
  if (!ReadFileLines(fileName, lines) || lines.empty()) return nullptr;
  TCryptManager().DecryptLines(lines);
  return TMyDatabase::CreateFromList(lines);
}

inline bool HoldsEveryWord(const std::string& designation, const std::vector<std::string>& words) {
  for (const std::string& word : words) {
    if (designation.find(word) == std::string::npos) return false;
  }
  return true;
}

// Runs every query in approximate mode and counts the right rows of each
// first screen. REQUIRES: the table has a "Designation" field.
inline SearchQualityFigures MeasureSearchQuality(TMyDatabase& table,
                                                 const std::vector<LabelledQuery>& queries) {
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

}  // namespace quillor::test
