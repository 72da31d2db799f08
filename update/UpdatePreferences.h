// What the user chose about updates, in the configuration folder beside the
// address (~/.config/Quillor/Quillor/MiseAJour.ini):
//
//   [Disponibilites]
//   Automatique=non
//
// turns off the refresh of the availability at start-up (a machine kept off
// the Internet, say). Anything else, or no file, leaves it on.
//
// REQUIRES: the application's identity is set (UserFolders.h). Any thread.
#pragma once

#include <string>

namespace quillor::update {

inline constexpr char kPreferencesFileName[] = "MiseAJour.ini";

// The preferences file, in the file system's encoding.
std::string UpdatePreferencesFile();

// Whether the text of such a file leaves the automatic refresh on.
bool AutomaticAvailabilityRefresh(const std::string& preferencesText);
// The same for the user's own file.
bool AutomaticAvailabilityRefreshWanted();

}  // namespace quillor::update
