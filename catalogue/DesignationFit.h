// A designation of at most kDesignationMaxLength characters made of a
// speciality's parts and a pack: NAME STRENGTH QUALIFIERS FORM PACK.
//
// Every strength with its unit, the form's essential words (LP, LM, EFF,
// ORODISP, CROQ, LYOPH, FILM, SUBL) and the pack always stay. When everything
// does not fit, the designation loses, in this order and only as far as
// needed: the qualifiers' words are abbreviated; the form keeps its first
// word and its essential words; the qualifiers go, from the last; the words
// between two quantities are abbreviated ("ADRENALINE" -> "ADRE"); the
// strength is written once per unit ("10MG/160MG/25MG" -> "10/160/25MG",
// "20MG/ML+5MG/ML" -> "20+5MG/ML"); the form keeps only its essential words.
// Only then is the name touched, each time trying the steps above again:
// its words are abbreviated by the table from the last one (the laboratory's
// name usually comes last), a word the name already says is left out ("EG
// LABO LABORATOIRES EUROGENERICS" -> "EG LABO"), its little words (DE, LA...)
// go, and its long words are cut to their first five letters
// ("PHENIRAMINE" -> "PHENI"), from the last one. Nothing is cut inside a
// number.
//
// A designation that still does not fit leaves out, as a last resort, the
// name's last words, then the form's essential words, then the strength, and
// says what it lost (FittedDesignation::lost); the import reports it.
//
// Stateless; any thread.
#pragma once

#include <cstddef>
#include <string>

#include "catalogue/DenominationParts.h"

namespace quillor::catalogue {

// The widest designation that still leaves the window's price column in view.
inline constexpr size_t kDesignationMaxLength = 40;

struct FittedDesignation {
  std::string text;
  bool nameWhole = true;     // false when the name was abbreviated or shortened
  bool nameCut = false;      // words of the name were left out
  size_t nameWordsKept = 0;  // how many words of the name it shows
  bool strengthKept = true;  // false when the strength had to go
  std::string lost;          // what the designation could not hold, in words, or ""
  // How much it lost: 0 nothing, 1 words of the name, 2 letters of the name's
  // first word or the form's essential words, 3 the strength.
  int lossRank = 0;
};

FittedDesignation FitDesignation(const DenominationParts& parts, const std::string& pack,
                                 size_t maxLength = kDesignationMaxLength);

// The designation with `pack`, unless it loses something (words of the name,
// a strength, an essential word) that the designation with `basePack` keeps:
// then the designation with `basePack`. Lets a pack grow where that costs at
// most abbreviations.
FittedDesignation FitDesignationNoWorse(const DenominationParts& parts, const std::string& pack,
                                        const std::string& basePack);

// Of a designation with a grown pack and one with its base pack, the grown
// one unless it loses more: the choice FitDesignationNoWorse makes.
const FittedDesignation& NoWorse(const FittedDesignation& grown, const FittedDesignation& base);

// "10MG/160MG/25MG" -> "10/160/25MG", "20MG/ML+5MG/ML" -> "20+5MG/ML" when
// every quantity has the same unit; otherwise the strength as it is.
Words CompactStrength(const Words& strength);

// A word of a name or a qualifier with the table's abbreviations of its parts
// around '/', '\'' and '-': "AMOXICILLINE/ACIDE" -> "AMOX/AC".
std::string AbbreviateNameWord(const std::string& word);

}  // namespace quillor::catalogue
