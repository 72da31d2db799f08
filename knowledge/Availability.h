// The availability of one article, from the lines of the medicines agency's
// file (Disponibilites.txt), which may contradict each other or repeat:
//   - a line naming the presentation itself (its CIP) holds over the lines of
//     its speciality;
//   - among several lines, the one updated last holds, then the one that
//     started last, then the first in the file.
// An article that no line names is available.
//
// Built once from a file's records, then read only; any thread.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "knowledge/KnowledgeFiles.h"

namespace quillor {

struct TArticleAvailability {
  TAvailabilityStatus status = TAvailabilityStatus::kAvailable;
  // Since when: the start of a shortage, tension or end of marketing; the
  // day it came back for kBackInStock. kNoDate when available.
  TDayDate since = kNoDate;
  TDayDate update = kNoDate;
  std::string page;  // the agency's page about it
  friend bool operator==(const TArticleAvailability&, const TArticleAvailability&) = default;
};

// "rupture", "tension", "arret", "remise", "disponible": the words of the
// catalogue tool's output.
const char* StatusWord(TAvailabilityStatus status);

// Shortage and end of marketing: what asks before an order line is added.
bool AsksBeforeOrdering(TAvailabilityStatus status);
// The order in which equivalents are listed: available (and back in stock)
// first, then under tension, in shortage, marketing ended.
int32_t AvailabilityRank(TAvailabilityStatus status);

class TAvailabilityIndex {
 public:
  TAvailabilityIndex() = default;
  explicit TAvailabilityIndex(std::vector<TAvailabilityRecord> records);

  // The availability of the presentation `cip7` of the speciality `cis`.
  TArticleAvailability Of(const std::string& cis, const std::string& cip7) const;
  // Whether any line names the speciality or the presentation.
  bool Names(const std::string& cis, const std::string& cip7) const;
  size_t RecordCount() const { return fRecords.size(); }

 private:
  const TAvailabilityRecord* Holding(const std::vector<size_t>& candidates) const;

  std::vector<TAvailabilityRecord> fRecords;
  std::unordered_map<std::string, std::vector<size_t>> fBySpeciality;  // lines without CIP
  std::unordered_map<std::string, std::vector<size_t>> fByPresentation;
};

}  // namespace quillor
