#include "UserFiles.h"

#include <QFile>
#include <QStandardPaths>

#include "GridText.h"

namespace quillor {

std::string UserDataFolder() {
  return QFile::encodeName(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).toStdString();
}

std::string JournalFolder() {
  return UserDataFolder() + "/Commandes";
}

std::string DraftFileName() {
  return UserDataFolder() + "/Brouillon.txt";
}

std::string DisplayFileName(const std::string& fileName) {
  return FromQString(QFile::decodeName(fileName.c_str()));
}

}  // namespace quillor
