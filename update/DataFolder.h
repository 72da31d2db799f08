// Where the program finds its Data/ folder. It reads ./Data relative to the
// working directory; started from a folder without one (from a terminal, a
// file manager), it moves into the folder the package installs its data in,
// share/quillor beside the program's bin/, and says nothing. A user whose
// working directory holds Data/ keeps it, so a clone's bin/ and any copied
// data folder still work.
//
// The user's own files (the address, kept in the configuration folder) do not
// depend on the working directory. Call once, before the window is built.
#pragma once

#include <QString>

namespace quillor {

// The folder the program should work in: `installedFolder` (cleaned) when
// `workingDir` has no Data/ folder and `installedFolder` has one, otherwise
// an empty string, meaning stay where it is.
QString DataFolderToEnter(const QString& workingDir, const QString& installedFolder);

// The installed data's folder for a program in `programDir`: the package puts
// the program in <prefix>/bin and the data in <prefix>/share/quillor.
QString InstalledDataFolder(const QString& programDir);

// Makes the installed data's folder the working directory when
// DataFolderToEnter says so. Returns whether it did.
// REQUIRES: a QCoreApplication exists (it knows the program's folder).
bool EnterInstalledDataFolderIfNeeded();

}  // namespace quillor
