// Windows-1252 <-> Unicode, for the boundaries where Quillor's byte strings
// meet Unicode text (the Qt widgets, the mailto: link). Every byte has a code
// point: the five bytes that Windows-1252 leaves undefined (0x81, 0x8D, 0x8F,
// 0x90, 0x9D) map to the C1 controls of the same value, so any byte string
// survives a round trip.
#pragma once

#include <string>

namespace quillor {

// Code point of one Windows-1252 byte.
char32_t Cp1252ToCodePoint(unsigned char byte);
// The byte for a code point, or -1 when Windows-1252 has none.
int CodePointToCp1252(char32_t codePoint);

// Byte string -> UTF-8.
std::string Cp1252ToUtf8(const std::string& bytes);
// UTF-8 -> byte string; code points without a byte become `replacement`.
// Malformed UTF-8 sequences also become `replacement`.
std::string Utf8ToCp1252(const std::string& utf8, char replacement = '?');

// UTF-8 -> code points, strictly: false (and `codePoints` emptied) at the first
// malformed sequence, overlong form, surrogate or value above U+10FFFF. Tells
// a UTF-8 file from a Windows-1252 one, whose accented bytes are never valid
// UTF-8 in French text.
bool DecodeUtf8Strictly(const std::string& utf8, std::u32string& codePoints);

}  // namespace quillor
