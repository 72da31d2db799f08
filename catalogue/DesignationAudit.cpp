#include "catalogue/DesignationAudit.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>

#include "catalogue/Abbreviations.h"
#include "catalogue/Words.h"

namespace quillor::catalogue {
namespace {

bool IsLetter(char c) {
  return c >= 'A' && c <= 'Z';
}

// ---------------------------------------------------------------------------
// Units, as the export spells them and as a designation may write them, each
// with the one spelling the audit compares.

struct UnitSpelling {
  std::string_view text;
  std::string_view unit;
};

constexpr UnitSpelling kUnitSpellings[] = {
    {"MILLIONS D'UNITES INTERNATIONALES", "MUI"},
    {"MILLION D'UNITES INTERNATIONALES", "MUI"},
    {"MILLIONS D'UI", "MUI"},
    {"MILLIONS U.I.", "MUI"},
    {"MILLIONS UI", "MUI"},
    {"MILLIONS U", "MU"},
    {"UNITES INTERNATIONALES", "UI"},
    {"UNITE INTERNATIONALE", "UI"},
    {"MILLIGRAMMES", "MG"},
    {"MILLIGRAMME", "MG"},
    {"MICROGRAMMES", "MCG"},
    {"MICROGRAMME", "MCG"},
    {"NANOGRAMMES", "NG"},
    {"NANOGRAMME", "NG"},
    {"GRAMMES", "G"},
    {"GRAMME", "G"},
    {"MILLILITRES", "ML"},
    {"MILLILITRE", "ML"},
    {"MICROLITRES", "MCL"},
    {"MICROLITRE", "MCL"},
    {"LITRES", "L"},
    {"LITRE", "L"},
    {"POUR CENT", "%"},
    {"M.U.I.", "MUI"},
    {"M.U.I", "MUI"},
    {"M UI", "MUI"},
    {"U.I.", "UI"},
    {"U.I", "UI"},
    {"UNITES", "U"},
    {"UNITE", "U"},
    {"HEURES", "H"},
    {"HEURE", "H"},
    {"MMOL", "MMOL"},
    {"MEQ", "MEQ"},
    {"MBQ", "MBQ"},
    {"GBQ", "GBQ"},
    {"KBQ", "KBQ"},
    {"KUI", "KUI"},
    {"UIK", "UIK"},
    {"MUI", "MUI"},
    {"MCG", "MCG"},
    {"MCL", "MCL"},
    {"BAR", "BAR"},
    {"PPM", "PPM"},
    {"CM2", "CM2"},
    {"MU", "MU"},
    {"MG", "MG"},
    {"NG", "NG"},
    {"KG", "KG"},
    {"ML", "ML"},
    {"UI", "UI"},
    {"IR", "IR"},
    {"CM", "CM"},
    {"CH", "CH"},
    {"DH", "DH"},
    {"G", "G"},
    {"L", "L"},
    {"U", "U"},
    {"H", "H"},
    {"%", "%"},
};

// What a quantity is given per, after a '/': "MG/ML", "MCG/DOSE".
constexpr UnitSpelling kPerSpellings[] = {
    {"MILLILITRE", "ML"}, {"DOSES", "DOSE"}, {"DOSE", "DOSE"}, {"DOS", "DOSE"}, {"ML", "ML"},
    {"KG", "KG"},         {"G", "G"},        {"L", "L"},       {"H", "H"},      {"CM2", "CM2"},
};

// The longest spelling of `table` at `at` that ends a word, or nothing.
template <size_t N>
std::optional<std::pair<std::string_view, size_t>> SpellingAt(const UnitSpelling (&table)[N],
                                                              std::string_view text, size_t at) {
  std::optional<std::pair<std::string_view, size_t>> best;
  for (const UnitSpelling& spelling : table) {
    if (text.compare(at, spelling.text.size(), spelling.text) != 0) continue;
    const size_t end = at + spelling.text.size();
    if (end < text.size() && (IsLetter(text[end]) || IsDigit(text[end]))) continue;
    if (!best || spelling.text.size() > best->second - at) best = std::make_pair(spelling.unit, end);
  }
  return best;
}

// ---------------------------------------------------------------------------
// Numbers of a text: "10 000 000" and "750.000" are one number each, written
// in groups; "10^13" and "10<SUP>6</SUP>" are powers of ten.

struct Number {
  std::string value;                // digits without leading zeros, then ",decimals" without trailing zeros
  std::vector<std::string> pieces;  // the values of its leading groups ("10", "10000" of 10 000 000)
  size_t begin = 0;
  size_t end = 0;  // past the number, its unit and what it is per
  std::string unit;
  std::string per;
  bool bracketed = false;
  bool afterSlash = false;  // written after a '/' ("/2 ML", "1/100 000")
  char joinedBy = 0;        // '/' or '+' when the next number follows with only that between
};

std::string Canonical(std::string digits, std::string decimals) {
  const size_t first = digits.find_first_not_of('0');
  digits = first == std::string::npos ? "0" : digits.substr(first);
  while (!decimals.empty() && decimals.back() == '0') decimals.pop_back();
  return decimals.empty() ? digits : digits + "," + decimals;
}

bool DigitsAt(std::string_view text, size_t at, size_t count) {
  if (at + count > text.size()) return false;
  for (size_t i = at; i < at + count; ++i) {
    if (!IsDigit(text[i])) return false;
  }
  return true;
}

std::vector<Number> ScanNumbers(std::string_view text) {
  std::vector<Number> numbers;
  int depth = 0;
  size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c == '(' || c == '[') ++depth;
    if ((c == ')' || c == ']') && depth > 0) --depth;
    // Digits glued to letters belong to a word ("B12", "D3"), except the
    // quantity of a pack "2X0,5ML"; the decimals of a number are not another.
    const char before = i > 0 ? text[i - 1] : ' ';
    const bool packQuantity = before == 'X' && i > 1 && IsDigit(text[i - 2]);
    const bool inDecimals = (before == ',' || before == '.') && i > 1 && IsDigit(text[i - 2]);
    // "LP.8.1", "BA.4-5": a variant's name; but "ANTI-XA/0,4 ML" has a quantity.
    size_t token = i;
    while (token > 0 && text[token - 1] != ' ') --token;
    const bool inName = (before == '.' && i > 1 && IsLetter(text[i - 2])) ||
                        (IsLetter(text[token]) && before != '/' && before != '(');
    const bool starts =
        IsDigit(c) && !inDecimals && !inName && (packQuantity || !(IsLetter(before) || IsDigit(before)));
    if (!starts) {
      ++i;
      continue;
    }
    Number number;
    number.begin = number.end = i;
    number.bracketed = depth > 0;
    size_t j = i;
    while (j < text.size() && IsDigit(text[j])) ++j;
    std::string digits(text.substr(i, j - i));
    // Groups of three digits after a space or a point: thousands. The export
    // writes no quantity "2 100": "MAG 2 100 MG" is the product's 2 and 100 mg.
    // A name of one letter takes its number ("A 313 200 000 UI").
    const bool oneLetterName = i == 2 && IsLetter(text[0]) && text[1] == ' ' && j - i > 1;
    while (j + 3 < text.size() + 0 && (text[j] == ' ' || text[j] == '.') && DigitsAt(text, j + 1, 3) &&
           (j + 4 == text.size() || !IsDigit(text[j + 4])) && !(text[j] == '.' && digits == "0") &&
           !(number.pieces.empty() && text.compare(j + 1, 3, "100") == 0) && !oneLetterName) {
      number.pieces.push_back(Canonical(digits, ""));
      digits += text.substr(j + 1, 3);
      j += 4;
    }
    std::string decimals;
    if (j + 1 < text.size() && (text[j] == ',' || text[j] == '.') && IsDigit(text[j + 1])) {
      size_t k = j + 1;
      while (k < text.size() && IsDigit(text[k])) ++k;
      decimals = std::string(text.substr(j + 1, k - j - 1));
      j = k;
    }
    // Powers of ten.
    size_t exponent = 0;
    bool power = false;
    for (std::string_view open : {std::string_view("<SUP>"), std::string_view("^")}) {
      if (power || text.compare(j, open.size(), open) != 0) continue;
      size_t k = j + open.size();
      const size_t start = k;
      while (k < text.size() && IsDigit(text[k])) ++k;
      if (k == start || k - start > 2) continue;
      exponent = static_cast<size_t>(std::stoi(std::string(text.substr(start, k - start))));
      if (open == "<SUP>" && text.compare(k, 6, "</SUP>") == 0) k += 6;
      power = true;
      j = k;
    }
    number.value = Canonical(digits, decimals);
    if (power && decimals.empty()) {
      if (number.value == "10") {
        number.value = "1" + std::string(exponent, '0');
      } else {
        number.value += std::string(exponent, '0');
      }
    }
    // Its unit, glued or after one space, and what it is per.
    size_t k = j < text.size() && text[j] == ' ' ? j + 1 : j;
    if (auto unit = SpellingAt(kUnitSpellings, text, k)) {
      number.unit = unit->first;
      j = unit->second;
      size_t slash = j < text.size() && text[j] == ' ' ? j + 1 : j;
      if (slash < text.size() && text[slash] == '/') {
        size_t after = slash + 1 < text.size() && text[slash + 1] == ' ' ? slash + 2 : slash + 1;
        if (auto per = SpellingAt(kPerSpellings, text, after)) {
          number.per = per->first;
          j = per->second;
        }
      }
    }
    number.end = j;
    // Written after a '/'?
    size_t back = i;
    while (back > 0 && text[back - 1] == ' ') --back;
    number.afterSlash = back > 0 && text[back - 1] == '/';
    numbers.push_back(std::move(number));
    i = j;
  }
  // "10/40MG", "2+3+4MG": a bare number takes the unit of the one it is joined to.
  for (size_t n = 0; n + 1 < numbers.size(); ++n) {
    size_t k = numbers[n].end;
    while (k < numbers[n + 1].begin && text[k] == ' ') ++k;
    if (k < numbers[n + 1].begin && (text[k] == '/' || text[k] == '+')) {
      size_t next = k + 1;
      while (next < numbers[n + 1].begin && text[next] == ' ') ++next;
      if (next == numbers[n + 1].begin) numbers[n].joinedBy = text[k];
    }
  }
  for (size_t n = numbers.empty() ? 0 : numbers.size() - 1; n-- > 0;) {
    if (numbers[n].unit.empty() && numbers[n].joinedBy != 0 && !numbers[n + 1].unit.empty()) {
      numbers[n].unit = numbers[n + 1].unit;
      numbers[n].per = numbers[n + 1].per;
    }
  }
  return numbers;
}

// ---------------------------------------------------------------------------
// The denomination's head: its name and strengths, before the form.

bool WholeWordAt(std::string_view text, size_t at, size_t size) {
  return (at == 0 || text[at - 1] == ' ') && (at + size == text.size() || text[at + size] == ' ' ||
                                              text[at + size] == ',' || text[at + size] == '.');
}

std::string_view HeadOf(std::string_view denomination, std::string_view form) {
  for (size_t comma = denomination.find(','); comma != std::string_view::npos;
       comma = denomination.find(',', comma + 1)) {
    size_t next = comma + 1;
    if (next < denomination.size() && denomination[next] == ' ') ++next;
    if (comma > 0 && IsDigit(denomination[comma - 1]) && next == comma + 1) continue;  // "2,5"
    if (next < denomination.size() && !IsDigit(denomination[next])) return denomination.substr(0, comma);
  }
  if (!form.empty()) {
    for (size_t at = denomination.find(form); at != std::string_view::npos;
         at = denomination.find(form, at + 1)) {
      if (at > 0 && WholeWordAt(denomination, at, form.size())) return denomination.substr(0, at);
    }
  }
  return denomination;
}

// The strengths that must stay: numbers of the head outside brackets (those
// in brackets say the strength again in other units), or the bracketed ones
// when there is no other; and those of the same product named again further
// on ("JINARC 30 MG, COMPRIME + JINARC 60 MG, COMPRIME").
std::vector<Number> Strengths(std::string_view head, std::string_view denomination, std::string_view name) {
  std::vector<Number> all = ScanNumbers(head);
  if (name.size() >= 3) {
    for (size_t at = denomination.find(name, head.size()); at != std::string_view::npos;
         at = denomination.find(name, at + name.size())) {
      const size_t start = at + name.size();
      if (start >= denomination.size() || denomination[start] != ' ' || start + 1 >= denomination.size() ||
          !IsDigit(denomination[start + 1])) {
        continue;
      }
      const size_t end = denomination.find(',', start);
      for (Number n :
           ScanNumbers(denomination.substr(start, end == std::string_view::npos ? end : end - start))) {
        all.push_back(std::move(n));
      }
    }
  }
  // "(300 UI + 150 UI)/0,48 ML": brackets before any other number hold the strength.
  std::vector<Number> kept;
  bool plainSeen = false;
  for (const Number& n : all) {
    plainSeen = plainSeen || !n.bracketed;
    if (!n.bracketed || !plainSeen) kept.push_back(n);
  }
  return kept;
}

bool IsVolumeUnit(std::string_view unit) {
  return unit == "ML" || unit == "L" || unit == "H" || unit == "G" || unit == "MCL";
}

// ---------------------------------------------------------------------------
// Words.

std::string StemPart(std::string word);

// "SACHETS-DOSES" -> "SACHET-DOSE", "COMPRIMES.CONDITIONNEMENT" -> "COMPRIME".
std::string Stem(std::string word) {
  const size_t point = word.find('.');
  if (point != std::string::npos && point >= 4 && point + 1 < word.size() && IsLetter(word[point + 1]) &&
      (point + 2 >= word.size() || word[point + 2] != '.')) {
    word.resize(point);
  }
  std::string stem;
  size_t start = 0;
  while (true) {
    const size_t hyphen = word.find('-', start);
    if (!stem.empty()) stem += '-';
    stem += StemPart(word.substr(start, hyphen == std::string::npos ? hyphen : hyphen - start));
    if (hyphen == std::string::npos) break;
    start = hyphen + 1;
  }
  return stem;
}

std::string StemPart(std::string word) {
  // "COMPRIME(S)", "SACHET(S)-DOSE(S)", "PREREMPLIE(S)": marks in brackets.
  // "COMPRIME(S)(COFFRET": what follows a longer bracket is another word.
  std::string plain;
  for (size_t i = 0; i < word.size(); ++i) {
    if (word[i] == '(' && i > 0) {
      const size_t close = word.find(')', i);
      if (close != std::string::npos && close - i <= 4) {
        i = close;
        continue;
      }
      break;
    }
    plain += word[i];
  }
  while (!plain.empty() && (plain.back() == ',' || plain.back() == '.' || plain.back() == ')' ||
                            plain.back() == ':' || plain.back() == ';')) {
    plain.pop_back();
  }
  while (!plain.empty() && (plain.front() == '(' || plain.front() == '"')) plain.erase(plain.begin());
  if (plain.size() > 3 && plain.back() == 'S') plain.pop_back();
  if (plain.size() > 3 && plain.back() == 'E' && plain[plain.size() - 2] == 'E') plain.pop_back();
  return plain;
}

bool IsCountWord(const std::string& stem) {
  static const std::set<std::string> kCounted = {
      "COMPRIME",    "COMPRIMEE", "GELULE",  "CAPSULE", "SUPPOSITOIRE", "OVULE",  "PATCH",
      "LYOPHILISAT", "PASTILLE",  "GOMME",   "FILM",    "IMPLANT",      "INSERT", "EMPLATRE",
      "PANSEMENT",   "COMPRESSE", "ANNEAU",  "EPONGE",  "DISPOSITIF",   "PATE",   "BATONNET",
      "CIGARETTE",   "MATRICE",   "SYSTEME", "TROUSSE", "RECIPIENT"};
  return kCounted.count(stem) > 0;
}

// What a container holds, counted: "DE 1 TAMPON", "DE 5 RECIPIENTS UNIDOSES".
bool IsContentCountWord(const std::string& stem) {
  return IsCountWord(stem) || stem == "TAMPON";
}

bool IsDoseWord(const std::string& stem) {
  return stem == "DOSE" || stem == "BOUFFEE" || stem == "PULVERISATION" || stem == "APPLICATION";
}

bool IsContainerWord(const std::string& stem) {
  static const std::set<std::string> kContainers = {
      "PLAQUETTE",      "FLACON",          "TUBE",       "SACHET",      "SACHET-DOSE", "AMPOULE", "SERINGUE",
      "STYLO",          "CARTOUCHE",       "POCHE",      "BOITE",       "RECIPIENT",   "POT",     "BOUTEILLE",
      "PILULIER",       "APPLICATEUR",     "INHALATEUR", "EVAPORATEUR", "KIT",         "BANDE",   "ETUI",
      "FLACON-AMPOULE", "CONDITIONNEMENT", "ENVELOPPE",  "GENERATEUR",  "BIDON",       "FUT",     "CANISTER",
      "FILM",           "DISPOSITIF"};
  return kContainers.count(stem) > 0;
}

bool IsInteger(const std::string& word) {
  return !word.empty() && std::all_of(word.begin(), word.end(), IsDigit);
}

// ---------------------------------------------------------------------------
// What a label counts: units (tablets, capsules...), doses, containers.

struct Tally {
  long long value = 0;
  bool known = false;
  void Add(long long v) {
    value += v;
    known = true;
  }
};

struct LabelCount {
  Tally units;
  Tally doses;
  Tally containers;  // of the first kind of container the label names
};

bool StartsWithContainerWord(const std::string& word) {
  // "PLAQUETTESPVC-ALUMINIUM": a container glued to its material.
  for (std::string_view container : {"PLAQUETTES", "PLAQUETTE", "FLACONS", "FLACON"}) {
    if (word.compare(0, container.size(), container) == 0) return true;
  }
  return false;
}

// Splits at " - " and " + " outside brackets.
std::vector<std::string> Segments(std::string_view label) {
  std::vector<std::string> segments;
  int depth = 0;
  size_t start = 0;
  for (size_t i = 0; i < label.size(); ++i) {
    if (label[i] == '(') ++depth;
    if (label[i] == ')' && depth > 0) --depth;
    if (depth == 0 && i + 2 < label.size() && label[i] == ' ' &&
        (label[i + 1] == '-' || label[i + 1] == '+') && label[i + 2] == ' ') {
      segments.emplace_back(label.substr(start, i - start));
      start = i + 3;
    }
  }
  segments.emplace_back(label.substr(start));
  // "PVC PVDC - ALUMINIUM DE 30 COMPRIMES": a part that starts with neither a
  // number nor a container goes on the one before.
  std::vector<std::string> merged;
  for (std::string& segment : segments) {
    const Words words = SplitWords(segment);
    const bool starts = !words.empty() && (IsDigit(words[0][0]) || IsContainerWord(Stem(words[0])) ||
                                           IsCountWord(Stem(words[0])) || StartsWithContainerWord(words[0]));
    if (!merged.empty() && !starts) {
      merged.back() += " - " + segment;
    } else {
      merged.push_back(std::move(segment));
    }
  }
  return merged;
}

bool IsQuantityText(std::string_view text) {
  if (text.empty() || !IsDigit(text.front()) || !IsDigit(text.back())) return false;
  return std::all_of(text.begin(), text.end(), [](char c) { return IsDigit(c) || c == ','; });
}

// `kit`: a powder with its solvent, whose containers are those of the first
// part of the label (the solvent's are not ordered apart).
LabelCount CountLabel(std::string_view label, bool kit) {
  LabelCount count;
  std::string firstContainer;
  long long mostDoses = 0;
  bool first = true;
  for (const std::string& segment : Segments(label)) {
    if (!first && kit) break;
    first = false;
    const Words words = SplitWords(segment);
    size_t i = 0;
    long long n = 1;
    if (i < words.size() && (words[i] == "UN" || words[i] == "UNE")) {
      ++i;
    } else if (i < words.size() && IsInteger(words[i]) && words[i].size() <= 6) {
      n = std::stoll(words[i]);
      ++i;
      if (i < words.size() && words[i].front() == '(') i = PastBrackets(words, i);
    }
    if (i >= words.size()) continue;
    const std::string head = Stem(words[i]);
    if (IsCountWord(head) && !IsContainerWord(head)) {
      count.units.Add(n);
      // "56 COMPRIMES SOUS 4 PLAQUETTES CONTENANT 7 COMPRIMES DE 30 MG + 7
      // COMPRIMES DE 90 MG": the first figure is the whole, the rest its parts.
      bool parts = false;
      for (size_t k = i + 1; k < words.size(); ++k) parts = parts || IsCountWord(Stem(words[k]));
      if (parts) break;
      continue;
    }
    if (IsDoseWord(head)) {
      mostDoses = std::max(mostDoses, n);
      continue;
    }
    std::string container;
    if (IsContainerWord(head) || StartsWithContainerWord(words[i])) {
      container = IsContainerWord(head) ? head : "PLAQUETTE";
      ++i;
    } else {
      // "1 G EN FLACON(S) ... DE 15 ML, BOITE DE 1 FLACON": a content, then its container.
      for (size_t k = i; k + 1 < words.size(); ++k) {
        if (words[k] == "EN" && IsContainerWord(Stem(words[k + 1]))) {
          container = Stem(words[k + 1]);
          break;
        }
      }
      n = 1;
      for (size_t k = 0; k + 2 < words.size(); ++k) {
        if (Stem(words[k]) == "BOITE" && words[k + 1] == "DE" && IsInteger(words[k + 2])) {
          n = std::stoll(words[k + 2]);
        }
      }
      // "+ 4750 ML DE SOLUTION TAMPON EN POCHE": another compartment of the first's.
      if (container.empty() || !firstContainer.empty()) continue;
    }
    if (firstContainer.empty()) firstContainer = container;
    if (container == firstContainer) count.containers.Add(n);
    // What each container holds: "DE 28 COMPRIMES", "CONTENANT 60 RECIPIENTS UNIDOSES".
    // "DE 30 X 1 CAPSULES", "DE 56 (28X15 MG + 28X45 MG) COMPRIMES".
    // What brackets say is a detail of it ("(2 PLAQUETTES DE 5 RECIPIENTS)").
    bool measured = false;
    bool counted = false;  // units found in this part
    for (size_t k = i; k + 1 < words.size(); ++k) {
      if (words[k].front() == '(') {
        k = PastBrackets(words, k) - 1;
        continue;
      }
      if (words[k] != "DE" && words[k] != "CONTENANT") continue;
      // "DE 0,3 ML": what each container holds is measured; what follows
      // ("BOITE DE 2 SACHETS DE 5 RECIPIENTS") details the box. "4 COMPRIMES
      // DE 10 MG" is the units' strength.
      if (k + 2 < words.size() && IsQuantityText(words[k + 1]) &&
          SpellingAt(kUnitSpellings, words[k + 2], 0)) {
        if (k > 0 && IsCountWord(Stem(words[k - 1]))) continue;
        measured = true;
        break;
      }
      if (!IsInteger(words[k + 1])) continue;
      // "..., BOITE DE 10": so many containers, counted already.
      if (k > 0 && Stem(words[k - 1]) == "BOITE" && k + 2 >= words.size()) continue;
      long long q = std::stoll(words[k + 1].substr(0, 9));
      size_t w = k + 2;
      if (w + 1 < words.size() && (words[w] == "X" || words[w] == "*") && IsInteger(words[w + 1])) {
        q *= std::stoll(words[w + 1].substr(0, 9));
        w += 2;
      }
      if (w < words.size() && words[w].front() == '(') w = PastBrackets(words, w);
      if (w >= words.size()) {
        // "PLAQUETTE(S) PVC ALUMINIUM DE 30": the count of the form's units.
        if (words[k] == "DE") {
          count.units.Add(n * q);
          counted = true;
        }
        break;
      }
      const std::string what = Stem(words[w]);
      if (IsContentCountWord(what)) {
        count.units.Add(n * q);
        counted = true;
        break;
      }
      // "1 BOITE DE 100 CARTOUCHES": a box of so many.
      if ((container == "BOITE" || container == "ETUI") && IsContainerWord(what)) {
        count.units.Add(n * q);
        counted = true;
        break;
      }
      if (IsDoseWord(what) || (words[k] == "CONTENANT" && (what == "RECIPIENT" || what == "ALVEOLE"))) {
        mostDoses = std::max(mostDoses, n * q);
        break;
      }
    }
    // "3 PLAQUETTES PVC PVDC ALUMINIUM 21 COMPRIMES BLEUS ET 7 COMPRIMES VERT
    // CLAIR": what each holds, said without a "DE".
    if (!counted && !measured) {
      long long each = 0;
      for (size_t k = i; k + 1 < words.size(); ++k) {
        if (words[k].front() == '(') {
          k = PastBrackets(words, k) - 1;
          continue;
        }
        if (IsInteger(words[k]) && words[k].size() <= 6 && IsCountWord(Stem(words[k + 1])) &&
            !IsContainerWord(Stem(words[k + 1])) && (k == 0 || words[k - 1] != "DE")) {
          each += std::stoll(words[k]);
        }
      }
      if (each > 0) count.units.Add(n * each);
    }
  }
  // Doses are not added across parts: two strips of 30 doses in one inhaler
  // give 30 inhalations.
  if (mostDoses > 0) count.doses.Add(mostDoses);
  // "DE 27 COMPRIMES DE 4 COMPRIMES DE 10 MG - 4 COMPRIMES DE 20 MG - 19
  // COMPRIMES DE 30 MG": a figure that is the sum of all the others is the whole.
  const Words words = SplitWords(label);
  std::vector<long long> figures;
  std::set<std::string> counted;
  for (size_t k = 0; k + 1 < words.size(); ++k) {
    if (IsInteger(words[k]) && words[k].size() <= 6 && IsCountWord(Stem(words[k + 1]))) {
      figures.push_back(std::stoll(words[k]));
      counted.insert(Stem(words[k + 1]));
    }
  }
  // Only figures of one kind of unit: "1 DISPOSITIF + 1 TROUSSE + 2 COMPRESSES" is no pack.
  if (counted.size() != 1) figures.clear();
  if (figures.size() >= 3) {
    const long long most = *std::max_element(figures.begin(), figures.end());
    long long others = -most;
    for (long long figure : figures) others += figure;
    if (others == most) count.units = Tally{most, true};
  }
  return count;
}

// The pack a designation states.
struct PackCount {
  Tally units;
  Tally doses;
  Tally containers;
  std::string text;
};

bool IsContainerAbbreviation(std::string_view word) {
  static const std::set<std::string, std::less<>> kAbbreviations = {
      "FUT",  "B",    "FL",    "T",    "AMP",   "SER",   "STYLO", "SACH",  "POCHE",
      "BOUT", "CART", "POT",   "KIT",  "DISPO", "INHAL", "PIL",   "RECIP", "APPLIC",
      "ENV",  "EVAP", "GENER", "COND", "BANDE", "ETUI",  "BIDON"};
  return kAbbreviations.count(word) > 0;
}

long long WholePart(std::string_view quantity) {
  const size_t comma = quantity.find(',');
  return std::stoll(std::string(quantity.substr(0, std::min<size_t>(comma, 9))));
}

// One part of a pack: "B/30", "2X28", "3FL/30", "20X2ML", "FL/150ML", "5FL", "12SACH".
bool ReadPackPart(std::string_view part, PackCount& pack, bool alone) {
  // NXQ[UNIT]
  const size_t x = part.find('X');
  if (x != std::string_view::npos && x > 0 && IsInteger(std::string(part.substr(0, x)))) {
    const std::string_view rest = part.substr(x + 1);
    size_t q = 0;
    while (q < rest.size() && (IsDigit(rest[q]) || rest[q] == ',')) ++q;
    if (q > 0 && IsQuantityText(rest.substr(0, q))) {
      const std::string_view unit = rest.substr(q);
      if (!unit.empty() && !IsLetter(unit.front())) return false;
      if (!std::all_of(unit.begin(), unit.end(),
                       [](char c) { return IsLetter(c) || IsDigit(c) || c == '/'; })) {
        return false;
      }
      const long long n = std::stoll(std::string(part.substr(0, std::min<size_t>(x, 9))));
      if (unit.empty()) {
        pack.units.Add(n * WholePart(rest.substr(0, q)));
      } else if (unit == "DOS" || unit == "DOSE") {
        pack.doses.Add(n * WholePart(rest.substr(0, q)));
      } else {
        pack.containers.Add(n);
      }
      return true;
    }
  }
  // [N]C/Q[UNIT]
  const size_t slash = part.find('/');
  if (slash != std::string_view::npos) {
    std::string_view front = part.substr(0, slash);
    size_t d = 0;
    while (d < front.size() && IsDigit(front[d])) ++d;
    const std::string_view container = front.substr(d);
    if (!IsContainerAbbreviation(container)) return false;
    const long long n = d > 0 ? std::stoll(std::string(front.substr(0, std::min<size_t>(d, 9)))) : 1;
    const std::string_view rest = part.substr(slash + 1);
    size_t q = 0;
    while (q < rest.size() && (IsDigit(rest[q]) || rest[q] == ',')) ++q;
    if (q == 0 || !IsQuantityText(rest.substr(0, q))) return false;
    const std::string_view unit = rest.substr(q);
    if (unit.empty()) {
      pack.units.Add(n * WholePart(rest.substr(0, q)));
    } else if (unit == "DOS" || unit == "DOSE") {
      pack.doses.Add(n * WholePart(rest.substr(0, q)));
    } else {
      pack.containers.Add(n);
    }
    return true;
  }
  // NC or C
  size_t d = 0;
  while (d < part.size() && IsDigit(part[d])) ++d;
  const std::string_view container = part.substr(d);
  if (!IsContainerAbbreviation(container)) return false;
  if (d == 0 && !alone) return false;
  pack.containers.Add(d > 0 ? std::stoll(std::string(part.substr(0, std::min<size_t>(d, 9)))) : 1);
  return true;
}

// The first word after the name that reads as a pack with a number, else the
// last that is a container alone ("FL"), or nothing. Words after the pack
// may tell it from a sibling's ("12X0,5ML STYLO").
std::optional<PackCount> ReadPack(const Words& words, size_t firstAfterName) {
  for (bool alone : {false, true}) {
    for (size_t n = firstAfterName; n < words.size(); ++n) {
      const size_t i = alone ? words.size() - 1 - (n - firstAfterName) : n;
      const std::string& word = words[i];
      if (!alone && std::none_of(word.begin(), word.end(), IsDigit)) continue;
      PackCount pack;
      bool read = true;
      size_t start = 0;
      while (read) {
        const size_t plus = word.find('+', start);
        const std::string_view part =
            std::string_view(word).substr(start, plus == std::string::npos ? plus : plus - start);
        read = ReadPackPart(part, pack, alone || plus != std::string::npos || start > 0);
        if (plus == std::string::npos) break;
        start = plus + 1;
      }
      if (read) {
        pack.text = word;
        return pack;
      }
    }
  }
  return std::nullopt;
}

// ---------------------------------------------------------------------------
// Release and ways of taking a product.

struct WayOfTaking {
  std::string_view source;  // in the denomination or the form column
  std::vector<std::string_view> written;
};

const std::vector<WayOfTaking>& WaysOfTaking() {
  static const std::vector<WayOfTaking> kWays = {
      {"LIBERATION PROLONGEE", {"LP", "L.P."}},
      {"LIBERATION MODIFIEE", {"LM"}},
      {"LIBERATION MOFIFIEE", {"LM"}},
      {"EFFERVESCENT", {"EFF"}},
      {"ORODISPERSIBLE", {"ORODISP"}},
      {"A CROQUER", {"CROQ"}},
      {"LYOPHILISAT", {"LYOPH"}},
      {"FILM", {"FILM"}},
      {"SUBLINGUAL", {"SUBL"}},
  };
  return kWays;
}

bool HasWord(std::string_view text, std::string_view word) {
  for (size_t at = text.find(word); at != std::string_view::npos; at = text.find(word, at + 1)) {
    const bool starts = at == 0 || !IsLetter(text[at - 1]);
    const size_t end = at + word.size();
    // "LP.8.1" names a variant, not a release.
    const bool variant = end + 1 < text.size() && text[end] == '.' && IsDigit(text[end + 1]);
    const bool ends = !variant && (end == text.size() || !IsLetter(text[end]) ||
                                   (word.back() != '.' && (text[end] == 'E' || text[end] == 'S')));
    if (starts && ends) return true;
  }
  return false;
}

// ---------------------------------------------------------------------------

std::string Join(const std::vector<std::string>& parts, std::string_view separator) {
  std::string text;
  for (const std::string& part : parts) {
    if (!text.empty()) text += separator;
    text += part;
  }
  return text;
}

std::string Written(const Number& n) {
  return n.value + n.unit + (n.per.empty() ? "" : "/" + n.per);
}

// The designation's words split also at '/', '-', '\'' and '+'.
Words NameParts(std::string_view text) {
  Words parts;
  std::string part;
  for (size_t i = 0; i <= text.size(); ++i) {
    const char c = i < text.size() ? text[i] : ' ';
    if (c == ' ' || c == '/' || c == '-' || c == '\'' || c == '+') {
      if (!part.empty()) parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  return parts;
}

// The name of a head: its words before the first number.
std::string_view NameOf(std::string_view head) {
  const std::vector<Number> numbers = ScanNumbers(head);
  std::string_view name = numbers.empty() ? head : head.substr(0, numbers.front().begin);
  while (!name.empty() && (name.back() == ' ' || name.back() == '(' || name.back() == '[')) {
    name.remove_suffix(1);
  }
  return name;
}

// "CHLORHYDRATE DE TRAMADOL/PARACETAMOL" -> its substances, split at '/'.
std::vector<std::string> Components(std::string_view name) {
  std::vector<std::string> components;
  size_t start = 0;
  while (true) {
    const size_t slash = name.find('/', start);
    std::string component(name.substr(start, slash == std::string_view::npos ? slash : slash - start));
    while (!component.empty() && component.front() == ' ') component.erase(component.begin());
    while (!component.empty() && component.back() == ' ') component.pop_back();
    components.push_back(component);
    if (slash == std::string_view::npos) break;
    start = slash + 1;
  }
  return components;
}

// Whether `written` (a word of a designation) stands for a word of `component`:
// a beginning of one of its words, or the table's abbreviation of one.
bool StandsFor(const std::string& written, const std::string& component) {
  if (written.empty()) return false;
  for (const std::string& word : NameParts(component)) {
    if (word.size() >= written.size() && word.compare(0, written.size(), written) == 0 &&
        (written.size() >= 2 || word.size() == 1)) {
      return true;
    }
    const Abbreviation* found = FindAbbreviation(word, AbbreviationKind::kNameWord);
    if (found != nullptr && found->abbreviation == written) return true;
  }
  return false;
}

bool IsUnitAlone(const std::string& word) {
  for (const UnitSpelling& spelling : kUnitSpellings) {
    if (spelling.text == word || spelling.unit == word) return true;
  }
  return false;
}

}  // namespace

std::string_view AuditFaultName(AuditFault fault) {
  switch (fault) {
    case AuditFault::kCutNumber:
      return "cut number";
    case AuditFault::kLostStrength:
      return "lost strength";
    case AuditFault::kLostUnit:
      return "lost unit";
    case AuditFault::kLostCombination:
      return "lost strength of a combination";
    case AuditFault::kLostSubstance:
      return "lost substance of a combination";
    case AuditFault::kDanglingOperator:
      return "dangling operator";
    case AuditFault::kLostRelease:
      return "lost release or way of taking";
    case AuditFault::kWrongPack:
      return "wrong pack";
    case AuditFault::kMangledText:
      return "mangled text";
    case AuditFault::kMeaninglessDifference:
      return "told apart by nothing meaningful";
    case AuditFault::kMergedProducts:
      return "different products merged";
    case AuditFault::kNotOrderable:
      return "cannot be ordered";
  }
  return "?";
}

std::vector<AuditFinding> AuditArticle(const AuditedArticle& article, size_t index) {
  std::vector<AuditFinding> findings;
  auto find = [&](AuditFault fault, std::string detail) {
    findings.push_back({index, fault, std::move(detail)});
  };
  const std::string_view designation = article.designation;
  const Words words = SplitWords(designation);
  const std::vector<Number> written = ScanNumbers(designation);

  // Every number of the source, whole, and the pieces of those written in groups.
  std::set<std::string> whole;
  std::set<std::string> pieces;
  const std::vector<Number> denominationNumbers = ScanNumbers(article.denomination);
  const std::vector<Number> labelNumbers = ScanNumbers(article.label);
  for (const std::vector<Number>* numbers : {&denominationNumbers, &labelNumbers}) {
    for (const Number& n : *numbers) {
      whole.insert(n.value);
      pieces.insert(n.pieces.begin(), n.pieces.end());
    }
  }
  const std::string kitText = std::string(article.denomination) + " " + std::string(article.form);
  const bool kit =
      kitText.find(" ET SOLVANT") != std::string::npos || kitText.find("POUDRE ET ") != std::string::npos;
  const LabelCount labelCount = CountLabel(article.label, kit);
  for (const Tally* tally : {&labelCount.units, &labelCount.doses, &labelCount.containers}) {
    if (tally->known) whole.insert(std::to_string(tally->value));
  }
  std::set<std::string> cut;
  for (const Number& n : written) {
    if (whole.count(n.value) == 0 && pieces.count(n.value) > 0 && cut.insert(n.value).second) {
      find(AuditFault::kCutNumber, n.value + " is a piece of a longer number");
    }
  }

  // Strengths, with their units.
  const std::string_view head = HeadOf(article.denomination, article.form);
  const std::string_view name = NameOf(head);
  const std::vector<Number> strengths = Strengths(head, article.denomination, name);
  const std::vector<std::string> components = Components(name);
  size_t main = 0;
  for (size_t s = 0; s < strengths.size(); ++s) {
    const Number& n = strengths[s];
    const bool ratio =
        n.unit.empty() && ((n.joinedBy == '/' && s + 1 < strengths.size() && strengths[s + 1].unit.empty()) ||
                           (n.afterSlash && s > 0 && strengths[s - 1].joinedBy == '/'));
    const bool per = n.afterSlash && (IsVolumeUnit(n.unit) || n.unit.empty()) && !ratio;
    if ((!n.unit.empty() || ratio) && !per) ++main;
  }
  const bool combination = components.size() > 1 || main > 1;
  for (const Number& n : strengths) {
    bool present = false;
    bool withUnit = false;
    for (const Number& w : written) {
      if (w.value != n.value) continue;
      present = true;
      if (n.unit.empty() || (w.unit == n.unit && (n.per.empty() || w.per == n.per))) withUnit = true;
    }
    if (withUnit) continue;
    if (!present) {
      bool pieceWritten = false;
      for (const std::string& piece : n.pieces) pieceWritten = pieceWritten || cut.count(piece) > 0;
      if (pieceWritten) continue;  // already found as a cut number
      find(combination ? AuditFault::kLostCombination : AuditFault::kLostStrength, Written(n) + " missing");
    } else {
      find(combination ? AuditFault::kLostCombination : AuditFault::kLostUnit,
           n.value + " written without " + n.unit + (n.per.empty() ? "" : "/" + n.per));
    }
  }

  // Each substance of a combination named.
  size_t nameEnd = words.size();
  for (size_t i = 0; i < words.size(); ++i) {
    if (StartsWithDigit(words[i])) {
      nameEnd = i;
      break;
    }
  }
  if (components.size() > 1) {
    std::string designationName;
    for (size_t i = 0; i < nameEnd; ++i) designationName += (i > 0 ? " " : "") + words[i];
    const std::vector<std::string> writtenComponents = Components(designationName);
    for (size_t c = 0; c < components.size(); ++c) {
      bool named = false;
      if (c < writtenComponents.size()) {
        for (const std::string& part : NameParts(writtenComponents[c]))
          named = named || StandsFor(part, components[c]);
      }
      if (!named) find(AuditFault::kLostSubstance, "the substance " + components[c] + " is not named");
    }
  }

  // Operators with nothing on one side.
  int depth = 0;
  for (size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    for (char c : word) {
      if (c == '(') ++depth;
      if (c == ')') --depth;
    }
    const bool betweenNumbers =
        i > 0 && i + 1 < words.size() && EndsWithDigit(words[i - 1]) && StartsWithDigit(words[i + 1]);
    // The name's own first word may be anything ("X PREP").
    if (i == 0) continue;
    if (word == "+" || word == "/" || word == "-" || word == "(" || word == "&" || word == ":" ||
        (word == "X" && !betweenNumbers)) {
      find(AuditFault::kDanglingOperator, "'" + word + "' alone");
    } else if (word.back() == '+' || word.back() == '/' || word.back() == '(' || word.back() == '-' ||
               word.front() == '+' || word.front() == '/' || word.front() == ')') {
      find(AuditFault::kDanglingOperator, "'" + word + "'");
    }
  }
  if (depth != 0) find(AuditFault::kDanglingOperator, "unbalanced brackets");

  // Release and ways of taking the product.
  const std::string sources = std::string(article.denomination) + " | " + std::string(article.form);
  const Words writtenParts = NameParts(designation);
  std::vector<const WayOfTaking*> required;
  for (const WayOfTaking& way : WaysOfTaking()) {
    if (HasWord(sources, way.source)) required.push_back(&way);
  }
  if (HasWord(NameOf(head), "LP") || HasWord(NameOf(head), "L.P.")) required.push_back(&WaysOfTaking()[0]);
  for (const WayOfTaking* way : required) {
    bool shown = false;
    for (std::string_view w : way->written) {
      shown = shown || std::find(writtenParts.begin(), writtenParts.end(), w) != writtenParts.end() ||
              std::find(words.begin(), words.end(), w) != words.end();
    }
    // "A SUCER OU A CROQUER": either way is enough when the form offers both.
    const bool alternative = sources.find(" OU " + std::string(way->source)) != std::string::npos ||
                             sources.find(std::string(way->source) + " OU ") != std::string::npos ||
                             sources.find("/" + std::string(way->source)) != std::string::npos;
    if (!shown && !alternative)
      find(AuditFault::kLostRelease, std::string(way->written.front()) + " missing");
  }

  // The pack against the label.
  const std::optional<PackCount> pack = ReadPack(words, 1);
  const bool labelCounts = labelCount.units.known || labelCount.doses.known || labelCount.containers.known;
  if (!pack) {
    if (labelCounts) find(AuditFault::kWrongPack, "no pack");
  } else {
    const PackCount& p = *pack;
    if (p.units.known && !labelCount.units.known) {
      find(AuditFault::kWrongPack,
           p.text + " counts " + std::to_string(p.units.value) + " units where the label counts none");
    } else if (p.units.known && p.units.value != labelCount.units.value) {
      find(AuditFault::kWrongPack, p.text + " counts " + std::to_string(p.units.value) +
                                       " units, the label " + std::to_string(labelCount.units.value));
    }
    if (p.doses.known && labelCount.doses.known && p.doses.value != labelCount.doses.value) {
      find(AuditFault::kWrongPack, p.text + " counts " + std::to_string(p.doses.value) +
                                       " doses, the label " + std::to_string(labelCount.doses.value));
    }
    if (!p.units.known && !p.doses.known && labelCount.units.known && labelCount.units.value > 1) {
      find(AuditFault::kWrongPack,
           p.text + " does not count the label's " + std::to_string(labelCount.units.value) + " units");
    } else if (p.containers.known && labelCount.containers.known &&
               p.containers.value != labelCount.containers.value) {
      find(AuditFault::kWrongPack, p.text + " counts " + std::to_string(p.containers.value) +
                                       " containers, the label " +
                                       std::to_string(labelCount.containers.value));
    }
  }

  // Text mangled.
  // A decimal point in a quantity; "LP.8.1" is a name.
  for (const std::string& word : words) {
    if (!StartsWithDigit(word)) continue;
    bool point = false;
    for (size_t i = 1; i + 1 < word.size(); ++i) {
      point = point || (word[i] == '.' && IsDigit(word[i - 1]) && IsDigit(word[i + 1]));
    }
    if (point) {
      find(AuditFault::kMangledText, "a decimal point");
      break;
    }
  }
  for (size_t i = 0; i < designation.size(); ++i) {
    if (designation[i] == ',' && ((i > 0 && IsLetter(designation[i - 1])) ||
                                  (i + 1 < designation.size() && IsLetter(designation[i + 1])))) {
      find(AuditFault::kMangledText, "a comma glued to a word");
      break;
    }
  }
  // A word twice ("EG LABO LAB EG"), but not a ratio of like units ("MOL/MOL").
  std::set<std::string> seen;
  bool twice = false;
  for (const std::string& word : words) {
    std::set<std::string> inWord;
    for (const std::string& part : NameParts(word)) {
      if (twice || part.size() < 2 || !std::all_of(part.begin(), part.end(), IsLetter) || IsUnitAlone(part) ||
          !inWord.insert(part).second) {
        continue;
      }
      if (seen.count(part) > 0) {
        find(AuditFault::kMangledText, part + " written twice");
        twice = true;
      }
    }
    seen.insert(inWord.begin(), inWord.end());
  }

  if (!article.orderable) find(AuditFault::kNotOrderable, "abrogated or not marketed");
  return findings;
}

namespace {

// What makes an article the product it is: its denomination and its label,
// without a parallel distributor's name, an abrogation date, punctuation,
// plural marks or word order.
std::string ProductKey(const AuditedArticle& article) {
  std::string label(article.label);
  for (std::string_view clause :
       {"(DISTRIBUTEUR", "(DISTRIBUTION", "(IMPORTATION", "( ABROGEE", "(ABROGEE"}) {
    for (size_t at = label.find(clause); at != std::string::npos; at = label.find(clause)) {
      const size_t close = label.find(')', at);
      label.erase(at, close == std::string::npos ? std::string::npos : close - at + 1);
    }
  }
  // What a blister or a bottle is made of does not make another product.
  static const std::set<std::string> kMaterials = {"THERMOFORMEE",
                                                   "THERMOFORME",
                                                   "THERMOSOUDE",
                                                   "PVC",
                                                   "PVDC",
                                                   "ALUMINIUM",
                                                   "ALU",
                                                   "POLYAMIDE",
                                                   "OPA",
                                                   "ORIENTE",
                                                   "POLYETHYLENE",
                                                   "POLYPROPYLENE",
                                                   "PE",
                                                   "PEHD",
                                                   "PEBD",
                                                   "PP",
                                                   "PET",
                                                   "POLYTEREPHTALATE",
                                                   "ACLAR",
                                                   "RX",
                                                   "POLYCHLORTRIFLUOROETHYLENE",
                                                   "POLYTRIFLUOROCHLOROETHYLENE",
                                                   "PCTFE",
                                                   "COPOLYMERE",
                                                   "PAPIER",
                                                   "VERRE",
                                                   "HAUTE",
                                                   "BASSE",
                                                   "DENSITE",
                                                   "PRESSURISE",
                                                   "DE",
                                                   "EN",
                                                   "AUX",
                                                   "ET",
                                                   "-",
                                                   ":",
                                                   "/"};
  std::multiset<std::string> words;
  const Words all = SplitWords(label);
  for (size_t i = 0; i < all.size(); ++i) {
    // "1 PLAQUETTE(S)" is "PLAQUETTE(S)".
    if (i == 0 && all[i] == "1") continue;
    for (const std::string& part : NameParts(all[i])) {
      std::string stem = Stem(part);
      if (!stem.empty() && kMaterials.count(stem) == 0) words.insert(stem);
    }
  }
  // "KETODERM 2 %, CREME" and "KETODERM 2%, CREME" are one denomination.
  std::string denomination;
  for (char c : article.denomination) {
    if (c != ' ') denomination += c;
  }
  return denomination + "|" + Join(std::vector<std::string>(words.begin(), words.end()), " ");
}

// The designation's words that a pharmacist reads as telling products apart:
// not a bare number (unless the denomination's, "XENETIX 300"), a unit
// alone, a filler, a number in brackets; in any order.
std::string MeaningfulWords(const AuditedArticle& article) {
  std::set<std::string> named;
  for (const Number& n : ScanNumbers(HeadOf(article.denomination, article.form))) named.insert(n.value);
  static const std::set<std::string> kFillers = {"ABROGEE", "DANS", "I",    "ET",  "DE",  "D'",   "DU",
                                                 "LA",      "LE",   "LES",  "EN",  "A",   "AU",   "AUX",
                                                 "DES",     "AVEC", "SOUS", "SUR", "PAR", "POUR", "OU"};
  std::set<std::string> kept;
  for (const std::string& word : SplitWords(article.designation)) {
    if ((IsInteger(word) && named.count(Canonical(word, "")) == 0) || kFillers.count(word) > 0 ||
        IsUnitAlone(word)) {
      continue;
    }
    if (word.size() > 2 && word.front() == '(' && word.back() == ')' &&
        IsInteger(word.substr(1, word.size() - 2))) {
      continue;
    }
    kept.insert(word);
  }
  return Join(std::vector<std::string>(kept.begin(), kept.end()), " ");
}

}  // namespace

AuditReport AuditArticles(const std::vector<AuditedArticle>& articles, bool orderableOnly) {
  std::vector<std::vector<AuditFinding>> byArticle(articles.size());
  for (size_t i = 0; i < articles.size(); ++i) {
    byArticle[i] = AuditArticle(articles[i], i);
    if (!orderableOnly) {
      std::erase_if(byArticle[i], [](const AuditFinding& f) { return f.fault == AuditFault::kNotOrderable; });
    }
  }

  // Articles sharing a designation must be one product.
  std::map<std::string_view, std::vector<size_t>> byDesignation;
  for (size_t i = 0; i < articles.size(); ++i) byDesignation[articles[i].designation].push_back(i);
  for (const auto& [designation, members] : byDesignation) {
    std::map<std::string, std::vector<size_t>> products;
    for (size_t m : members) products[ProductKey(articles[m])].push_back(m);
    if (products.size() < 2) continue;
    for (size_t m : members) {
      std::string others;
      for (size_t o : members) {
        if (o != m && ProductKey(articles[o]) != ProductKey(articles[m])) {
          others = std::string(articles[o].cip);
          break;
        }
      }
      byArticle[m].push_back({m, AuditFault::kMergedProducts, "the same designation as " + others});
    }
  }

  // Designations that differ only by what tells nothing apart.
  std::map<std::string, std::map<std::string_view, std::vector<size_t>>> byMeaning;
  for (size_t i = 0; i < articles.size(); ++i) {
    byMeaning[MeaningfulWords(articles[i])][articles[i].designation].push_back(i);
  }
  for (const auto& [meaning, designations] : byMeaning) {
    if (designations.size() < 2) continue;
    for (const auto& [designation, members] : designations) {
      const std::string_view other = designation == designations.begin()->first
                                         ? std::next(designations.begin())->first
                                         : designations.begin()->first;
      for (size_t m : members) {
        byArticle[m].push_back({m, AuditFault::kMeaninglessDifference, "apart from " + std::string(other)});
      }
    }
  }

  AuditReport report;
  for (std::vector<AuditFinding>& findings : byArticle) {
    std::array<bool, kAuditFaultKinds> kinds{};
    for (const AuditFinding& finding : findings) kinds[static_cast<size_t>(finding.fault)] = true;
    for (size_t k = 0; k < kAuditFaultKinds; ++k) report.articles[k] += kinds[k] ? 1 : 0;
    report.faultyArticles += findings.empty() ? 0 : 1;
    for (AuditFinding& finding : findings) report.findings.push_back(std::move(finding));
  }
  return report;
}

}  // namespace quillor::catalogue
