#include "mail/HeaderList.h"

#include <algorithm>
#include <cctype>

namespace quillor {
namespace {

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string TrimRightBlanks(std::string text) {
  while (!text.empty() && IsBlank(text.back())) text.pop_back();
  return text;
}

}  // namespace

std::string THeaderList::Values(const std::string& name) const {
  for (const THeader& header : headers_)
    if (SameName(header.Name, name)) return header.Value;
  return "";
}

void THeaderList::SetValue(const std::string& name, const std::string& value) {
  auto first = std::find_if(headers_.begin(), headers_.end(),
                            [&](const THeader& header) { return SameName(header.Name, name); });
  if (first == headers_.end()) {
    Add(name, value);
    return;
  }
  const size_t index = static_cast<size_t>(first - headers_.begin());
  if (!value.empty()) headers_[index].Value = value;
  const size_t keep = value.empty() ? index : index + 1;
  headers_.erase(std::remove_if(headers_.begin() + static_cast<std::ptrdiff_t>(keep), headers_.end(),
                                [&](const THeader& header) { return SameName(header.Name, name); }),
                 headers_.end());
}

void THeaderList::Add(const std::string& name, const std::string& value) {
  if (!value.empty()) headers_.push_back({name, value});
}

std::vector<std::string> THeaderList::FoldedLines() const {
  std::vector<std::string> lines;
  for (const THeader& header : headers_)
    for (std::string& piece : FoldHeaderLine(header.Name + ": " + header.Value))
      lines.push_back(std::move(piece));
  return lines;
}

std::vector<std::string> FoldHeaderLine(const std::string& line, size_t width) {
  std::vector<std::string> pieces;
  std::string rest = line;
  // A continuation starts with its one space at index 0, which is no break point.
  size_t firstBreak = 1;
  while (rest.size() > width) {
    size_t cut = std::string::npos;
    for (size_t i = std::min(width, rest.size() - 1); i >= firstBreak; --i) {
      if (IsBlank(rest[i]) && !TrimRightBlanks(rest.substr(0, i)).empty()) {
        cut = i;
        break;
      }
    }
    if (cut == std::string::npos) {
      for (size_t i = width + 1; i < rest.size(); ++i)
        if (IsBlank(rest[i])) {
          cut = i;
          break;
        }
    }
    if (cut == std::string::npos) break;
    size_t next = cut;
    while (next < rest.size() && IsBlank(rest[next])) ++next;
    if (next == rest.size()) break;
    pieces.push_back(TrimRightBlanks(rest.substr(0, cut)));
    rest = " " + rest.substr(next);
  }
  pieces.push_back(TrimRightBlanks(rest));
  return pieces;
}

}  // namespace quillor
