// Where the user's own files live outside ./Data: the journal of orders
// (a "Commandes" folder) and the kept draft of the order being composed, in
// the application-data folder (QStandardPaths::AppDataLocation, that is
// ~/.local/share/Quillor/Quillor on Linux). The user's copy of the address
// stays in the configuration folder (TQuillorFiles::UserAddressFile).
//
// Names are in the file system's encoding; DisplayFileName turns one into
// Windows-1252 text for a box. REQUIRES: the application's name is set
// (SetApplicationIdentity), since it is part of the folder.
#pragma once

#include <string>

#include "UserFolders.h"

namespace quillor {

std::string JournalFolder();
std::string DraftFileName();

std::string DisplayFileName(const std::string& fileName);

}  // namespace quillor
