#include "app/UnsendableCharacters.h"

#include <QList>
#include <algorithm>

#include "text/Cp1252.h"

namespace quillor {

std::vector<TUnsendableCharacter> FindUnsendableCharacters(const QString& text) {
  std::vector<TUnsendableCharacter> found;
  int line = 1;
  int column = 0;
  // By code point, so that an emoji (two UTF-16 units) counts once; a lone
  // surrogate comes out as U+FFFD, which has no byte either.
  for (const uint unit : text.toUcs4()) {
    const char32_t codePoint = unit;
    if (codePoint == U'\n' || codePoint == 0x2029 || codePoint == 0x2028) {
      ++line;
      column = 0;
      continue;
    }
    ++column;
    if (CodePointToCp1252(codePoint) < 0) found.push_back({codePoint, line, column});
  }
  return found;
}

QString DescribeUnsendableCharacters(const std::vector<TTextToSend>& texts) {
  QString list;
  std::vector<char32_t> named;
  for (const TTextToSend& part : texts) {
    for (const TUnsendableCharacter& found : FindUnsendableCharacters(part.text)) {
      if (std::find(named.begin(), named.end(), found.codePoint) != named.end()) continue;
      named.push_back(found.codePoint);
      const QString code =
          QStringLiteral("U+") +
          QStringLiteral("%1").arg(static_cast<uint>(found.codePoint), 4, 16, QChar('0')).toUpper();
      list += QStringLiteral("\n- \u00AB %1 \u00BB (%2), %3, ligne %4, caract\u00E8re %5")
                  .arg(QString::fromUcs4(&found.codePoint, 1), code, part.where)
                  .arg(found.line)
                  .arg(found.column);
    }
  }
  if (list.isEmpty()) return QString();
  return QStringLiteral(
             "La commande n'est pas envoy\u00E9e : ces caract\u00E8res ne peuvent pas voyager dans un "
             "message (ils arriveraient en \u00AB ? \u00BB) :") +
         list + QStringLiteral("\n\nRemplacez-les ou supprimez-les, puis envoyez de nouveau.");
}

}  // namespace quillor
