#include "catalogue/PackSummary.h"

#include <algorithm>

#include "catalogue/Abbreviations.h"
#include "catalogue/DenominationParts.h"
#include "catalogue/Words.h"

namespace quillor::catalogue {
namespace {

bool IsInteger(std::string_view word) {
  return !word.empty() && word.size() <= 6 && std::all_of(word.begin(), word.end(), IsDigit);
}

// "SACHET(S)-DOSE(S)" -> "SACHET-DOSE", "ML." -> "ML": the word as the table
// looks it up.
std::string Clean(const std::string& word) {
  std::string plain;
  for (size_t i = 0; i < word.size(); ++i) {
    if (word[i] == '(' && i > 0) {
      const size_t close = word.find(')', i);
      if (close != std::string::npos && close - i <= 4) {
        i = close;
        continue;
      }
      break;  // "COMPRIME(S)(DOSE": another word glued on
    }
    // "COMPRIMES.CONDITIONNEMENT": a sentence glued on.
    if (word[i] == '.' && i >= 4 && i + 1 < word.size() && word[i + 1] >= 'A' && word[i + 1] <= 'Z' &&
        (i + 2 >= word.size() || word[i + 2] != '.')) {
      break;
    }
    plain += word[i];
  }
  while (!plain.empty() && (plain.back() == ',' || plain.back() == '.' || plain.back() == ';' ||
                            plain.back() == ':' || plain.back() == ')')) {
    plain.pop_back();
  }
  return plain;
}

// The letters before a '/' name the unit: "MBQ/ML" is measured in MBQ.
std::string_view LeadingUnit(std::string_view word) {
  const size_t slash = word.find('/');
  return slash == std::string_view::npos ? word : word.substr(0, slash);
}

// "ML" for "ML.", "MBQ/ML" for "MBQ/ML", "UI" for "U.I.", or "".
std::string UnitOf(const std::string& word) {
  for (const std::string& spelling : {word, Clean(word)}) {
    if (const Abbreviation* unit = FindAbbreviation(LeadingUnit(spelling), AbbreviationKind::kUnit)) {
      return std::string(unit->abbreviation) + std::string(spelling.substr(LeadingUnit(spelling).size()));
    }
  }
  return std::string();
}

const Abbreviation* CountWord(const std::string& word) {
  return FindAbbreviation(Clean(word), AbbreviationKind::kCountUnit);
}

const Abbreviation* ContainerWord(const std::string& word) {
  const std::string clean = Clean(word);
  if (const Abbreviation* found = FindAbbreviation(clean, AbbreviationKind::kContainer)) return found;
  // "SACHETS-DOSES" is a SACHET-DOSE.
  std::string singular;
  for (size_t i = 0; i < clean.size(); ++i) {
    const bool endOfPart = i + 1 == clean.size() || clean[i + 1] == '-';
    if (!(endOfPart && clean[i] == 'S')) singular += clean[i];
  }
  return singular != clean ? FindAbbreviation(singular, AbbreviationKind::kContainer) : nullptr;
}

// One part of a label: "2 PLAQUETTE(S) PVC ALUMINIUM DE 28 COMPRIME(S)".
struct Part {
  enum class Kind { kNothing, kUnitsFirst, kUnits, kDoses, kMeasured, kContainers };
  Kind kind = Kind::kNothing;
  long long count = 1;  // containers, or units for kUnitsFirst
  bool several = false;
  std::string container;  // abbreviation
  std::string quantity;   // "28", "2,5", "3X30"
  std::string unit;       // "ML", "DOS", "" for counted units
  bool whole = false;     // kUnitsFirst: the figure is the whole label's
  long long units = 0;    // counted units (kUnits, kUnitsFirst)

  std::string Amount() const { return quantity + unit; }

  std::string Text() const {
    const std::string n = std::to_string(count);
    switch (kind) {
      case Kind::kNothing:
      case Kind::kContainers:
        return several ? n + container : container;
      case Kind::kUnitsFirst:
        return (container.empty() ? "B" : container) + "/" + n;
      case Kind::kMeasured:
        if (container.empty() || several) return several ? n + "X" + Amount() : Amount();
        return container + "/" + Amount();
      case Kind::kUnits:
      case Kind::kDoses: {
        const std::string box = container.empty() ? "B" : container;
        // "30 X 1 CAPSULES" in one box: the blisters say it.
        if (quantity.find('X') != std::string::npos && !several) return Amount();
        if (!several) return box + "/" + Amount();
        if (box == "B") return n + "X" + Amount();
        return n + box + "/" + Amount();
      }
    }
    return container;
  }
};

long long UnitsOf(const std::string& quantity) {
  long long units = 1;
  size_t start = 0;
  while (true) {
    const size_t x = quantity.find('X', start);
    const std::string factor = quantity.substr(start, x == std::string::npos ? x : x - start);
    if (!IsInteger(factor)) return 0;
    units *= std::stoll(factor);
    if (x == std::string::npos) break;
    start = x + 1;
  }
  return units;
}

Part ReadPart(const Words& words) {
  Part part;
  size_t i = 0;
  // "1026 ML EN POCHE ..., BOITE DE 4", "1 G EN FLACON(S) VERRE DE 15 ML, BOITE DE
  // 1 FLACON": a content, then its container and how many the box holds.
  if (words.size() > 2 && IsQuantity(words[0]) && !UnitOf(words[1]).empty()) {
    for (size_t k = 2; k + 1 < words.size(); ++k) {
      if (words[k] == "EN" && ContainerWord(words[k + 1]) != nullptr) {
        part.container = ContainerWord(words[k + 1])->abbreviation;
        break;
      }
    }
    if (part.container.empty()) return part;
    for (size_t k = 0; k + 2 < words.size(); ++k) {
      if (Clean(words[k]) == "BOITE" && words[k + 1] == "DE" && IsInteger(words[k + 2])) {
        part.count = std::stoll(words[k + 2]);
      }
    }
    part.several = part.count != 1;
    part.kind = Part::Kind::kMeasured;
    part.quantity = words[0];
    part.unit = UnitOf(words[1]);
    return part;
  }
  if (i < words.size() && (words[i] == "UN" || words[i] == "UNE")) {
    ++i;
  } else if (i < words.size() && IsInteger(words[i])) {
    part.count = std::stoll(words[i]);
    part.several = part.count != 1;
    ++i;
    // "28 (4 X 7) SACHETS": the grouping only repeats the count.
    if (i < words.size() && words[i].front() == '(') i = PastBrackets(words, i);
  }
  if (i >= words.size()) return part;
  const bool counted = i > 0 && CountWord(words[i]) != nullptr && ContainerWord(words[i]) == nullptr;
  if (counted) {
    // "56 COMPRIMES SOUS 4 PLAQUETTES CONTENANT 7 COMPRIMES DE 30 MG + 7 ...":
    // the first figure is the whole, the rest its parts.
    part.kind = Part::Kind::kUnitsFirst;
    part.units = part.count;
    for (size_t k = i + 1; k < words.size(); ++k) part.whole = part.whole || CountWord(words[k]) != nullptr;
    // "30 COMPRIMES EN FLACON(S)": in that container.
    if (i + 2 < words.size() && words[i + 1] == "EN" && ContainerWord(words[i + 2]) != nullptr) {
      part.container = ContainerWord(words[i + 2])->abbreviation;
    }
    // "- 16 DOSES": doses, not units.
    if (CountWord(words[i])->abbreviation == "DOS") {
      part.kind = Part::Kind::kDoses;
      part.quantity = std::to_string(part.count);
      part.unit = "DOS";
      part.count = 1;
      part.several = false;
    }
    return part;
  }
  if (const Abbreviation* container = ContainerWord(words[i])) {
    part.container = container->abbreviation;
    ++i;
  } else if (words[i].compare(0, 10, "PLAQUETTES") == 0) {
    part.container = "B";  // "PLAQUETTESPVC-ALUMINIUM"
    ++i;
  } else if (CountWord(words[i]) != nullptr) {
    part.container = "B";  // "COMPRIMES DE 30"
    ++i;
  } else {
    return part;
  }
  part.kind = Part::Kind::kContainers;
  // What each container holds: "DE 28 COMPRIMES", "DE 150 ML", "DE 200 DOSES",
  // "CONTENANT 60 RECIPIENTS UNIDOSES"; what brackets say is a detail of it.
  for (size_t k = i; k + 1 < words.size(); ++k) {
    if (words[k].front() == '(') {
      k = PastBrackets(words, k) - 1;
      continue;
    }
    if ((words[k] != "DE" && words[k] != "CONTENANT") || !IsQuantity(words[k + 1])) continue;
    // "4 COMPRIMES DE 10 MG": the strength of the units, not what a container holds.
    if (k > 0 && CountWord(words[k - 1]) != nullptr && ContainerWord(words[k - 1]) == nullptr &&
        k + 2 < words.size() && !UnitOf(words[k + 2]).empty()) {
      continue;
    }
    std::string quantity = words[k + 1];
    size_t w = k + 2;
    if (w + 1 < words.size() && (words[w] == "X" || words[w] == "*") && IsInteger(words[w + 1])) {
      quantity += "X" + words[w + 1];
      w += 2;
    }
    if (w < words.size() && words[w].front() == '(') w = PastBrackets(words, w);
    if (w >= words.size()) {
      // "PLAQUETTE(S) PVC ALUMINIUM DE 30": the form's units.
      part.kind = Part::Kind::kUnits;
      part.quantity = quantity;
      break;
    }
    if (const std::string unit = UnitOf(words[w]); !unit.empty()) {
      part.kind = Part::Kind::kMeasured;
      part.quantity = quantity;
      part.unit = unit;
      break;
    }
    if (const Abbreviation* counted = CountWord(words[w])) {
      part.kind = counted->abbreviation == "DOS" ? Part::Kind::kDoses : Part::Kind::kUnits;
      part.quantity = quantity;
      part.unit = counted->abbreviation;
      break;
    }
    const Abbreviation* inner = ContainerWord(words[w]);
    // "DE 5 RECIPIENTS UNIDOSES" are counted; "1 BOITE DE 100 CARTOUCHES" is a box of so many.
    if (inner != nullptr && (inner->abbreviation == "RECIP" || part.container == "B")) {
      part.kind = Part::Kind::kUnits;
      part.quantity = quantity;
      break;
    }
    // "STYLOS COMPOSES DE 4 SERINGUES ... DE 1 ML", "DE 650 M": read on.
  }
  // "3 PLAQUETTES PVC PVDC ALUMINIUM 21 COMPRIMES BLEUS ET 7 COMPRIMES VERT
  // CLAIR", "- PACK D'INITIATION 14 COMPRIMES (2 X 2 MG + ...)": so many units
  // in each, said without a "DE".
  if (part.kind == Part::Kind::kContainers) {
    long long units = 0;
    for (size_t k = i; k + 1 < words.size(); ++k) {
      if (words[k].front() == '(') {
        k = PastBrackets(words, k) - 1;
        continue;
      }
      const Abbreviation* counted = CountWord(words[k + 1]);
      if (IsInteger(words[k]) && counted != nullptr && counted->abbreviation.empty() &&
          ContainerWord(words[k + 1]) == nullptr) {
        units += std::stoll(words[k]);
      }
    }
    if (units > 0) {
      part.kind = Part::Kind::kUnits;
      part.quantity = std::to_string(units);
    }
  }
  if (part.kind == Part::Kind::kUnits) {
    part.units = part.count * UnitsOf(part.quantity);
    if (!part.quantity.empty() && part.quantity.find(',') != std::string::npos)
      part.kind = Part::Kind::kMeasured;
  }
  return part;
}

// Splits at " - " and " + " outside brackets; a part that starts with neither
// a number nor a container or counted word goes on the one before ("PVC PVDC
// - ALUMINIUM DE 30 COMPRIMES").
std::vector<Words> Parts(const Words& words) {
  std::vector<Words> parts(1);
  int depth = 0;
  for (size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    const bool cut = depth == 0 && (word == "-" || word == "+") && i + 1 < words.size();
    for (char c : word) {
      if (c == '(') ++depth;
      if (c == ')' && depth > 0) --depth;
    }
    if (!cut) {
      parts.back().push_back(word);
      continue;
    }
    const std::string& next = words[i + 1];
    const bool starts = StartsWithDigit(next) || next == "UN" || next == "UNE" ||
                        ContainerWord(next) != nullptr || CountWord(next) != nullptr;
    if (starts) {
      parts.emplace_back();
    } else {
      parts.back().push_back(word);
    }
  }
  return parts;
}

// "DE 27 COMPRIMES DE 4 COMPRIMES DE 10 MG - 4 COMPRIMES DE 20 MG - 19
// COMPRIMES DE 30 MG": a figure that is the sum of all the others is the whole.
long long StatedWhole(const Words& words) {
  std::vector<long long> figures;
  const Abbreviation* kind = nullptr;
  for (size_t k = 0; k + 1 < words.size(); ++k) {
    const Abbreviation* counted = CountWord(words[k + 1]);
    if (IsInteger(words[k]) && counted != nullptr && counted->abbreviation.empty()) {
      // Figures of one kind only: "1 DISPOSITIF ... 2 COMPRESSES" count no pack.
      if (kind != nullptr && kind != counted) return 0;
      kind = counted;
      figures.push_back(std::stoll(words[k]));
    }
  }
  if (figures.size() < 3) return 0;
  const long long most = *std::max_element(figures.begin(), figures.end());
  long long others = -most;
  for (long long figure : figures) others += figure;
  return others == most ? most : 0;
}

// Longest pack of several measured parts written part by part.
constexpr size_t kMostPartsLength = 18;

}  // namespace

std::string SummarisePack(std::string_view label, bool kit) {
  const Words words = WholeNumbers(SplitWords(label));
  std::vector<Part> parts;
  for (const Words& part : Parts(words)) {
    // "+ 4750 ML DE SOLUTION TAMPON EN POCHE": a content after the first part
    // is another compartment of its containers.
    if (!parts.empty() && part.size() > 1 && IsQuantity(part[0]) && !UnitOf(part[1]).empty()) continue;
    parts.push_back(ReadPart(part));
  }
  if (parts.empty()) return std::string();
  const Part& first = parts.front();
  if (kit) return first.Text();
  if (parts.size() == 1) {
    // "DE 4 COMPRIMES DE 10 MG- PLAQUETTE(S) ... ETUI D'INITIATION DE 27 COMPRIMES".
    const long long whole = StatedWhole(words);
    if (whole > first.units && (first.kind == Part::Kind::kUnits || first.kind == Part::Kind::kUnitsFirst)) {
      return (first.container.empty() ? "B" : first.container) + "/" + std::to_string(whole);
    }
    return first.Text();
  }

  const bool units = first.kind == Part::Kind::kUnits || first.kind == Part::Kind::kUnitsFirst;
  if (units) {
    if (first.whole) return first.Text();
    std::vector<const Part*> counted;
    for (const Part& part : parts) {
      if (part.kind == Part::Kind::kUnits || part.kind == Part::Kind::kUnitsFirst) counted.push_back(&part);
    }
    long long total = 0;
    bool alike = true;
    bool sameContainer = true;
    long long containers = 0;
    for (const Part* part : counted) {
      total += part->units;
      containers += part->count;
      alike = alike && part->kind == Part::Kind::kUnits && part->quantity == first.quantity &&
              part->unit == first.unit && part->container == first.container;
      sameContainer = sameContainer && part->container == first.container;
    }
    if (const long long whole = StatedWhole(words); whole > 0) total = whole;
    if (counted.size() == 1) return first.Text();
    // Two bottles of 90: 2FL/90; 21 + 7 tablets: B/28.
    if (alike && first.units * static_cast<long long>(counted.size()) == total) {
      Part sum = first;
      sum.count = containers;
      sum.several = containers != 1;
      return sum.Text();
    }
    const std::string box = sameContainer && !first.container.empty() ? first.container : "B";
    return box + "/" + std::to_string(total);
  }
  if (first.kind == Part::Kind::kDoses) return first.Text();

  // Containers, measured or not: those of the first part's kind.
  std::vector<const Part*> same;
  for (const Part& part : parts) {
    if (part.container == first.container && part.kind != Part::Kind::kUnits &&
        part.kind != Part::Kind::kUnitsFirst && part.kind != Part::Kind::kDoses) {
      same.push_back(&part);
    }
  }
  if (same.size() == 1 || first.container.empty()) return first.Text();
  long long containers = 0;
  bool alike = true;
  std::string written;
  for (const Part* part : same) {
    containers += part->count;
    alike = alike && part->kind == first.kind && part->Amount() == first.Amount();
    if (!written.empty()) written += '+';
    written += part->Text();
  }
  if (alike) {
    Part sum = first;
    sum.count = containers;
    sum.several = containers != 1;
    return sum.Text();
  }
  if (written.size() <= kMostPartsLength) return written;
  return std::to_string(containers) + first.container;
}

}  // namespace quillor::catalogue
