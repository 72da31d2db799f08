// Where tests find the project's files. CTest sets QUILLOR_SOURCE_DIR and
// QUILLOR_SHARED_DIR; the fallbacks serve a test binary started by hand from
// build/<dir>/bin.
#pragma once

#include <filesystem>

namespace quillor::test {

// The project's source tree.
std::filesystem::path SourceDir();
// The bundled data folder (data/ in the source tree).
std::filesystem::path DataDir();
// The real catalogue as plain text: ../shared/data/bdpm-catalogue.csv beside
// the project, or, when that is absent, the build's copy rebuilt from the
// bundled article file.
std::filesystem::path RealCatalogue();

}  // namespace quillor::test
