// The shortcut behind the exact search: a pattern "^.*" + word + ".*$" whose
// word holds no regular-expression syntax matches a value exactly when the
// value is not empty (every match runs with PCRE2_NOTEMPTY) and contains the
// word, provided the value holds no line-break byte of the "any" newline
// convention ("." does not cross one, "$" may stop before a final one). For
// such values a substring search gives the pattern's answer without the
// pattern engine; every other value goes through TStringManager::MatchRegEx.
//
// Stateless; plain functions.
#pragma once

#include <cstdint>
#include <string>

namespace quillor {

// Whether `pattern` is "^.*" + word + ".*$" with a word made of ordinary
// characters only (no metacharacter, no NUL); the word goes to `word`.
bool SplitContainsPattern(const std::string& pattern, std::string& word);

// Whether `text` holds a byte that "." does not match or before which "$"
// may match (CR, LF, VT, FF, 0x85).
bool HoldsLineBreakByte(const std::string& text);

// A summary of the bytes a text holds: one bit per class of bytes, set when
// the text holds a byte of the class, and kLineBreakBit when it holds a
// line-break byte (HoldsLineBreakByte). A text can contain a word only if its
// summary holds every bit of the word's, which spares most substring searches
// of a word that a value cannot hold.
using TByteSummary = uint64_t;
inline constexpr TByteSummary kLineBreakBit = TByteSummary{1} << 63;
TByteSummary SummariseBytes(const std::string& text);

// Whether a value of summary `value` may contain a word of summary `word`.
inline bool MayContain(TByteSummary value, TByteSummary word) {
  return (value & word) == (word & ~kLineBreakBit);
}

// The pattern's answer for a value without line-break bytes.
// REQUIRES: !HoldsLineBreakByte(value).
bool LiteralContainsMatch(const std::string& word, const std::string& value);

}  // namespace quillor
