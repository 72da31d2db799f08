// A designation of at most kDesignationMaxLength characters made of a
// speciality's parts and a pack: NAME STRENGTH QUALIFIERS FORM PACK.
//
// When everything does not fit, the designation loses, in this order and only
// as far as needed: the qualifiers' words are abbreviated; the form keeps its
// first word; the qualifiers go, from the last; the strength is written once
// per unit ("10MG/160MG/25MG" -> "10/160/25MG"); the form goes. Only then is
// the name touched: its words are abbreviated from the last one, then (a last
// resort) its last words are left out; each time the steps above are tried
// again with the shorter name. Nothing is cut inside a word. The pack always
// stays, since it tells siblings apart; the strength goes only where even the
// shortest name with the strength and the pack would not fit.
//
// Stateless; any thread.
#pragma once

#include <cstddef>
#include <string>

#include "DenominationParts.h"

namespace quillor::catalogue {

// The widest designation that still leaves the window's price column in view.
inline constexpr size_t kDesignationMaxLength = 40;

struct FittedDesignation {
  std::string text;
  bool nameWhole = true;     // false when the name was abbreviated or shortened
  bool nameCut = false;      // words of the name were left out
  size_t nameWordsKept = 0;  // how many words of the name it shows
  bool strengthKept = true;  // false when the strength had to go
};

FittedDesignation FitDesignation(const DenominationParts& parts, const std::string& pack,
                                 size_t maxLength = kDesignationMaxLength);

// The designation with `pack`, unless it shows fewer words of the name than
// the designation with `basePack`, or loses a strength that one keeps: then
// the designation with `basePack`. Lets a pack grow only where it fits.
FittedDesignation FitDesignationNoWorse(const DenominationParts& parts, const std::string& pack,
                                        const std::string& basePack);

// "10MG/160MG/25MG" -> "10/160/25MG" when every quantity has the same unit;
// otherwise the strength as it is.
Words CompactStrength(const Words& strength);

}  // namespace quillor::catalogue
