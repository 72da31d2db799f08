// The article grid's column titles, as the settings file gives them: keys
// "ColCIP", "ColDesignation" and "ColTarif" of section FRANCAIS.
//
// The titles are written again after every search. Reading the settings file
// each time costs more than the rest of a keystroke's price display, so the
// titles found are kept with the file's stamp and the file is read again only
// once it changed: an edited file shows at the next search. A file changed
// in the last second is read every time, since its stamp may not yet tell it
// from its next change. A read that reports anything (no file, an empty
// file, a title missing or empty) is never kept, so that it reports again at
// every search.
#pragma once

#include <array>
#include <string>

#include "text/FileSystem.h"
#include "text/IniManager.h"
#include "text/TextLines.h"

namespace quillor {

using TGridTitles = std::array<std::string, 3>;

// The titles from a settings file already read, each missing one reported
// as TIniManager::Get reports it.
TGridTitles ReadGridTitles(const TIniManager& ini);

class TGridTitlesFile {
 public:
  explicit TGridTitlesFile(std::string fileName) : fFileName(std::move(fileName)) {}

  // The titles of the file as it is now.
  TGridTitles Read();

 private:
  std::string fFileName;
  TFileStamp fKeptStamp;
  TGridTitles fKept;
};

}  // namespace quillor
