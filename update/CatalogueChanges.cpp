#include "update/CatalogueChanges.h"

#include <unordered_map>
#include <unordered_set>

#include "knowledge/Availability.h"
#include "update/FrenchText.h"

namespace quillor::update {
namespace {

std::unordered_map<std::string, const TArticleRow*> ByCip(const std::vector<TArticleRow>& rows) {
  std::unordered_map<std::string, const TArticleRow*> index;
  index.reserve(rows.size());
  for (const TArticleRow& row : rows) index.emplace(row.cip, &row);
  return index;
}

void Note(std::vector<std::string>& examples, std::string text) {
  if (examples.size() < kExamples) examples.push_back(std::move(text));
}

std::string ShownPrice(const std::string& price) {
  return price.empty() ? Fr("sans prix") : price;
}

}  // namespace

TCatalogueChanges CompareCatalogues(const std::vector<TArticleRow>& before,
                                    const std::vector<TArticleRow>& after) {
  TCatalogueChanges changes;
  const auto oldByCip = ByCip(before);
  const auto newByCip = ByCip(after);
  changes.before = oldByCip.size();
  changes.after = newByCip.size();
  std::unordered_set<std::string> counted;
  for (const TArticleRow& row : after) {
    if (!counted.insert(row.cip).second) continue;
    const auto old = oldByCip.find(row.cip);
    if (old == oldByCip.end()) {
      ++changes.added;
      Note(changes.addedExamples, row.designation);
    } else if (old->second->price != row.price) {
      ++changes.pricesChanged;
      Note(changes.priceExamples,
           row.designation + " : " + ShownPrice(old->second->price) + " -> " + ShownPrice(row.price));
    }
  }
  counted.clear();
  for (const TArticleRow& row : before) {
    if (!counted.insert(row.cip).second) continue;
    if (newByCip.find(row.cip) == newByCip.end()) {
      ++changes.withdrawn;
      Note(changes.withdrawnExamples, row.designation);
    }
  }
  return changes;
}

void CompareShortages(const std::vector<TArticleRow>& articles,
                      const std::vector<TArticleSpeciality>& specialities, const TAvailabilityFile* before,
                      const TAvailabilityFile& after, TCatalogueChanges& changes) {
  std::unordered_map<std::string, std::string> specialityOf;
  for (const TArticleSpeciality& article : specialities) specialityOf.emplace(article.cip7, article.cis);
  const TAvailabilityIndex now(after.records);
  const TAvailabilityIndex then(before != nullptr ? before->records : std::vector<TAvailabilityRecord>());
  changes.shortagesCompared = before != nullptr;
  changes.shortagesNow = changes.shortagesStarted = changes.shortagesEnded = 0;
  std::unordered_set<std::string> counted;
  for (const TArticleRow& article : articles) {
    if (!counted.insert(article.cip).second) continue;
    const auto speciality = specialityOf.find(article.cip);
    if (speciality == specialityOf.end()) continue;
    const bool shortNow = now.Of(speciality->second, article.cip).status == TAvailabilityStatus::kShortage;
    const bool shortThen = then.Of(speciality->second, article.cip).status == TAvailabilityStatus::kShortage;
    changes.shortagesNow += shortNow ? 1 : 0;
    if (!changes.shortagesCompared) continue;
    changes.shortagesStarted += shortNow && !shortThen ? 1 : 0;
    changes.shortagesEnded += shortThen && !shortNow ? 1 : 0;
  }
}

std::vector<std::string> ChangeLines(const TCatalogueChanges& changes) {
  std::vector<std::string> lines = {
      Fr("Articles : ") + std::to_string(changes.before) + Fr(" avant, ") + std::to_string(changes.after) +
          Fr(" maintenant"),
      Fr("Articles ajoutés : ") + std::to_string(changes.added),
      Fr("Articles retirés : ") + std::to_string(changes.withdrawn),
      Fr("Prix modifiés : ") + std::to_string(changes.pricesChanged),
  };
  if (changes.shortagesCompared) {
    lines.push_back(Fr("Ruptures commencées : ") + std::to_string(changes.shortagesStarted));
    lines.push_back(Fr("Ruptures terminées : ") + std::to_string(changes.shortagesEnded));
  } else {
    lines.push_back(Fr("Ruptures en cours : ") + std::to_string(changes.shortagesNow));
  }
  return lines;
}

}  // namespace quillor::update
