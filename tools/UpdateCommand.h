// quillor-catalogue update: the catalogue updated from the public database,
// as the window's update does it, with its progress on the terminal (a bar
// when standard error is one, a line per file otherwise) and, at the end,
// what changed; or the last update undone (--rollback).
//
// Runs its own event loop. REQUIRES: a QCoreApplication exists and the
// application's identity is set (UserFolders.h), so that the default data
// folder is the window's.
#pragma once

#include <iosfwd>
#include <string>

namespace quillor::catalogue {

struct UpdateOptions {
  std::string from;        // --from URL|FOLDER; empty: the build's address
  std::string dataFolder;  // --data FOLDER; empty: the user's data folder
  std::string caFile;      // --ca-file FILE: the authorities to trust instead of the system's
  bool force = false;      // --force: take a catalogue much smaller than today's
  bool rollback = false;   // --rollback
  bool progressBar = false;
  // Turns the update's Windows-1252 messages into the terminal's encoding.
  std::string (*toMessage)(const std::string& text) = nullptr;
};

// Returns the exit status: kExitOk when the catalogue was updated (or the
// update undone), kExitFailure otherwise, the catalogue in use unchanged.
int Update(const UpdateOptions& options, std::ostream& out, std::ostream& err);

}  // namespace quillor::catalogue
