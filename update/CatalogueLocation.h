// Where the catalogue in use is, for the window and for quillor-catalogue
// alike: the newest data that is whole, which is
//
//   1. the user's updated data (the store's current set, else the set kept
//      before it), in the user's data folder;
//   2. else ./Data/ in the working folder;
//   3. else the data installed with the program (share/quillor/Data).
//
// A place counts when its article file is there and not empty. The window
// still reads its settings and the bundled address from ./Data (after moving
// into the installed folder when it has none, DataFolder.h); only the
// catalogue follows this rule.
//
// Stateless; any thread.
#pragma once

#include <optional>
#include <string>

#include "update/DataSetStore.h"

namespace quillor::update {

enum class TDataOrigin { kUpdated, kWorkingFolder, kInstalled, kNone };

struct TCatalogueLocation {
  TDataOrigin origin = TDataOrigin::kNone;
  // The folder holding the article file; kNone: ./Data, where it was missed.
  std::string folder;
  std::string articleFile;
  // What the data says about itself: the set's manifest for kUpdated, the
  // folder's own Origine.txt for the others when it has one.
  std::optional<TSetManifest> manifest;
};

// `userDataFolder` holds the store, `workingDir` is the folder ./Data is
// looked for in, `installedFolder` the installed folder that holds Data/
// (InstalledDataFolder). The working folder counts as the installed data
// when it is the installed folder.
TCatalogueLocation LocateCatalogue(const std::string& userDataFolder, const std::string& workingDir,
                                   const std::string& installedFolder);

// LocateCatalogue for this process: ./Data in the current directory, the
// installed data beside the program. REQUIRES: a QCoreApplication exists.
TCatalogueLocation LocateCatalogueInUse(const std::string& userDataFolder);

// One line for the user, in French (Windows-1252): which data, and its dates.
// "Catalogue du 27/05/2026, mis à jour le 09/12/2026 16:40": the public
// database's date first, which is what the pharmacist goes by.
std::string DescribeCatalogue(const TCatalogueLocation& location);

}  // namespace quillor::update
