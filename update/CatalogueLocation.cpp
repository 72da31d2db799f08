#include "CatalogueLocation.h"

#include <filesystem>

#include "ArticleRows.h"
#include "FrenchText.h"
#include "TextLines.h"

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

std::string DatabaseDate(const std::optional<TSetManifest>& manifest) {
  if (!manifest || manifest->databaseDay <= 0) return {};
  return Fr(" (base publique du ") + DayText(manifest->databaseDay) + ")";
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

std::string DescribeCatalogue(const TCatalogueLocation& location) {
  switch (location.origin) {
    case TDataOrigin::kUpdated:
      return Fr("Catalogue mis à jour le ") +
             (location.manifest ? location.manifest->updatedAt : std::string()) +
             DatabaseDate(location.manifest);
    case TDataOrigin::kWorkingFolder:
      return Fr("Catalogue du dossier Data") + DatabaseDate(location.manifest);
    case TDataOrigin::kInstalled:
      return Fr("Catalogue installé avec le programme") + DatabaseDate(location.manifest);
    case TDataOrigin::kNone:
      break;
  }
  return Fr("Aucun catalogue");
}

}  // namespace quillor::update
