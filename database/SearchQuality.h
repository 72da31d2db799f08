// How well the approximate search finds what a pharmacist meant: labelled
// queries ("query|WANTED WORDS", one a line, '#' starts a comment) are run
// through the window's own search path (NormaliseSearchText + SearchArticles)
// on an article table, and each first screen of rows is checked. A row is
// right when its designation holds every wanted word.
//
// The quality floor test and the benchmark that prints the figures use this
// one definition; the program does not. GUI thread only, like the table.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "database/Database.h"

namespace quillor {

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
bool ReadLabelledQueries(const std::string& fileName, std::vector<LabelledQuery>& queries);

// The article table of a scrambled article file, as the window loads it, or
// nullptr when the file cannot be read.
std::unique_ptr<TMyDatabase> LoadArticleFile(const std::string& fileName);

// Runs every query in approximate mode and counts the right rows of each
// first screen. REQUIRES: the table has a "Designation" field.
SearchQualityFigures MeasureSearchQuality(TMyDatabase& table, const std::vector<LabelledQuery>& queries);

}  // namespace quillor
