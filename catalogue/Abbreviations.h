// The one table of abbreviations the import uses to write designations in
// the style of a French pharmacy catalogue ("DOLIPRANE 1000MG CPR B/8").
// data/README.md lists it; a test holds the two together.
//
// Words are looked up in the export's folded spelling (upper-case ASCII). A
// word also matches without its plural or feminine marks: "COMPRIME(S)",
// "COMPRIMES" and "COMPRIMEE" all find "COMPRIME".
//
// Read-only data; any thread.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace quillor::catalogue {

enum class AbbreviationKind {
  kUnit,        // units of strengths and contents, always abbreviated: MICROGRAMMES -> MCG
  kForm,        // words of a pharmaceutical form, always abbreviated: COMPRIME -> CPR
  kFormFiller,  // words a form is written without: POUR, EN, A, DE...
  kContainer,   // what a pack is made of: PLAQUETTE -> B (a box of blisters), FLACON -> FL
  kCountUnit,   // what a pack counts: COMPRIME -> "" (B/30), DOSE -> DOS (FL/200DOS)
  kMaterial,    // what a pack is made of, when it alone tells two packs apart: VERRE -> VER
  kNameWord,    // words of names and qualifiers, shortened only when a designation is too long
};

struct Abbreviation {
  std::string_view word;          // folded, singular; may hold a space ("POUR CENT")
  std::string_view abbreviation;  // may be empty: the word is left out
  AbbreviationKind kind;
};

std::span<const Abbreviation> AbbreviationTable();

// The entry of that kind for `word` (tried as written, then without "(S)",
// "(E)" and the like, then without a final S, then without a final E), or
// nullptr.
const Abbreviation* FindAbbreviation(std::string_view word, AbbreviationKind kind);

}  // namespace quillor::catalogue
