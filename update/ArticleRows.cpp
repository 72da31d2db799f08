#include "update/ArticleRows.h"

#include "database/CryptManager.h"
#include "text/TextLines.h"

namespace quillor::update {
namespace {

// The `index`th ';'-separated value of `line` (0-based), empty beyond the last.
std::string Value(const std::string& line, size_t index) {
  size_t start = 0;
  for (size_t i = 0; i < index; ++i) {
    const size_t separator = line.find(';', start);
    if (separator == std::string::npos) return {};
    start = separator + 1;
  }
  const size_t end = line.find(';', start);
  return line.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

}  // namespace

std::string ScrambledArticleFile(const std::string& plainText) {
  TStringList lines = SplitLines(plainText);
  TCryptManager().EncryptLines(lines);
  std::string bytes;
  for (const std::string& line : lines) {
    bytes += line;
    bytes += "\r\n";
  }
  return bytes;
}

std::optional<std::vector<TArticleRow>> ReadArticleFile(const std::string& fileName) {
  TStringList lines;
  if (!ReadFileLines(fileName, lines)) return std::nullopt;
  TCryptManager().DecryptLines(lines);
  std::vector<TArticleRow> rows;
  rows.reserve(lines.empty() ? 0 : lines.size() - 1);
  for (size_t i = 1; i < lines.size(); ++i) {
    rows.push_back({Value(lines[i], 0), Value(lines[i], 1), Value(lines[i], 2)});
  }
  return rows;
}

}  // namespace quillor::update
