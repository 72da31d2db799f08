#include "text/Cp1252.h"

#include <array>

namespace quillor {
namespace {

// Code points of the bytes 0x80..0x9F. The five bytes that Windows-1252
// leaves undefined keep the C1 control of their own value.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 0x98
};

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

bool IsContinuation(unsigned char b) {
  return (b & 0xC0) == 0x80;
}

// Decodes one UTF-8 sequence at `i`, strictly (no overlong forms, no
// surrogates, nothing above U+10FFFF). Advances `i` past it and returns the
// code point, or returns -1 having advanced past the longest invalid prefix
// (at least one byte), so that each malformed piece becomes one replacement.
long DecodeUtf8(const std::string& s, size_t& i) {
  const unsigned char lead = static_cast<unsigned char>(s[i]);
  if (lead < 0x80) {
    ++i;
    return lead;
  }
  int length = 0;
  char32_t cp = 0;
  char32_t minimum = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, cp = lead & 0x1F, minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, cp = lead & 0x0F, minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, cp = lead & 0x07, minimum = 0x10000;
  } else {
    ++i;
    return -1;
  }
  size_t j = i + 1;
  for (int k = 1; k < length; ++k, ++j) {
    if (j >= s.size() || !IsContinuation(static_cast<unsigned char>(s[j]))) {
      i = j;
      return -1;
    }
    cp = (cp << 6) | (static_cast<unsigned char>(s[j]) & 0x3F);
  }
  i = j;
  if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return -1;
  return static_cast<long>(cp);
}

}  // namespace

char32_t Cp1252ToCodePoint(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F) return kHighControls[byte - 0x80];
  return byte;
}

int CodePointToCp1252(char32_t codePoint) {
  if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) return static_cast<int>(codePoint);
  for (size_t i = 0; i < kHighControls.size(); ++i) {
    if (kHighControls[i] == codePoint) return static_cast<int>(0x80 + i);
  }
  return -1;
}

std::string Cp1252ToUtf8(const std::string& bytes) {
  std::string utf8;
  utf8.reserve(bytes.size() + bytes.size() / 4);
  for (char c : bytes) AppendUtf8(utf8, Cp1252ToCodePoint(static_cast<unsigned char>(c)));
  return utf8;
}

std::string Utf8ToCp1252(const std::string& utf8, char replacement) {
  std::string bytes;
  bytes.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    const long cp = DecodeUtf8(utf8, i);
    const int byte = cp < 0 ? -1 : CodePointToCp1252(static_cast<char32_t>(cp));
    bytes += byte < 0 ? replacement : static_cast<char>(byte);
  }
  return bytes;
}

bool DecodeUtf8Strictly(const std::string& utf8, std::u32string& codePoints) {
  codePoints.clear();
  codePoints.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    const long cp = DecodeUtf8(utf8, i);
    if (cp < 0) {
      codePoints.clear();
      return false;
    }
    codePoints += static_cast<char32_t>(cp);
  }
  return true;
}

}  // namespace quillor
