#include "text/TextLines.h"

#include <algorithm>

#include "text/FileSystem.h"

namespace quillor {

TStringList SplitLines(const std::string& bytes) {
  TStringList lines;
  const size_t end = std::min(bytes.size(), bytes.find('\0'));
  size_t start = 0;
  size_t i = 0;
  while (i < end) {
    const char c = bytes[i];
    if (c == '\r' || c == '\n') {
      lines.emplace_back(bytes, start, i - start);
      i += (c == '\r' && i + 1 < end && bytes[i + 1] == '\n') ? 2 : 1;
      start = i;
    } else {
      ++i;
    }
  }
  if (start < end) lines.emplace_back(bytes, start, end - start);
  return lines;
}

bool ReadFileLines(const std::string& fileName, TStringList& lines) {
  std::string bytes;
  lines.clear();
  if (!ReadFileBytes(fileName, bytes)) return false;
  lines = SplitLines(bytes);
  return true;
}

}  // namespace quillor
