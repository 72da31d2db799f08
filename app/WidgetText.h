// The order window's memos as the byte side sees them: Windows-1252 text
// with lines separated by CR LF. Single texts cross the widget boundary with
// ToQString and FromQString (shared with the grid widget).
//
// GUI thread only.
#pragma once

#include <string>
#include <vector>

#include "grid/widget/GridText.h"

class QPlainTextEdit;

namespace quillor {

// The memo's whole text with CR LF between its lines (and after the last one
// when the memo ends with an empty line).
std::string MemoText(const QPlainTextEdit& memo);
// Replaces the memo's text; CR LF, lone CR and lone LF all end a line.
void SetMemoText(QPlainTextEdit& memo, const std::string& bytes);
// The memo's lines; a final line break adds no empty line.
std::vector<std::string> MemoLines(const QPlainTextEdit& memo);
// The memo's text as Unicode, lines separated by "\n", every character as
// typed (also those Windows-1252 lacks, which MemoText turns into "?").
QString MemoUnicodeText(const QPlainTextEdit& memo);
// Appends one line after the last line of the memo. A text that ended with a
// line break ends with one again; a last line still open gets a break before
// the new line and none after it.
void AppendMemoLine(QPlainTextEdit& memo, const std::string& line);

}  // namespace quillor
