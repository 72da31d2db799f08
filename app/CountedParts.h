// The shape of Quillor's own small files (the kept draft, the mark of a
// sending under way): a first line naming the file and its version, then
// parts written as "<word> <byte count>\n<the bytes>\n", then "fin\n". The
// counts make any text safe to hold, line breaks included, and a file cut
// short anywhere is seen as such. Plain functions.
#pragma once

#include <optional>
#include <string>

namespace quillor {

inline void AppendCountedPart(std::string& bytes, const std::string& word, const std::string& part) {
  bytes += word + " " + std::to_string(part.size()) + "\n" + part + "\n";
}

// Reads "<word> <count>\n<count bytes>\n" at `at` and moves `at` past it;
// nothing (and `at` unchanged) when the bytes there are not such a part.
inline std::optional<std::string> ReadCountedPart(const std::string& bytes, size_t& at,
                                                  const std::string& word) {
  const std::string head = word + " ";
  if (bytes.compare(at, head.size(), head) != 0) return std::nullopt;
  const size_t lf = bytes.find('\n', at + head.size());
  if (lf == std::string::npos) return std::nullopt;
  const std::string digits = bytes.substr(at + head.size(), lf - at - head.size());
  if (digits.empty() || digits.size() > 12 || digits.find_first_not_of("0123456789") != std::string::npos)
    return std::nullopt;
  const size_t count = std::stoull(digits);
  const size_t start = lf + 1;
  // Room for the count's bytes and the LF after them.
  if (bytes.size() - start <= count || bytes[start + count] != '\n') return std::nullopt;
  at = start + count + 1;
  return bytes.substr(start, count);
}

}  // namespace quillor
