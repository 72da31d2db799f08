#include "PublicFiles.h"

#include <cstdlib>

namespace quillor::update {

const std::vector<TPublicFile>& CatalogueFiles() {
  static const std::vector<TPublicFile> files = {
      {"CIS_bdpm.txt", TFileRole::kSpecialities, 12},
      {"CIS_CIP_bdpm.txt", TFileRole::kPresentations, 13},
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
