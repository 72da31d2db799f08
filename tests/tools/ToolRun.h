// Runs quillor-catalogue as a separate process, exactly as a user runs it,
// and reads its ';'-separated output.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"
#include "tests/support/TestPaths.h"
#include "text/StringManager.h"
#include "text/TextLines.h"

namespace quillor::test {

struct ToolRun {
  int status = -1;
  std::string out;
  std::string err;
};

inline std::string Quoted(const std::string& arg) {
  std::string q = "'";
  for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// Runs the tool from the test's working directory (bin/, beside Data/),
// its standard output sent to a file, under the given locale.
inline ToolRun RunTool(const std::vector<std::string>& args, const std::string& locale = "C.UTF-8") {
  static TempDir outputs;
  const auto outFile = outputs.Path() / "out";
  const auto errFile = outputs.Path() / "err";
  // No catalogue of the user's own (an update of theirs) stands in for Data/.
  std::string command = "LC_ALL=" + Quoted(locale) +
                        " XDG_DATA_HOME=" + Quoted((outputs.Path() / "share").string()) + " " +
                        Quoted(QUILLOR_CATALOGUE_TOOL);
  for (const std::string& arg : args) command += " " + Quoted(arg);
  command += " >" + Quoted(outFile.string()) + " 2>" + Quoted(errFile.string());
  ToolRun run;
  const int raw = std::system(command.c_str());
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.out = TempDir::Read(outFile);
  run.err = TempDir::Read(errFile);
  return run;
}

inline std::vector<std::vector<std::string>> Records(const std::string& out) {
  std::vector<std::vector<std::string>> records;
  for (const std::string& line : SplitLines(out)) {
    std::vector<std::string> fields;
    for (int32_t i = 1; i <= TStringManager::WordCount(line, ';'); ++i) {
      fields.push_back(TStringManager::GetWord(line, i, ';'));
    }
    records.push_back(fields);
  }
  return records;
}

// A file of the export lines committed beside the import's tests.
inline std::string Fixture(const std::string& exportName, const std::string& file) {
  return (SourceDir() / "tests" / "catalogue" / "exports" / exportName / file).string();
}

}  // namespace quillor::test
