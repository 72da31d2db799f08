// Where the user's own files live outside ./Data: the journal of orders
// (a "Commandes" folder), the kept draft of the order being composed and the
// mark of a sending under way, in
// the application-data folder (QStandardPaths::AppDataLocation, that is
// ~/.local/share/Quillor/Quillor on Linux). The user's copy of the address
// stays in the configuration folder (TQuillorFiles::UserAddressFile).
//
// Names are in the file system's encoding; DisplayFileName turns one into
// Windows-1252 text for a box. REQUIRES: the application's name is set
// (SetApplicationIdentity), since it is part of the folder.
#pragma once

#include <ctime>
#include <optional>
#include <string>

#include "update/UserFolders.h"

namespace quillor {

std::string JournalFolder();
std::string DraftFileName();
std::string SendingMarkFileName();

std::string DisplayFileName(const std::string& fileName);

// Moves a file of the program's own that cannot be read out of the way,
// under a name dated by `moment` ("Brouillon-illisible-2026-01-05_09-04-05.txt"
// beside "Brouillon.txt"), so that nothing written later replaces it and
// the user can still look at it. Returns the new name; nothing on failure,
// with `error` set (French).
std::optional<std::string> SetAsideUnreadableFile(const std::string& fileName, std::time_t moment,
                                                  std::string* error);

}  // namespace quillor
