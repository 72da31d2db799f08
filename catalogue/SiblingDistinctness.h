// Articles of one speciality share its name, strength and form, so their
// designations differ only by their packs. Two presentations whose labels
// differ must stay distinguishable, yet their pack summaries may be the same
// ("flacon en verre de 30 ml" and "flacon polyethylene de 30 ml" are both
// FL/30ML), or the designation may lose what differs to fit its length. Such
// packs are extended with the words that tell the labels apart (at most
// kMaxTellingLength characters of them), and, where the labels differ only in
// the order of their words, with a number: "(2)", "(3)"...
//
// Labels are compared as folded (accents, case and spacing do not count).
// Stateless; any thread.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "CatalogueImport.h"

namespace quillor::catalogue {

inline constexpr size_t kMaxTellingLength = 16;

// `packs[i]` is the pack summary of `siblings[i]` (one speciality's articles)
// and `designationOf` makes a designation of a pack. Extends packs until
// every two siblings with different labels get different designations.
// Returns how many packs were extended.
size_t MakeSiblingsDistinct(const std::vector<Article>& siblings, std::vector<std::string>& packs,
                            const std::function<std::string(const std::string& pack)>& designationOf);

}  // namespace quillor::catalogue
