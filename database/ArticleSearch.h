// The article search, shared by the order window and the catalogue tool so
// that both run exactly the same path: the typed text is normalised, then
// the table's selection is rebuilt over the "Designation" field.
//
// Exact search keeps, in designation order, the articles whose designation
// contains every space-separated word (each word is a regular-expression
// fragment: "." matches any character, an unbalanced "(" is an error).
// Approximate search lists every article by decreasing similarity.
//
// GUI thread only (the table's queries share one pattern object).
#pragma once

#include <string>

namespace quillor {

class TMyDatabase;

// The name of the field every search queries.
inline constexpr char kDesignationField[] = "Designation";

// Accents folded (TStringManager::RemoveAccents), then the letters a-z upper-
// cased (nothing else), then bytes <= 32 trimmed at both ends, in that order.
std::string NormaliseSearchText(const std::string& raw);

// Runs one search for an already normalised query. An empty query does
// nothing (the selection stays as it was) and gives false. Otherwise
// QueryAll on the designation, then one QueryAnd per word (exact) or one
// ranking Query (approximate), and true.
// Throws ERegExError when a word makes the pattern invalid or too complex
// (one that backtracks without end); the selection then holds the narrowing
// done by the words before it.
bool SearchArticles(TMyDatabase& table, const std::string& normalisedQuery, bool approximate);

// The words of an exact search: narrows the selection by each word of the
// normalised `query`, in order (QueryAnd of "^.*" + word + ".*$"), skipping
// a word equal to the word at its place in `held`, a query whose exact
// result the selection already is. Throws ERegExError as SearchArticles does.
void NarrowByWords(TMyDatabase& table, const std::string& query, const std::string& held = std::string());

// Whether the exact search of `query` can only keep articles that the exact
// search of `previous` keeps: every word of `previous` is a plain word (no
// pattern syntax) held by the plain word of `query` at its place, and
// `query` may have more words. So it is when typing goes on ("DOLI" then
// "DOLIP", "DOLIPRANE" then "DOLIPRANE 1").
bool ExactResultWithin(const std::string& query, const std::string& previous);

// Selects, in designation order, the articles whose code (the first field)
// is exactly `cip7`: the article of a scanned box. An empty `cip7` selects
// nothing (a product code that is no medicine's).
void SearchArticleByCip(TMyDatabase& table, const std::string& cip7);

}  // namespace quillor
