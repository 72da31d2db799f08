// Small word helpers shared by the designation rules: text is folded ASCII
// with single spaces between words.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillor::catalogue {

using Words = std::vector<std::string>;

inline Words SplitWords(std::string_view text) {
  Words words;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(' ', start);
    if (end == std::string_view::npos) end = text.size();
    if (end > start) words.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return words;
}

// The non-empty parts joined by one space.
inline std::string JoinWords(const std::vector<std::string>& parts) {
  std::string text;
  for (const std::string& part : parts) {
    if (part.empty()) continue;
    if (!text.empty()) text += ' ';
    text += part;
  }
  return text;
}

// The index past a bracketed group of words that starts at `w`, brackets
// nested: "(3 BOITES CONTENANT CHACUNE (4 X 21) PLAQUETTE(S))".
inline size_t PastBrackets(const Words& words, size_t w) {
  int depth = 0;
  for (; w < words.size(); ++w) {
    for (char c : words[w]) {
      if (c == '(') ++depth;
      if (c == ')') --depth;
    }
    if (depth <= 0) return w + 1;
  }
  return w;
}

inline bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
inline bool StartsWithDigit(std::string_view word) {
  return !word.empty() && IsDigit(word.front());
}
inline bool EndsWithDigit(std::string_view word) {
  return !word.empty() && IsDigit(word.back());
}

// Digits, possibly with one decimal comma: "30", "0,5", "12,5".
inline bool IsQuantity(std::string_view word) {
  if (!StartsWithDigit(word) || !EndsWithDigit(word)) return false;
  bool comma = false;
  for (char c : word) {
    if (c == ',' && !comma) {
      comma = true;
    } else if (!IsDigit(c)) {
      return false;
    }
  }
  return true;
}

}  // namespace quillor::catalogue
