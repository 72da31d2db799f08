#include "mail/EncodedWord.h"

namespace quillor {
namespace {

constexpr size_t kMaxEncodedWordLength = 75;

bool NeedsWindows1252(const std::string& text) {
  for (unsigned char c : text)
    if (c >= 0x80 && c <= 0x9F) return true;
  return false;
}

// The Q form of one byte: letters and digits stay, a space becomes "_", the
// rest is "=XX". Keeping to this small safe set means the word is valid in
// every place RFC 2047 allows one (phrases included).
std::string QByte(unsigned char c) {
  static const char kHex[] = "0123456789ABCDEF";
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '!' || c == '*' ||
      c == '+' || c == '-' || c == '/')
    return std::string(1, static_cast<char>(c));
  if (c == ' ') return "_";
  return std::string{'=', kHex[c >> 4], kHex[c & 0x0F]};
}

}  // namespace

bool IsPrintableAscii(const std::string& text) {
  for (unsigned char c : text)
    if (c < 32 || c > 126) return false;
  return true;
}

std::string EncodeWordQ(const std::string& text) {
  const std::string prefix = NeedsWindows1252(text) ? "=?windows-1252?Q?" : "=?ISO-8859-1?Q?";
  const std::string suffix = "?=";
  std::string result;
  std::string word;
  auto flush = [&] {
    if (!result.empty()) result += ' ';
    result += prefix + word + suffix;
    word.clear();
  };
  for (unsigned char c : text) {
    std::string piece = QByte(c);
    if (!word.empty() && prefix.size() + word.size() + piece.size() + suffix.size() > kMaxEncodedWordLength)
      flush();
    word += piece;
  }
  if (!word.empty() || result.empty()) flush();
  return result;
}

std::string EncodeHeaderText(const std::string& text) {
  return IsPrintableAscii(text) ? text : EncodeWordQ(text);
}

}  // namespace quillor
