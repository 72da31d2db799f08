// What the durable writing of a data set needs beyond one file's atomic
// write: the folder's own entries synced, so that a new file or folder, or a
// rename, survives a power cut; and a file-system error said in French.
//
// Stateless; any thread.
#pragma once

#include <string>

namespace quillor::update {

// Syncs the entries of `folder` to disk. False, with errno set, on failure.
bool SyncFolder(const std::string& folder);

// The cause of a failed write for the user, from errno: "disque plein",
// "dossier en lecture seule", "accès refusé", else the system's text.
std::string WriteFailureCause(int error);

}  // namespace quillor::update
