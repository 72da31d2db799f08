// Conversions at the widget boundary: Quillor's texts are Windows-1252 byte
// strings, Qt's are Unicode. Memo texts are handled as the byte side sees
// them: lines separated by CR LF.
//
// GUI thread only (the memo functions touch widgets).
#pragma once

#include <QString>
#include <string>
#include <vector>

class QPlainTextEdit;

namespace quillor {

QString ToQt(const std::string& bytes);
// Characters without a Windows-1252 byte become '?'.
std::string FromQt(const QString& text);

// The memo's whole text with CR LF between its lines (and after the last one
// when the memo ends with an empty line).
std::string MemoText(const QPlainTextEdit& memo);
// Replaces the memo's text; CR LF, lone CR and lone LF all end a line.
void SetMemoText(QPlainTextEdit& memo, const std::string& bytes);
// The memo's lines; a final line break adds no empty line.
std::vector<std::string> MemoLines(const QPlainTextEdit& memo);
// Appends one line after the last line of the memo, so that the memo's text
// ends with a line break once more.
void AppendMemoLine(QPlainTextEdit& memo, const std::string& line);

}  // namespace quillor
