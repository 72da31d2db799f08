// Articles of one speciality share its name, strength and form, so their
// designations differ only by their packs. Two presentations whose labels
// differ must stay distinguishable, yet their pack summaries may be the same
// ("flacon en verre de 30 ml" and "flacon polyethylene de 30 ml" are both
// FL/30ML), or the designation may lose what differs to fit its length. Such
// packs are extended with the words that tell the labels apart (at most
// kMaxTellingLength characters of them). A telling word says something: never
// a bare number, a unit alone, a little word (DANS, LE...) or the date a
// presentation was abrogated. Labels that differ only in the order of their
// words, or in a parallel distributor's name, are one product: their
// articles share a designation, and their CIPs tell them apart.
//
// The same holds across specialities: two specialities may read alike once
// shortened ("ZOLMITRIPTAN SANDOZ 2,5 mg, comprimé pelliculé" and "...,
// comprimé orodispersible", a pen and a syringe of one medicine, two
// laboratories' generics whose laboratory did not fit), and what tells them
// apart is then taken from the denomination as well as the label.
//
// Texts are compared as folded (accents, case and spacing do not count).
// Stateless; any thread.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "catalogue/CatalogueImport.h"

namespace quillor::catalogue {

inline constexpr size_t kMaxTellingLength = 16;

// `sources[i]` is what the export says of article i (its
// label, or its denomination followed by its label), `packs[i]` its pack and
// `designationOf(i, pack)` the designation article i gets with that pack.
// Extends packs until every two articles whose sources differ by a telling
// word get different designations. A `designationOf` that refuses a longer
// pack (returns the designation it had) leaves its articles sharing a
// designation. Returns how many articles got another designation.
size_t MakeDistinct(const std::vector<std::string>& sources, std::vector<std::string>& packs,
                    const std::function<std::string(size_t article, const std::string& pack)>& designationOf);

// A label without what does not make another product: a parallel
// distributor's name, the date its presentation was abrogated.
std::string ProductLabel(std::string label);

// What a blister or a bottle is made of (PVC, ALUMINIUM, THERMOFORMEE...).
bool IsMaterialWord(const std::string& word);

// The label without its material words: what another speciality's article
// is compared on (two registrations of one medicine in blisters of other
// materials are one product).
std::string WithoutMaterials(const std::string& label);

}  // namespace quillor::catalogue
