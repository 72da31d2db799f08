#include "app/WidgetText.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

#include "text/TextLines.h"

namespace quillor {

std::string MemoText(const QPlainTextEdit& memo) {
  // The raw text keeps non-breaking spaces (plain text would turn them into
  // spaces); paragraph and line separators both end a memo line.
  QString raw = memo.document()->toRawText();
  raw.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
  raw.replace(QChar::LineSeparator, QStringLiteral("\r\n"));
  return FromQString(raw);
}

void SetMemoText(QPlainTextEdit& memo, const std::string& bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r') {
      text += '\n';
      if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    } else {
      text += bytes[i];
    }
  }
  memo.setPlainText(ToQString(text));
}

QString MemoUnicodeText(const QPlainTextEdit& memo) {
  QString raw = memo.document()->toRawText();
  raw.replace(QChar::ParagraphSeparator, QChar('\n'));
  raw.replace(QChar::LineSeparator, QChar('\n'));
  return raw;
}

std::vector<std::string> MemoLines(const QPlainTextEdit& memo) {
  return SplitLines(MemoText(memo));
}

void AppendMemoLine(QPlainTextEdit& memo, const std::string& line) {
  const std::string text = MemoText(memo);
  const bool endsWithBreak = text.empty() || text.back() == '\n';
  QTextCursor cursor(memo.document());
  cursor.movePosition(QTextCursor::End);
  // A memo whose last line is still open gets its break first.
  cursor.insertText(endsWithBreak ? ToQString(line) + QChar('\n') : QChar('\n') + ToQString(line));
}

}  // namespace quillor
