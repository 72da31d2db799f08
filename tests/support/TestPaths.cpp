#include "tests/support/TestPaths.h"

#include <cstdlib>
#include <fstream>

namespace quillor::test {
namespace {

std::filesystem::path FromEnv(const char* name, const std::filesystem::path& fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? std::filesystem::path(value) : fallback;
}

}  // namespace

std::filesystem::path SourceDir() {
  return FromEnv("QUILLOR_SOURCE_DIR", QUILLOR_DEFAULT_SOURCE_DIR);
}
std::filesystem::path DataDir() {
  return SourceDir() / "data";
}
std::filesystem::path RealCatalogue() {
  return FromEnv("QUILLOR_TEST_CATALOGUE", QUILLOR_DEFAULT_TEST_CATALOGUE);
}
size_t BundledArticleCount() {
  std::ifstream file(RealCatalogue(), std::ios::binary);
  size_t lines = 0;
  for (std::string line; std::getline(file, line);) ++lines;
  return lines == 0 ? 0 : lines - 1;
}
std::filesystem::path SharedDir() {
  return FromEnv("QUILLOR_SHARED_DIR", QUILLOR_DEFAULT_SHARED_DIR);
}
std::filesystem::path RawExportDir(const std::string& exportName) {
  const std::filesystem::path dir = SharedDir() / "data" / "bdpm-raw" / exportName;
  std::error_code error;
  const bool present = std::filesystem::is_regular_file(dir / "CIS_bdpm.txt", error) &&
                       std::filesystem::is_regular_file(dir / "CIS_CIP_bdpm.txt", error);
  return present ? dir : std::filesystem::path();
}

}  // namespace quillor::test
