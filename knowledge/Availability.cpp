#include "knowledge/Availability.h"

namespace quillor {

const char* StatusWord(TAvailabilityStatus status) {
  switch (status) {
    case TAvailabilityStatus::kAvailable:
      return "disponible";
    case TAvailabilityStatus::kShortage:
      return "rupture";
    case TAvailabilityStatus::kTension:
      return "tension";
    case TAvailabilityStatus::kEnded:
      return "arret";
    case TAvailabilityStatus::kBackInStock:
      return "remise";
  }
  return "disponible";
}

bool AsksBeforeOrdering(TAvailabilityStatus status) {
  return status == TAvailabilityStatus::kShortage || status == TAvailabilityStatus::kEnded;
}

int32_t AvailabilityRank(TAvailabilityStatus status) {
  switch (status) {
    case TAvailabilityStatus::kAvailable:
    case TAvailabilityStatus::kBackInStock:
      return 0;
    case TAvailabilityStatus::kTension:
      return 1;
    case TAvailabilityStatus::kShortage:
      return 2;
    case TAvailabilityStatus::kEnded:
      return 3;
  }
  return 0;
}

TAvailabilityIndex::TAvailabilityIndex(std::vector<TAvailabilityRecord> records)
    : fRecords(std::move(records)) {
  for (size_t i = 0; i < fRecords.size(); ++i) {
    const TAvailabilityRecord& record = fRecords[i];
    if (record.cip7.empty()) {
      fBySpeciality[record.cis].push_back(i);
    } else {
      fByPresentation[record.cip7].push_back(i);
    }
  }
}

const TAvailabilityRecord* TAvailabilityIndex::Holding(const std::vector<size_t>& candidates) const {
  const TAvailabilityRecord* best = nullptr;
  for (size_t i : candidates) {
    const TAvailabilityRecord& record = fRecords[i];
    if (best == nullptr || record.update > best->update ||
        (record.update == best->update && record.start > best->start)) {
      best = &record;
    }
  }
  return best;
}

TArticleAvailability TAvailabilityIndex::Of(const std::string& cis, const std::string& cip7) const {
  const TAvailabilityRecord* holding = nullptr;
  if (const auto own = fByPresentation.find(cip7); own != fByPresentation.end()) {
    holding = Holding(own->second);
  } else if (const auto speciality = fBySpeciality.find(cis); speciality != fBySpeciality.end()) {
    holding = Holding(speciality->second);
  }
  if (holding == nullptr) return {};
  TArticleAvailability availability;
  availability.status = holding->status;
  availability.since = holding->status == TAvailabilityStatus::kBackInStock && holding->back != kNoDate
                           ? holding->back
                           : holding->start;
  availability.update = holding->update;
  availability.page = holding->page;
  return availability;
}

bool TAvailabilityIndex::Names(const std::string& cis, const std::string& cip7) const {
  return fByPresentation.count(cip7) > 0 || fBySpeciality.count(cis) > 0;
}

}  // namespace quillor
