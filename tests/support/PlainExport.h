// A plain reading of the public database's raw export files, independent of
// the program's own reading, for the tests that check the import against them.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/TestPaths.h"

namespace quillor::test {

// The file's lines (cut at LF, a CR before it dropped, empty ones skipped),
// each cut at TAB into its fields, bytes as they are.
std::vector<std::vector<std::string>> PlainExportRows(const std::filesystem::path& file);

}  // namespace quillor::test

// Declares `dir`, the 2026-05 publication in ../shared, or skips the test in a
// clone without it.
#define QUILLOR_REQUIRE_2026_EXPORT(dir)                                                        \
  const std::filesystem::path dir = ::quillor::test::RawExportDir("2026-05");                   \
  if (dir.empty()) {                                                                            \
    GTEST_SKIP() << "the 2026-05 publication is not in "                                        \
                 << ::quillor::test::SharedDir() / "data/bdpm-raw"                              \
                 << " (a clone without ../shared): nothing to check";                           \
  }
