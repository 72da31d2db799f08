// The update's messages are French sentences written in UTF-8 in these
// sources, for legibility; the program keeps its text as Windows-1252, so
// each one passes through Fr() where it is made, and each path named in
// one through ShownPath().
#pragma once

#include <string>

#include "text/Cp1252.h"

namespace quillor::update {

inline std::string Fr(const char* utf8) {
  return Utf8ToCp1252(utf8);
}

// A path (in the file system's encoding, UTF-8) inside a message.
inline std::string ShownPath(const std::string& path) {
  return Utf8ToCp1252(path);
}

}  // namespace quillor::update
