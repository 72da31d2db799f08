// Where tests find the project's files. CTest sets QUILLOR_SOURCE_DIR,
// QUILLOR_SHARED_DIR and QUILLOR_TEST_CATALOGUE; the fallbacks serve a test
// binary started by hand from build/<dir>/bin.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace quillor::test {

// The project's source tree.
std::filesystem::path SourceDir();
// The bundled data folder (data/ in the source tree).
std::filesystem::path DataDir();
// The bundled catalogue as plain text, rebuilt by the build from
// data/BaseDeDonneeArticles.db with a reading independent of the C++ decoder.
std::filesystem::path RealCatalogue();
// How many articles the bundled catalogue holds (its lines but the header).
size_t BundledArticleCount();
// ../shared beside the project; absent in a lone clone.
std::filesystem::path SharedDir();
// The folder of one raw export of the public drug database ("2026-05",
// "2019-03") under SharedDir(), or an empty path when it is not there.
std::filesystem::path RawExportDir(const std::string& exportName);

}  // namespace quillor::test
