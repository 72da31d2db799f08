// Who the program is to the desktop, which fixes where the user's own files
// are: the window and quillor-catalogue must name themselves alike to find
// the same folders. The application-data folder
// (QStandardPaths::AppDataLocation, ~/.local/share/Quillor/Quillor on Linux)
// holds the journal of orders, the kept draft and the updated catalogue.
#pragma once

#include <string>

namespace quillor {

// Organisation and application name "Quillor". REQUIRES: a QCoreApplication
// exists, or is made before the folders are asked for.
void SetApplicationIdentity();

// The application-data folder, in the file system's encoding.
// REQUIRES: SetApplicationIdentity() called.
std::string UserDataFolder();

}  // namespace quillor
