// Which availability goes with the catalogue in use: the medicines agency's
// file changes every week, more often than the catalogue is updated, so a
// refresh of the availability alone (AvailabilityRefresh.h) keeps its file in
// the store, <data folder>/Catalogue/Disponibilites.txt, beside the sets. Of
// that file and the one beside the catalogue in use, the newer (by the date
// it was published) is the one in use; a file that cannot be used does not
// count.
//
// Stateless; any thread.
#pragma once

#include <string>

#include "knowledge/DayDate.h"
#include "knowledge/KnowledgeFiles.h"
#include "update/CatalogueLocation.h"

namespace quillor::update {

struct TAvailabilityInUse {
  std::string file;  // the file read; empty when neither could be used
  TAvailabilityFile availability;
  bool refreshed = false;  // the store's, from a refresh
};

// Where a refresh of the availability alone keeps its file.
std::string RefreshedAvailabilityFile(const std::string& userDataFolder);

TAvailabilityInUse LocateAvailability(const TCatalogueLocation& catalogue, const std::string& userDataFolder);

// Whether an availability published on `published` is older than
// `maxAgeDays` on `today` (no date at all is).
bool AvailabilityIsStale(TDayDate published, TDayDate today, int maxAgeDays);

// The days from `from` to `to`, calendar days.
int DaysBetween(TDayDate from, TDayDate to);

}  // namespace quillor::update
