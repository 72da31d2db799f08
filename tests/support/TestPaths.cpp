#include "TestPaths.h"

#include <cstdlib>

namespace quillor::test {
namespace {

std::filesystem::path FromEnv(const char* name, const std::filesystem::path& fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? std::filesystem::path(value) : fallback;
}

}  // namespace

std::filesystem::path SourceDir() { return FromEnv("QUILLOR_SOURCE_DIR", QUILLOR_DEFAULT_SOURCE_DIR); }
std::filesystem::path DataDir() { return SourceDir() / "data"; }
std::filesystem::path RealCatalogue() {
  return FromEnv("QUILLOR_SHARED_DIR", QUILLOR_DEFAULT_SHARED_DIR) / "data" / "bdpm-catalogue.csv";
}

}  // namespace quillor::test
