#include "grid/widget/GridText.h"

#include "text/Cp1252.h"

namespace quillor {

QString ToQString(const std::string& bytes) {
  // Every Windows-1252 byte maps into the BMP: one QChar per byte.
  QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
  QChar* out = text.data();
  for (unsigned char byte : bytes) *out++ = QChar(static_cast<char16_t>(Cp1252ToCodePoint(byte)));
  return text;
}

std::string FromQString(const QString& text) {
  return Utf8ToCp1252(text.toStdString(), '?');
}

}  // namespace quillor
