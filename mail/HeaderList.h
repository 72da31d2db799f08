// An ordered list of header fields (name, value) with case-insensitive lookup.
// An empty value is never kept, so empty headers are never written. The wire
// form folds lines longer than kFoldWidth. Plain value, freely copied.
#pragma once

#include <string>
#include <vector>

namespace quillor {

struct THeader {
  std::string Name;
  std::string Value;
};

class THeaderList {
 public:
  static constexpr size_t kFoldWidth = 78;

  // The value of the first header named `name` (any case), or "" when absent.
  std::string Values(const std::string& name) const;
  // Replaces the value of the first header named `name` and removes any later
  // ones; appends the header when absent. An empty value removes every header
  // of that name.
  void SetValue(const std::string& name, const std::string& value);
  // Appends a header even when one of that name exists; an empty value adds nothing.
  void Add(const std::string& name, const std::string& value);
  void Clear() { headers_.clear(); }

  int Count() const { return static_cast<int>(headers_.size()); }
  const std::vector<THeader>& Headers() const { return headers_; }

  // Every header as "name: value", folded, in order: the lines to write.
  std::vector<std::string> FoldedLines() const;

 private:
  std::vector<THeader> headers_;
};

// Folds one header line: breaks it at spaces or tabs so that the pieces stay
// within `width` characters where the text allows it (a run without blanks
// longer than `width` stays whole), each continuation piece starting with one
// space, trailing blanks of each piece removed.
std::vector<std::string> FoldHeaderLine(const std::string& line, size_t width = THeaderList::kFoldWidth);

}  // namespace quillor
