// The characters of an order that cannot travel: the message is sent in
// Windows-1252, and a character it has no byte for (an arrow, an emoji...)
// would reach the server as "?". The sending looks for them first and names
// them, so the user can mend the text. Plain functions; Qt strings only
// because the memos hold Unicode.
#pragma once

#include <QString>
#include <vector>

namespace quillor {

struct TUnsendableCharacter {
  char32_t codePoint;
  int line;    // 1-based, in the memo's text
  int column;  // 1-based, in characters
};

// Each character of `text` without a Windows-1252 byte, in order. Lines end
// at "\n" (and at Qt's paragraph and line separators).
std::vector<TUnsendableCharacter> FindUnsendableCharacters(const QString& text);

// One memo to look at, with the words that name it in the box ("le message").
struct TTextToSend {
  QString where;
  QString text;
};

// The box's text naming every distinct unsendable character once (the
// character, its code U+XXXX, where it first occurs), or an empty string
// when everything can be sent.
QString DescribeUnsendableCharacters(const std::vector<TTextToSend>& texts);

}  // namespace quillor
