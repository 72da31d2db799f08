// Trimming of blanks and control characters, as every reader of Quillor does
// it: the bytes of code 32 or less (space, tab, CR, LF and the other controls)
// are removed at both ends; bytes of 0x80 and above are text and stay.
#pragma once

#include <string>
#include <string_view>

namespace quillor {

inline bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 32; }

inline std::string TrimBlanksAndControls(std::string_view text) {
  size_t first = 0;
  size_t last = text.size();
  while (first < last && IsBlankOrControl(text[first])) ++first;
  while (last > first && IsBlankOrControl(text[last - 1])) --last;
  return std::string(text.substr(first, last - first));
}

}  // namespace quillor
