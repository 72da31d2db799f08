// Reading text files as lists of lines, the way every file of Quillor is read:
// a line ends at CR LF, at a lone LF or at a lone CR (CR directly followed by
// LF ends one line, not two); a final line break adds no empty line; a NUL
// byte ends the text and whatever follows it is ignored. Bytes are kept as
// they are (Windows-1252).
#pragma once

#include <string>
#include <vector>

namespace quillor {

using TStringList = std::vector<std::string>;

// Cuts `bytes` into lines as described above.
TStringList SplitLines(const std::string& bytes);

// Reads a whole file and cuts it into lines. Returns false, leaving `lines`
// empty, when it cannot be read (see ReadFileBytes in FileSystem.h).
bool ReadFileLines(const std::string& fileName, TStringList& lines);

}  // namespace quillor
