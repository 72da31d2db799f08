// A speciality's denomination in the export ("DOLIPRANE 1000 mg, comprimé",
// folded: "DOLIPRANE 1000 MG, COMPRIME") cut into the parts a designation is
// made of:
//
//   name        the words before the first one that starts with a digit
//               ("DOLIPRANE", "BETADINE DERMIQUE"); the whole head when it
//               holds no digit ("FERVEX ADULTES SANS SUCRE")
//   strength    the run of quantities that follows, units abbreviated and
//               glued to their numbers ("1000MG", "2,4%", "125MG/5ML")
//   qualifiers  the rest of the head ("ENFANTS ET NOURRISSONS SANS SUCRE")
//   form        the form that follows the first ", " (or the export's form
//               column when that gives none), abbreviated word by word up to
//               the first word the abbreviation table does not know
//               ("COMPRIME PELLICULE SECABLE" -> CPR PELL SEC)
//
// The head is the text before the first ", ", with the segments after it that
// start with a digit ("GIBITER EASYHALER, 160 MICROGRAMMES/4,5 ..."). A
// denomination without a comma is cut where the form column's text begins.
// Stateless; any thread.
#pragma once

#include <string_view>

#include "Words.h"

namespace quillor::catalogue {

struct DenominationParts {
  Words name;
  Words strength;
  Words qualifiers;
  Words form;
};

// REQUIRES: both texts folded to upper-case ASCII with single spaces.
DenominationParts ReadDenominationParts(std::string_view denomination, std::string_view formColumn);

// Strength words with every unit abbreviated and glued to the number before
// it: "10 MG/2 ML" -> "10MG/2ML", "2,4 POUR CENT" -> "2,4%".
Words NormaliseStrength(const Words& words);

// The abbreviated form words of `text`, up to the first unknown word.
Words AbbreviateForm(std::string_view text);

}  // namespace quillor::catalogue
