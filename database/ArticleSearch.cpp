#include "database/ArticleSearch.h"

#include "database/Database.h"
#include "database/LiteralPattern.h"
#include "text/StringManager.h"
#include "text/TrimBlanks.h"

namespace quillor {

std::string NormaliseSearchText(const std::string& raw) {
  std::string text = TStringManager::RemoveAccents(raw);
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return TrimBlanksAndControls(text);
}

bool SearchArticles(TMyDatabase& table, const std::string& normalisedQuery, bool approximate) {
  if (normalisedQuery.empty()) return false;
  table.QueryAll(kDesignationField);
  if (approximate) {
    table.Query(kDesignationField, normalisedQuery, 3);
    return true;
  }
  NarrowByWords(table, normalisedQuery);
  return true;
}

void NarrowByWords(TMyDatabase& table, const std::string& query, const std::string& held) {
  const int32_t wordCount = TStringManager::WordCount(query, ' ');
  for (int32_t i = 1; i <= wordCount; ++i) {
    const std::string word = TStringManager::GetWord(query, i, ' ');
    if (!held.empty() && word == TStringManager::GetWord(held, i, ' ')) continue;
    table.QueryAnd(kDesignationField, "^.*" + word + ".*$", 2);
  }
}

namespace {

bool IsPlainWord(const std::string& word) {
  std::string ignored;
  return SplitContainsPattern("^.*" + word + ".*$", ignored);
}

}  // namespace

bool ExactResultWithin(const std::string& query, const std::string& previous) {
  const int32_t before = TStringManager::WordCount(previous, ' ');
  if (before == 0 || TStringManager::WordCount(query, ' ') < before) return false;
  for (int32_t i = 1; i <= before; ++i) {
    const std::string was = TStringManager::GetWord(previous, i, ' ');
    const std::string now = TStringManager::GetWord(query, i, ' ');
    // A value that holds the longer word holds the shorter one: the pattern
    // of the longer word matches only values that the shorter one matches.
    if (!IsPlainWord(was) || !IsPlainWord(now) || now.find(was) == std::string::npos) return false;
  }
  return true;
}

void SearchArticleByCip(TMyDatabase& table, const std::string& cip7) {
  table.QueryAll(kDesignationField);
  if (table.FieldCount() == 0) return;
  // Digits only, so the pattern is the code itself; the empty code matches
  // no record (an empty match is never a match).
  table.QueryAnd(table.FieldName(0), "^" + cip7 + "$", 2);
}

}  // namespace quillor
