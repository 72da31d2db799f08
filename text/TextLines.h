// Reading text files as lists of lines, the way every file of Quillor is read:
// a line ends at CR LF, at a lone LF or at a lone CR (CR directly followed by
// LF ends one line, not two); a final line break adds no empty line; a NUL
// byte ends the text and whatever follows it is ignored. Bytes are kept as
// they are (Windows-1252).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quillor {

using TStringList = std::vector<std::string>;

// Cuts `bytes` into lines as described above.
TStringList SplitLines(const std::string& bytes);

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

// Reads a whole file and cuts it into lines. Returns false when it cannot be
// read (see ReadFileBytes).
bool ReadFileLines(const std::string& fileName, TStringList& lines);

}  // namespace quillor
