#include "update/CatalogueLocation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <filesystem>

#include "text/FileSystem.h"
#include "text/TextLines.h"
#include "update/ArticleRows.h"
#include "update/DataFolder.h"
#include "update/FrenchText.h"

namespace quillor::update {
namespace {

bool HoldsCatalogue(const std::string& folder) {
  const TFileStamp stamp = StampOfFile(folder + "/" + kArticleFileName);
  return stamp.exists && stamp.size > 0;
}

std::optional<TSetManifest> FolderManifest(const std::string& folder) {
  std::string text;
  if (!ReadFileBytes(folder + "/" + TDataSetStore::kManifestFile, text)) return std::nullopt;
  return ReadManifest(text);
}

TCatalogueLocation InFolder(TDataOrigin origin, const std::string& folder) {
  return {origin, folder, folder + "/" + kArticleFileName, FolderManifest(folder)};
}

bool SameFolder(const std::string& a, const std::string& b) {
  std::error_code error;
  return std::filesystem::equivalent(a, b, error) && !error;
}

}  // namespace

TCatalogueLocation LocateCatalogue(const std::string& userDataFolder, const std::string& workingDir,
                                   const std::string& installedFolder) {
  const TDataSetStore store(userDataFolder);
  std::optional<TDataSet> set = store.Current();
  if (!set) set = store.Previous();
  if (set) return {TDataOrigin::kUpdated, set->folder, set->folder + "/" + kArticleFileName, set->manifest};

  const std::string working = workingDir + "/Data";
  const std::string installed = installedFolder + "/Data";
  if (HoldsCatalogue(working)) {
    const bool isInstalled = !installedFolder.empty() && SameFolder(workingDir, installedFolder);
    return InFolder(isInstalled ? TDataOrigin::kInstalled : TDataOrigin::kWorkingFolder, working);
  }
  if (!installedFolder.empty() && HoldsCatalogue(installed))
    return InFolder(TDataOrigin::kInstalled, installed);
  return {TDataOrigin::kNone, working, working + "/" + kArticleFileName, std::nullopt};
}

TCatalogueLocation LocateCatalogueInUse(const std::string& userDataFolder) {
  return LocateCatalogue(
      userDataFolder, QFile::encodeName(QDir::currentPath()).toStdString(),
      QFile::encodeName(InstalledDataFolder(QCoreApplication::applicationDirPath())).toStdString());
}

std::string DescribeCatalogue(const TCatalogueLocation& location) {
  const bool dated = location.manifest && location.manifest->databaseDay > 0;
  const std::string head =
      dated ? Fr("Catalogue du ") + FormatDayDate(location.manifest->databaseDay) + ", " : Fr("Catalogue ");
  switch (location.origin) {
    case TDataOrigin::kUpdated:
      return head + Fr("mis à jour le ") + (location.manifest ? location.manifest->updatedAt : std::string());
    case TDataOrigin::kWorkingFolder:
      return head + (dated ? Fr("dossier Data") : Fr("du dossier Data"));
    case TDataOrigin::kInstalled:
      return head + Fr("installé avec le programme");
    case TDataOrigin::kNone:
      break;
  }
  return Fr("Aucun catalogue");
}

}  // namespace quillor::update
