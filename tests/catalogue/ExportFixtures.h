// The export lines committed beside these tests (exports/), and the whole
// exports when ../shared holds them.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "catalogue/CatalogueImport.h"
#include "catalogue/ExportFile.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestPaths.h"

namespace quillor::catalogue::test {

inline std::filesystem::path FixtureDir(const std::string& exportName) {
  return quillor::test::SourceDir() / "tests" / "catalogue" / "exports" / exportName;
}

inline std::string FixtureBytes(const std::string& exportName, const std::string& file) {
  return quillor::test::TempDir::Read(FixtureDir(exportName) / file);
}

inline ExportFile ReadExport(const std::filesystem::path& path) {
  ExportFile file;
  EXPECT_EQ(ReadExportFile(path.string(), file), ExportReadStatus::kOk) << path;
  return file;
}

// Both files of one export, imported with the file names the notes use.
inline ImportResult ImportFolder(const std::filesystem::path& dir, bool all = false) {
  ImportOptions options;
  options.allPresentations = all;
  return ImportExports(ReadExport(dir / "CIS_bdpm.txt"), ReadExport(dir / "CIS_CIP_bdpm.txt"), options);
}

}  // namespace quillor::catalogue::test
