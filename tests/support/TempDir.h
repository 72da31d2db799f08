// A fresh temporary directory, removed with everything in it at destruction.
#pragma once

#include <filesystem>
#include <map>
#include <string>

namespace quillor::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  // Writes `bytes` to Path()/relative, creating folders on the way; returns the full path.
  std::filesystem::path Write(const std::string& relative, const std::string& bytes) const;
  // Reads a whole file as bytes.
  static std::string Read(const std::filesystem::path& file);

 private:
  std::filesystem::path path_;
};

// Everything under `folder` by relative name: a file's bytes, "<dossier>" for
// a folder; to tell that nothing changed. Empty when it cannot be read.
std::map<std::string, std::string> Snapshot(const std::filesystem::path& folder);

// Makes `dir` the working directory for as long as it lives.
class ScopedWorkingDirectory {
 public:
  explicit ScopedWorkingDirectory(const std::filesystem::path& dir);
  ~ScopedWorkingDirectory();
  ScopedWorkingDirectory(const ScopedWorkingDirectory&) = delete;
  ScopedWorkingDirectory& operator=(const ScopedWorkingDirectory&) = delete;

 private:
  std::filesystem::path previous_;
};

}  // namespace quillor::test
