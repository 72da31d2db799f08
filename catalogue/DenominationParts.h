// A speciality's denomination in the export ("DOLIPRANE 1000 mg, comprimé",
// folded: "DOLIPRANE 1000 MG, COMPRIME") cut into the parts a designation is
// made of:
//
//   name        the words before the first one that starts with a digit
//               ("DOLIPRANE", "BETADINE DERMIQUE"); the whole head when it
//               holds no digit ("FERVEX ADULTES SANS SUCRE")
//   strength    every quantity that follows, units abbreviated and glued to
//               their numbers ("1000MG", "2,4%", "125MG/5ML", "20MG/ML+5MG/ML",
//               "2X10^13VG/ML"), with the few words between two of them
//               ("40MG/ML ADRENALINE AU 1/100000")
//   qualifiers  the rest of the head ("ENFANTS ET NOURRISSONS SANS SUCRE")
//   form        the form that follows the first ", " (or the export's form
//               column when that gives none), abbreviated word by word up to
//               the first word the abbreviation table does not know
//               ("COMPRIME PELLICULE SECABLE" -> CPR)
//   essential   the form's words that tell how the product is taken or
//               released (LP, LM, EFF, ORODISP, CROQ, LYOPH, FILM, SUBL),
//               from the denomination or the form column: no designation
//               leaves them out
//
// Numbers are never cut: "10 000 000 000 000" is one number (written
// "10^13"), "750.000" is 750000 and "37.5" is 37,5. The head is the text
// before the first ", " (or a comma glued to a word), with the segments after
// it that start with a digit ("GIBITER EASYHALER, 160 MICROGRAMMES/4,5 ...").
// A denomination without a comma is cut where the form column's text begins.
// Stateless; any thread.
#pragma once

#include <string_view>

#include "catalogue/Words.h"

namespace quillor::catalogue {

struct DenominationParts {
  Words name;
  Words strength;
  Words qualifiers;
  Words form;
  Words essential;  // a subset of `form`, in its order
};

// REQUIRES: both texts folded to upper-case ASCII with single spaces.
DenominationParts ReadDenominationParts(std::string_view denomination, std::string_view formColumn);

// Strength words with every unit abbreviated and glued to the number before
// it, numbers written whole, and quantities joined by "+", "ET", "&" or "X"
// written as one word: "10 MG/2 ML" -> "10MG/2ML", "2,4 POUR CENT" ->
// "2,4%", "20 MG/ML + 5 MG/ML" -> "20MG/ML+5MG/ML", "1/100 000" -> "1/100000".
Words NormaliseStrength(const Words& words);

// Words with every number written whole, as designations write them: groups
// of three digits joined ("2 500" -> "2500", "5 600UI" -> "5600UI"), a
// decimal comma ("37.5" -> "37,5", but "750.000" -> "750000"), powers of ten
// from a million on ("10 000 000 000 000" -> "10^13").
Words WholeNumbers(const Words& words);

// The abbreviated form words of `text`, up to the first unknown word.
Words AbbreviateForm(std::string_view text);

// Whether a form word must stay in every designation (LP, EFF...).
bool IsEssentialFormWord(std::string_view word);

}  // namespace quillor::catalogue
