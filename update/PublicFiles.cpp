#include "update/PublicFiles.h"

#include <cstdlib>

#include "catalogue/KnowledgeImport.h"

namespace quillor::update {

const std::vector<TPublicFile>& CatalogueFiles() {
  static const std::vector<TPublicFile> files = {
      {"CIS_bdpm.txt", TFileRole::kSpecialities, 12},
      {"CIS_CIP_bdpm.txt", TFileRole::kPresentations, 13},
      {catalogue::kCompositionExport, TFileRole::kCompositions, 8},
      {catalogue::kGroupExport, TFileRole::kGroups, 5},
      {catalogue::kConditionExport, TFileRole::kConditions, 2, true},
      {catalogue::kAvailabilityExport, TFileRole::kAvailability, 8},
  };
  return files;
}

const TPublicFile& FileOfRole(TFileRole role) {
  for (const TPublicFile& file : CatalogueFiles()) {
    if (file.role == role) return file;
  }
  std::abort();
}

}  // namespace quillor::update
