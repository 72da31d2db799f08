#include "update/AvailabilityInUse.h"

#include "update/DataSetStore.h"

namespace quillor::update {
namespace {

// Days since 1 March of year 0, for differences of days.
int64_t DayNumber(TDayDate date) {
  int64_t year = date / 10000;
  const int64_t month = date / 100 % 100;
  const int64_t day = date % 100;
  if (month <= 2) --year;
  const int64_t shifted = (month + 9) % 12;  // March is 0
  return 365 * year + year / 4 - year / 100 + year / 400 + (153 * shifted + 2) / 5 + day - 1;
}

}  // namespace

std::string RefreshedAvailabilityFile(const std::string& userDataFolder) {
  return TDataSetStore(userDataFolder).Folder() + "/" + kAvailabilityFileName;
}

TAvailabilityInUse LocateAvailability(const TCatalogueLocation& catalogue,
                                      const std::string& userDataFolder) {
  TAvailabilityInUse inUse;
  if (catalogue.origin != TDataOrigin::kNone) {
    const std::string beside = KnowledgeFilePath(catalogue.folder, kAvailabilityFileName);
    if (ReadAvailabilityFile(beside, inUse.availability).Usable()) inUse.file = beside;
  }
  TAvailabilityFile refreshed;
  const std::string stored = RefreshedAvailabilityFile(userDataFolder);
  if (ReadAvailabilityFile(stored, refreshed).Usable() &&
      (inUse.file.empty() || refreshed.published > inUse.availability.published)) {
    inUse.file = stored;
    inUse.availability = std::move(refreshed);
    inUse.refreshed = true;
  }
  if (inUse.file.empty()) inUse.availability = TAvailabilityFile();
  return inUse;
}

int DaysBetween(TDayDate from, TDayDate to) {
  return static_cast<int>(DayNumber(to) - DayNumber(from));
}

bool AvailabilityIsStale(TDayDate published, TDayDate today, int maxAgeDays) {
  return published == kNoDate || DaysBetween(published, today) > maxAgeDays;
}

}  // namespace quillor::update
