#include "update/UpdateSource.h"

#include <QDir>
#include <QFile>
#include <QUrl>

#include "update/FrenchText.h"

namespace quillor::update {

std::optional<TUpdateSource> ReadUpdateSource(const std::string& text, std::string* why) {
  auto refuse = [why](const std::string& reason) -> std::optional<TUpdateSource> {
    if (why != nullptr) *why = reason;
    return std::nullopt;
  };
  if (text.empty()) return refuse(Fr("aucune source indiquée"));
  const QString given = QFile::decodeName(text.c_str());
  const QUrl url(given, QUrl::StrictMode);
  const QString scheme = url.scheme().toLower();
  // "C:" or a bare name has no scheme of two letters or more.
  if (url.isValid() && scheme.size() > 1) {
    if (scheme == QStringLiteral("file")) {
      return TUpdateSource{TUpdateSource::TKind::kFolder, QFile::encodeName(url.toLocalFile()).toStdString()};
    }
    if (scheme == QStringLiteral("http")) {
      return refuse(Fr("adresse refusée : ") + text +
                    Fr(" (seules les adresses https:// sont acceptées, dont les fichiers ne peuvent être "
                       "modifiés en chemin)"));
    }
    if (scheme != QStringLiteral("https")) {
      return refuse(Fr("adresse refusée : ") + text + Fr(" (ni une adresse https://, ni un dossier)"));
    }
    if (url.host().isEmpty()) return refuse(Fr("adresse sans serveur : ") + text);
    std::string base = url.toString(QUrl::FullyEncoded).toStdString();
    if (base.back() != '/') base += '/';
    return TUpdateSource{TUpdateSource::TKind::kWeb, base};
  }
  return TUpdateSource{TUpdateSource::TKind::kFolder, text};
}

std::string FileLocation(const TUpdateSource& source, std::string_view name) {
  if (source.kind == TUpdateSource::TKind::kWeb) return source.location + std::string(name);
  std::string path = source.location;
  if (!path.empty() && path.back() != '/') path += '/';
  return path + std::string(name);
}

std::string DescribeSource(const TUpdateSource& source) {
  if (source.kind == TUpdateSource::TKind::kWeb) return Utf8ToCp1252(source.location);
  return Utf8ToCp1252(QDir::cleanPath(QFile::decodeName(source.location.c_str())).toStdString());
}

TUpdateSettings DefaultUpdateSettings() {
  TUpdateSettings settings;
  settings.source = {TUpdateSource::TKind::kWeb, QUILLOR_UPDATE_BASE_URL};
  return settings;
}

}  // namespace quillor::update
