#include "update/DataFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace quillor {

namespace {

bool HasDataFolder(const QString& folder) {
  return QFileInfo(QDir(folder).filePath(QStringLiteral("Data"))).isDir();
}

}  // namespace

QString DataFolderToEnter(const QString& workingDir, const QString& installedFolder) {
  if (HasDataFolder(workingDir) || !HasDataFolder(installedFolder)) return {};
  return QDir::cleanPath(installedFolder);
}

QString InstalledDataFolder(const QString& programDir) {
  // QUILLOR_DATA_FROM_BINDIR is the install layout's path from bin/ to the
  // data's folder, "../share/quillor" for the usual layout.
  return QDir(programDir).filePath(QStringLiteral(QUILLOR_DATA_FROM_BINDIR));
}

bool EnterInstalledDataFolderIfNeeded() {
  const QString folder =
      DataFolderToEnter(QDir::currentPath(), InstalledDataFolder(QCoreApplication::applicationDirPath()));
  return !folder.isEmpty() && QDir::setCurrent(folder);
}

}  // namespace quillor
