#include "database/ExactSearchMemory.h"

#include "database/ArticleSearch.h"

namespace quillor {

bool TExactSearchMemory::Search(TMyDatabase& table, const std::string& query) {
  if (query.empty()) return false;
  const TKept* from = RestoreClosest(table, query);
  if (from == nullptr) {
    SearchArticles(table, query, false);
  } else if (from->query != query) {
    // The kept result already holds every word of its query, so only the
    // words that differ at their place, and the words added after them, are
    // searched, in the query's order: a word that is no valid pattern stops
    // where the whole search would stop, with the same selection.
    NarrowByWords(table, query, from->query);
  }
  Keep(query, table.SaveSelection());
  return true;
}

const TExactSearchMemory::TKept* TExactSearchMemory::RestoreClosest(TMyDatabase& table,
                                                                    const std::string& query) const {
  const TKept* closest = nullptr;
  for (const TKept& kept : fKept) {
    if (kept.query == query) {
      closest = &kept;
      break;
    }
    if (ExactResultWithin(query, kept.query) &&
        (closest == nullptr || kept.result.selection.size() < closest->result.selection.size()))
      closest = &kept;
  }
  if (closest != nullptr && !table.RestoreSelection(closest->result)) return nullptr;
  return closest;
}

void TExactSearchMemory::Keep(const std::string& query, TSelectionSnapshot result) {
  for (auto it = fKept.begin(); it != fKept.end(); ++it) {
    if (it->query == query) {
      fKept.erase(it);
      break;
    }
  }
  fKept.push_front(TKept{query, std::move(result)});
  if (fKept.size() > kKeptResults) fKept.pop_back();
}

}  // namespace quillor
