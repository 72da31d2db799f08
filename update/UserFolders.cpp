#include "update/UserFolders.h"

#include <QCoreApplication>
#include <QFile>
#include <QStandardPaths>

namespace quillor {

void SetApplicationIdentity() {
  QCoreApplication::setOrganizationName(QStringLiteral("Quillor"));
  QCoreApplication::setApplicationName(QStringLiteral("Quillor"));
}

std::string UserDataFolder() {
  return QFile::encodeName(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).toStdString();
}

}  // namespace quillor
