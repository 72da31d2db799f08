#include "tests/support/PlainExport.h"

#include "tests/support/TempDir.h"

namespace quillor::test {

std::vector<std::vector<std::string>> PlainExportRows(const std::filesystem::path& file) {
  const std::string bytes = TempDir::Read(file);
  std::vector<std::vector<std::string>> rows;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    start = end + 1;
    if (line.empty()) continue;
    std::vector<std::string> fields(1);
    for (char c : line) {
      if (c == '\t') {
        fields.emplace_back();
      } else {
        fields.back() += c;
      }
    }
    rows.push_back(std::move(fields));
  }
  return rows;
}

}  // namespace quillor::test
