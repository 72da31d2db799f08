// What the program asks of the file system before it reads a file: whether a
// name is a file or a folder, the stamp that tells one state of a file from
// another, and a whole file's bytes. The writing of the files a user relies
// on goes through DurableFile.h; cutting text into lines is TextLines.h.
// Names are in the file system's encoding. Plain functions, any thread.
#pragma once

#include <cstdint>
#include <string>

namespace quillor {

// Whether a regular file (or a link to one) of that name exists.
bool FileExists(const std::string& fileName);
// Whether a directory of that name exists.
bool DirectoryExists(const std::string& dirName);

// What tells one state of a file from another: which file it is, its size,
// and when its content and its entry last changed (in nanoseconds, though
// file systems count in coarser ticks). A file left alone keeps its stamp;
// writing it, or renaming another over it, changes the stamp unless both
// fall within one tick.
struct TFileStamp {
  bool exists = false;
  uint64_t device = 0, inode = 0, size = 0;
  int64_t modified = 0, changed = 0;  // nanoseconds since the epoch

  bool operator==(const TFileStamp&) const = default;
};
// The stamp of a regular file (or a link to one); `exists` is false for
// anything else.
TFileStamp StampOfFile(const std::string& fileName);

// Reads a whole file into `bytes`. Returns false, leaving `bytes` empty, when
// the file cannot be opened or read (missing, a directory, no permission).
bool ReadFileBytes(const std::string& fileName, std::string& bytes);

}  // namespace quillor
