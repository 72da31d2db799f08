// What an update changed in the catalogue, told in a few lines: the articles
// added and withdrawn (by CIP), those whose price changed, and the shortages
// ("Rupture de stock" in the medicines agency's file) that started and ended,
// since the data used before it.
//
// Stateless; any thread.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "knowledge/KnowledgeFiles.h"
#include "update/ArticleRows.h"

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

  // The new catalogue's articles in shortage, and how that changed; when the
  // data before told no availability, only those now are known.
  bool shortagesCompared = false;
  size_t shortagesNow = 0;
  size_t shortagesStarted = 0;  // in shortage now, not before
  size_t shortagesEnded = 0;    // in shortage before, not now
};

inline constexpr size_t kExamples = 3;

// Compares two article lists; each CIP counts once (its first row).
TCatalogueChanges CompareCatalogues(const std::vector<TArticleRow>& before,
                                    const std::vector<TArticleRow>& after);

// Counts the shortages of the new catalogue's `articles` (the speciality of
// each in `specialities`) after, and, when `before` is given, before.
void CompareShortages(const std::vector<TArticleRow>& articles,
                      const std::vector<TArticleSpeciality>& specialities, const TAvailabilityFile* before,
                      const TAvailabilityFile& after, TCatalogueChanges& changes);

// The changes in French (Windows-1252), one line each: "Articles ajoutés : 12".
std::vector<std::string> ChangeLines(const TCatalogueChanges& changes);

}  // namespace quillor::update
