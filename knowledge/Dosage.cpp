#include "knowledge/Dosage.h"

#include <array>

namespace quillor {
namespace {

constexpr size_t kMaxDigits = 18;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

TDecimal Normalised(int64_t mantissa, int32_t exponent) {
  if (mantissa == 0) return {};
  while (mantissa % 10 == 0) {
    mantissa /= 10;
    ++exponent;
  }
  return {mantissa, exponent};
}

struct TUnitName {
  std::string_view spelling;
  std::string_view name;
  int32_t milligramShift;  // the power of ten to milligrams; kNotMass for other units
};
constexpr int32_t kNotMass = 100;

constexpr std::array<TUnitName, 31> kUnits = {{
    {"G", "MG", 3},
    {"GRAMME", "MG", 3},
    {"GRAMMES", "MG", 3},
    {"MG", "MG", 0},
    {"MILLIGRAMME", "MG", 0},
    {"MILLIGRAMMES", "MG", 0},
    {"MCG", "MG", -3},
    {"UG", "MG", -3},
    {"MICROGRAMME", "MG", -3},
    {"MICROGRAMMES", "MG", -3},
    {"NG", "MG", -6},
    {"NANOGRAMME", "MG", -6},
    {"NANOGRAMMES", "MG", -6},
    {"KG", "MG", 6},
    {"UI", "UI", kNotMass},
    {"U.I.", "UI", kNotMass},
    {"U", "U", kNotMass},
    {"UNITE", "U", kNotMass},
    {"UNITES", "U", kNotMass},
    {"ML", "ML", kNotMass},
    {"MILLILITRE", "ML", kNotMass},
    {"MILLILITRES", "ML", kNotMass},
    {"L", "L", kNotMass},
    {"%", "%", kNotMass},
    {"MMOL", "MMOL", kNotMass},
    {"MEQ", "MEQ", kNotMass},
    {"CH", "CH", kNotMass},
    {"DH", "DH", kNotMass},
    {"MBQ", "MBQ", kNotMass},
    {"GBQ", "GBQ", kNotMass},
    {"KBQ", "KBQ", kNotMass},
}};

const TUnitName* FindUnit(std::string_view word) {
  for (const TUnitName& unit : kUnits) {
    if (unit.spelling == word) return &unit;
  }
  return nullptr;
}

// Reads a number at the start of `text`; `used` is how many bytes it took.
std::optional<TDecimal> ReadNumber(std::string_view text, bool groups, size_t& used) {
  int64_t mantissa = 0;
  int32_t exponent = 0;
  size_t digits = 0;
  size_t at = 0;
  // Past kMaxDigits the mantissa would overflow: the number is refused.
  auto take = [&](char c) {
    if (++digits <= kMaxDigits) mantissa = mantissa * 10 + (c - '0');
  };
  while (at < text.size() && IsDigit(text[at])) take(text[at++]);
  if (digits == 0) return std::nullopt;
  // "100 000": groups of exactly three digits after a space.
  while (groups && at + 4 <= text.size() && text[at] == ' ' && IsDigit(text[at + 1]) &&
         IsDigit(text[at + 2]) && IsDigit(text[at + 3]) &&
         (at + 4 == text.size() || !IsDigit(text[at + 4]))) {
    take(text[at + 1]);
    take(text[at + 2]);
    take(text[at + 3]);
    at += 4;
  }
  if (at + 1 < text.size() && (text[at] == ',' || text[at] == '.') && IsDigit(text[at + 1])) {
    ++at;
    while (at < text.size() && IsDigit(text[at])) {
      take(text[at++]);
      --exponent;
    }
  }
  if (digits > kMaxDigits) return std::nullopt;
  used = at;
  return Normalised(mantissa, exponent);
}

TDosage MakeDosage(TDecimal number, std::string_view unitWord) {
  TDosage dosage;
  dosage.written = number;
  if (unitWord.empty()) return dosage;
  const TUnitName* unit = FindUnit(unitWord);
  if (unit == nullptr) {
    dosage.unit = std::string(unitWord);
    return dosage;
  }
  dosage.unit = std::string(unit->name);
  if (unit->milligramShift != kNotMass) {
    dosage.mass = true;
    dosage.milligrams = Normalised(number.mantissa, number.exponent + unit->milligramShift);
  }
  return dosage;
}

}  // namespace

std::optional<TDecimal> ParseDecimal(std::string_view text, bool groups) {
  size_t used = 0;
  std::optional<TDecimal> number = ReadNumber(text, groups, used);
  if (!number || used != text.size()) return std::nullopt;
  return number;
}

bool IsUnitWord(std::string_view word) {
  return FindUnit(word) != nullptr;
}

std::optional<TDosage> ParseCompositionDosage(std::string_view folded) {
  while (!folded.empty() && folded.front() == ' ') folded.remove_prefix(1);
  size_t used = 0;
  const std::optional<TDecimal> number = ReadNumber(folded, true, used);
  if (!number) return std::nullopt;
  std::string_view rest = folded.substr(used);
  // A digit right after the number is a second number ("1-2"), not a unit.
  if (!rest.empty() && (IsDigit(rest.front()) || rest.front() == ',' || rest.front() == '.'))
    return std::nullopt;
  while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
  const size_t end = rest.find_first_of(" (");
  std::string_view unit = rest.substr(0, end);
  if (!unit.empty() && IsDigit(unit.front())) unit = {};
  return MakeDosage(*number, unit);
}

std::optional<TDosage> ParseSearchedDosage(std::string_view number, std::string_view unit) {
  size_t used = 0;
  const std::optional<TDecimal> value = ReadNumber(number, false, used);
  if (!value) return std::nullopt;
  const std::string_view glued = number.substr(used);
  if (!glued.empty() && !unit.empty()) return std::nullopt;
  const std::string_view unitWord = glued.empty() ? unit : glued;
  if (!unitWord.empty() && !IsUnitWord(unitWord)) return std::nullopt;
  return MakeDosage(*value, unitWord);
}

bool DosageMatches(const TDosage& searched, const TDosage& composition) {
  if (searched.unit.empty()) {
    return composition.written == searched.written ||
           (composition.mass && composition.milligrams == searched.written);
  }
  if (searched.mass) return composition.mass && composition.milligrams == searched.milligrams;
  return composition.unit == searched.unit && composition.written == searched.written;
}

}  // namespace quillor
