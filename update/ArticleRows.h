// An article file as rows, for the update: the scrambled file that a new
// catalogue is written as, and the rows of the file in use, read to compare
// the two. Rows are "CIP;Designation;Prix" after the header line, in
// Windows-1252, as the window reads them.
//
// Stateless; any thread.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quillor::update {

struct TArticleRow {
  std::string cip;
  std::string designation;
  std::string price;  // as stored: "1003,48", "12" or ""
};

// The article file's name inside every data folder.
inline constexpr char kArticleFileName[] = "BaseDeDonneeArticles.db";

// The scrambled bytes of an article file holding `plainText` (header line
// first, each line ended by CR LF). REQUIRES: no byte that cannot be stored
// (the import writes printable ASCII only).
std::string ScrambledArticleFile(const std::string& plainText);

// The rows of a scrambled article file; nothing when it cannot be read.
// Values beyond the third are ignored; a line without one is an empty value.
std::optional<std::vector<TArticleRow>> ReadArticleFile(const std::string& fileName);

}  // namespace quillor::update
