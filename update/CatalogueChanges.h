// What an update changed in the catalogue, told in a few lines: the articles
// added and withdrawn (by CIP), and those whose price changed, since the data
// used before it.
//
// Stateless; any thread.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "ArticleRows.h"

namespace quillor::update {

struct TCatalogueChanges {
  size_t before = 0;  // articles before
  size_t after = 0;   // articles after
  size_t added = 0;
  size_t withdrawn = 0;
  size_t pricesChanged = 0;  // articles in both whose price differs (one with none included)
  // A few of each, for the curious (designations as stored), at most kExamples.
  std::vector<std::string> addedExamples;
  std::vector<std::string> withdrawnExamples;
  std::vector<std::string> priceExamples;  // "DOLIPRANE 1000MG CPR B/8 : 1,16 -> 1,20"
};

inline constexpr size_t kExamples = 3;

// Compares two article lists; each CIP counts once (its first row).
TCatalogueChanges CompareCatalogues(const std::vector<TArticleRow>& before,
                                    const std::vector<TArticleRow>& after);

// The changes in French (Windows-1252), one line each: "Articles ajoutés : 12".
std::vector<std::string> ChangeLines(const TCatalogueChanges& changes);

}  // namespace quillor::update
