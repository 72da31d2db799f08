#include "CatalogueChanges.h"

#include <unordered_map>
#include <unordered_set>

#include "FrenchText.h"

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

std::vector<std::string> ChangeLines(const TCatalogueChanges& changes) {
  return {
      Fr("Articles : ") + std::to_string(changes.before) + Fr(" avant, ") + std::to_string(changes.after) +
          Fr(" maintenant"),
      Fr("Articles ajoutés : ") + std::to_string(changes.added),
      Fr("Articles retirés : ") + std::to_string(changes.withdrawn),
      Fr("Prix modifiés : ") + std::to_string(changes.pricesChanged),
  };
}

}  // namespace quillor::update
