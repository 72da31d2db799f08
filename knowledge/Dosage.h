// Dosages as the composition file writes them ("1000 MG", "1,00 MG", "1 G",
// "100 000 UI", "500 MICROGRAMMES") and as a pharmacist types them in a
// search ("1000", "1G", "500 MG", "0,5G", "2,5"), compared exactly: numbers
// are decimal (mantissa and power of ten), never binary floating point, so
// that 0,5 G is 500 MG exactly.
//
// Masses are converted: grams, milligrams, micrograms, nanograms and
// kilograms, in any of their spellings (G, GRAMME(S), MG, MILLIGRAMME(S),
// MCG, µG (folded MCG), UG, MICROGRAMME(S), NG, KG), all become milligrams.
// Other units are compared by their folded name (UI, ML, %, CH...), with
// U.I. read as UI and UNITE(S) as U.
//
// Plain values and functions on folded upper-case ASCII; any thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillor {

// mantissa x 10^exponent, with no trailing zero in the mantissa (zero is 0 x 10^0).
struct TDecimal {
  int64_t mantissa = 0;
  int32_t exponent = 0;
  friend bool operator==(const TDecimal&, const TDecimal&) = default;
};

// Digits with at most one ',' or '.' between digits ("1000", "0,5", "2.5");
// thousands written with single spaces between groups of three ("100 000")
// when `groups` is set. nullopt for anything else or more than 18 digits.
std::optional<TDecimal> ParseDecimal(std::string_view text, bool groups = false);

struct TDosage {
  TDecimal written;     // the number as written
  std::string unit;     // as normalised ("MG" for every mass), or empty
  bool mass = false;    // a mass: `milligrams` holds it
  TDecimal milligrams;  // the mass in milligrams
  friend bool operator==(const TDosage&, const TDosage&) = default;
};

// The dosage that a composition line's text starts with: a number (with
// thousands groups), then the first word after it as its unit when there is
// one ("1 000 MG (1 DH)" is 1000 MG). nullopt when the text does not start
// with a number ("2CH A 30CH" starts with 2 CH; "QSP 1 IR" has none).
std::optional<TDosage> ParseCompositionDosage(std::string_view folded);

// The normalised name of a unit word (G, MG, UI, ML...); whether it is one
// that a search may write after a number.
bool IsUnitWord(std::string_view word);

// A number typed in a search, with the unit glued to it or given apart:
// ("1000", ""), ("1G", ""), ("500", "MG"), ("0,5G", ""). nullopt when `number`
// does not start with a digit or what follows the digits is no unit.
std::optional<TDosage> ParseSearchedDosage(std::string_view number, std::string_view unit = {});

// Whether a typed dosage matches a composition's: a mass typed with its unit
// matches the same mass in any of its units; another unit the same number in
// the same unit; a number without unit matches a dosage written with that
// number (in any unit) or a mass of that many milligrams (1000 matches 1 G).
bool DosageMatches(const TDosage& searched, const TDosage& composition);

}  // namespace quillor
