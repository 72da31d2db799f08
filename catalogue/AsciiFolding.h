// Folding of the public drug database's Unicode text into the article file's
// upper-case ASCII: accented letters lose their accents (É -> E, Ç -> C),
// ligatures are spelt out (Œ -> OE, ß -> SS), typographic signs become their
// plain ASCII kin (’ -> ', « » -> ", – -> -, … -> ...), µ becomes MC (µg is
// written MCG), the signs ° º ª © ® ™ are dropped (N°5 -> N5), every kind of
// space, tab and control character becomes a space, then runs of spaces are
// collapsed and the ends trimmed, and a-z are upper-cased.
//
// A character for which no rule exists is never dropped silently: it becomes
// '?' and is listed in the result, so that the import can report it.
//
// Stateless; any thread.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillor::catalogue {

struct FoldedText {
  std::string text;                // upper-case ASCII, single spaces, trimmed
  std::vector<char32_t> unmapped;  // each character that became '?', in order
};

// The ASCII spelling of one character (possibly empty, possibly several
// letters, in its own case), or false when there is none.
bool AsciiSpelling(char32_t codePoint, std::string& spelling);

FoldedText FoldToUpperAscii(std::u32string_view text);

// "U+00BF" and the like, for reports.
std::string CodePointName(char32_t codePoint);

}  // namespace quillor::catalogue
