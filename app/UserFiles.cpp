#include "UserFiles.h"

#include <QFile>

#include "GridText.h"

namespace quillor {

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
