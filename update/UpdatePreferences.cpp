#include "update/UpdatePreferences.h"

#include <QFile>
#include <QStandardPaths>

#include "text/FileSystem.h"
#include "text/TextLines.h"
#include "text/TrimBlanks.h"

namespace quillor::update {
namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return text;
}

}  // namespace

std::string UpdatePreferencesFile() {
  return QFile::encodeName(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) +
                           QStringLiteral("/") + QLatin1String(kPreferencesFileName))
      .toStdString();
}

bool AutomaticAvailabilityRefresh(const std::string& preferencesText) {
  bool inSection = false;
  for (const std::string& raw : SplitLines(preferencesText)) {
    const std::string line = TrimBlanksAndControls(raw);
    if (!line.empty() && line.front() == '[') {
      inSection = Lower(line) == "[disponibilites]";
      continue;
    }
    const size_t equals = line.find('=');
    if (!inSection || equals == std::string::npos) continue;
    if (Lower(TrimBlanksAndControls(line.substr(0, equals))) != "automatique") continue;
    const std::string value = Lower(TrimBlanksAndControls(line.substr(equals + 1)));
    return !(value == "non" || value == "0" || value == "false" || value == "off");
  }
  return true;
}

bool AutomaticAvailabilityRefreshWanted() {
  std::string text;
  return !ReadFileBytes(UpdatePreferencesFile(), text) || AutomaticAvailabilityRefresh(text);
}

}  // namespace quillor::update
