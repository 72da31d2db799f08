// RFC 2047 encoded words for header texts (display names, subjects) that hold
// bytes outside printable ASCII. Texts are Windows-1252 bytes.
#pragma once

#include <string>

namespace quillor {

// True when every byte of `text` is printable ASCII (32 to 126).
bool IsPrintableAscii(const std::string& text);

// `text` as one or more Q-encoded words separated by spaces, each at most 75
// characters. The charset is "ISO-8859-1" when the text fits it; a text that
// holds one of the bytes 0x80-0x9F (where Windows-1252 puts the euro sign and
// the typographic quotes, but ISO-8859-1 only control codes) is labelled
// "windows-1252" so that those letters survive.
std::string EncodeWordQ(const std::string& text);

// `text` unchanged when it is printable ASCII, else its encoded words.
std::string EncodeHeaderText(const std::string& text);

}  // namespace quillor
