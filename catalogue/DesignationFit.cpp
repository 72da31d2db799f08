#include "catalogue/DesignationFit.h"

#include <algorithm>
#include <optional>
#include <set>

#include "catalogue/Abbreviations.h"

namespace quillor::catalogue {
namespace {

bool IsLetter(char c) {
  return c >= 'A' && c <= 'Z';
}

bool HasDigit(std::string_view word) {
  return std::any_of(word.begin(), word.end(), IsDigit);
}

bool IsFiller(const std::string& word) {
  return FindAbbreviation(word, AbbreviationKind::kFormFiller) != nullptr;
}

// The longest a long word of a name is cut to, when abbreviations are not enough.
constexpr size_t kCutWordLength = 5;
// Only words of at least this many letters are cut.
constexpr size_t kLongWordLength = 7;

// Whether `word` is one of the table's abbreviations: it is short enough.
bool IsAbbreviation(std::string_view word) {
  static const auto* const kAbbreviations = [] {
    auto* all = new std::set<std::string_view>();
    for (const Abbreviation& entry : AbbreviationTable()) all->insert(entry.abbreviation);
    return all;
  }();
  return kAbbreviations->count(word) > 0;
}

// "500MG" -> ("500", "MG"), "20MG/ML" -> ("20", "MG/ML"); a part that is not a
// quantity followed by its unit -> nothing.
std::optional<std::pair<std::string, std::string>> SplitQuantity(const std::string& part) {
  size_t i = 0;
  while (i < part.size() && (IsDigit(part[i]) || part[i] == ',' || part[i] == '^' ||
                             (part[i] == 'X' && i + 1 < part.size() && IsDigit(part[i + 1])))) {
    ++i;
  }
  if (i == 0 || i == part.size() || (!IsLetter(part[i]) && part[i] != '%')) return std::nullopt;
  return std::make_pair(part.substr(0, i), part.substr(i));
}

// `word` cut at the separators in `separators` that come before a digit.
std::pair<std::vector<std::string>, std::string> SplitAt(const std::string& word,
                                                         std::string_view separators) {
  std::vector<std::string> parts;
  std::string joints;
  size_t start = 0;
  for (size_t i = 0; i + 1 < word.size(); ++i) {
    if (separators.find(word[i]) != std::string_view::npos && IsDigit(word[i + 1])) {
      parts.push_back(word.substr(start, i - start));
      joints += word[i];
      start = i + 1;
    }
  }
  parts.push_back(word.substr(start));
  return {parts, joints};
}

// "MCG/DOSE" -> ("MCG", "/DOSE").
std::pair<std::string, std::string> UnitAndPer(const std::string& suffix) {
  const size_t slash = suffix.find('/');
  if (slash == std::string::npos) return {suffix, std::string()};
  return {suffix.substr(0, slash), suffix.substr(slash)};
}

// "10MG/160MG/25MG" -> "10/160/25MG", "100MCG/50MCG/DOSE" -> "100/50MCG/DOSE",
// "500MG/267MG/10ML" -> "500/267MG/10ML": the leading quantities that share a
// unit written once; nothing when there are none. A last quantity of 100 or
// 1000 of the same unit is what the others are per ("0,1G/0,25G/100G") and
// stays written out.
std::optional<std::string> Compact(const std::string& word, std::string_view separators) {
  const auto [parts, joints] = SplitAt(word, separators);
  if (parts.size() < 2) return std::nullopt;
  std::vector<std::pair<std::string, std::string>> quantities;
  for (const std::string& part : parts) {
    const auto quantity = SplitQuantity(part);
    if (!quantity) break;
    quantities.push_back(*quantity);
  }
  // The run of quantities with the first one's unit; all but its last
  // without a "per", or all with the same one.
  const auto [unit, per] = UnitAndPer(quantities.empty() ? std::string() : quantities.front().second);
  size_t run = 0;
  bool samePer = true;
  while (run < quantities.size()) {
    const auto [u, p] = UnitAndPer(quantities[run].second);
    // "150MCG/30MCG" is two quantities, not one per another.
    if (u != unit || std::any_of(p.begin(), p.end(), IsDigit)) break;
    samePer = samePer && p == per;
    ++run;
    if (!p.empty() && !samePer) break;
  }
  if (run == quantities.size() && run >= 3 && parts.size() == run &&
      (quantities.back().first == "100" || quantities.back().first == "1000") && per.empty()) {
    --run;
  }
  if (run < 2) return std::nullopt;
  const std::string lastPer = UnitAndPer(quantities[run - 1].second).second;
  if (!samePer && run < 2) return std::nullopt;
  std::string compact;
  for (size_t i = 0; i < run; ++i) {
    if (i > 0) compact += joints[i - 1];
    compact += quantities[i].first;
  }
  compact += unit + (samePer ? per : lastPer);
  for (size_t i = run; i < parts.size(); ++i) {
    compact += joints[i - 1];
    compact += parts[i];
  }
  return compact;
}

Words AbbreviateAll(const Words& words) {
  Words result;
  for (const std::string& word : words) result.push_back(AbbreviateNameWord(word));
  return result;
}

// Form fillers left dangling at the end once later words are gone ("ENF ET").
void DropTrailingFillers(Words& words) {
  while (!words.empty() && IsFiller(words.back())) words.pop_back();
}

// The letter runs of a pack: "12AMP/2ML" -> AMP, ML.
Words PackWords(const std::string& pack) {
  Words words;
  std::string run;
  for (size_t i = 0; i <= pack.size(); ++i) {
    if (i < pack.size() && IsLetter(pack[i])) {
      run += pack[i];
    } else if (!run.empty()) {
      words.push_back(run);
      run.clear();
    }
  }
  return words;
}

// The form without the words the designation already says elsewhere: "LP" in
// a name, "AMP" in a pack of ampoules.
Words FormNotSaidElsewhere(const DenominationParts& parts, const std::string& pack) {
  Words said = parts.name;
  said.insert(said.end(), parts.qualifiers.begin(), parts.qualifiers.end());
  // The summary, not the words that tell it from a sibling's.
  const Words packWords = PackWords(pack.substr(0, pack.find(' ')));
  said.insert(said.end(), packWords.begin(), packWords.end());
  for (const std::string& word : parts.name) {
    if (word == "L.P.") said.emplace_back("LP");
  }
  Words form;
  for (const std::string& word : parts.form) {
    if (std::find(said.begin(), said.end(), word) == said.end()) form.push_back(word);
  }
  return form;
}

// The words between the quantities of a strength, abbreviated, little words
// left out, unless between two numbers ("3 A 11 ANS").
Words ShortStrength(const Words& strength) {
  Words result;
  for (size_t i = 0; i < strength.size(); ++i) {
    const std::string& word = strength[i];
    const bool betweenNumbers =
        i > 0 && i + 1 < strength.size() && HasDigit(strength[i - 1]) && StartsWithDigit(strength[i + 1]);
    if (!HasDigit(word) && IsFiller(word) && !betweenNumbers) continue;
    result.push_back(HasDigit(word) ? word : AbbreviateNameWord(word));
  }
  return result;
}

// The content of one of the pack's units: "10ML" of "24X10ML", "150ML" of "FL/150ML".
std::string PackContent(const std::string& pack) {
  const std::string summary = pack.substr(0, pack.find(' '));
  for (size_t i = 1; i + 1 < summary.size(); ++i) {
    const bool slash = summary[i] == '/' && IsDigit(summary[i + 1]);
    const bool times = summary[i] == 'X' && IsDigit(summary[i - 1]) && IsDigit(summary[i + 1]);
    if (slash || times) return summary.substr(i + 1);
  }
  return std::string();
}

// "500/267MG/10ML" in sachets of 10 ML: what the quantities are per is the
// pack's unit, written once, in the pack.
Words WithoutPerOfPack(const Words& strength, const std::string& pack) {
  const std::string content = PackContent(pack);
  if (strength.empty() || content.empty() || !StartsWithDigit(content)) return strength;
  Words result = strength;
  std::string& last = result.back();
  const std::string per = "/" + content;
  if (last.size() > per.size() && last.compare(last.size() - per.size(), per.size(), per) == 0 &&
      IsLetter(last[last.size() - per.size() - 1])) {
    last.resize(last.size() - per.size());
  }
  return result;
}

// The shapes the rest of a designation may take with a given name, fullest
// first; every one keeps the strength's quantities, the form's essential
// words and the pack.
std::vector<Words> RestVariants(const DenominationParts& parts, const std::string& givenPack) {
  std::vector<Words> variants;
  // "37MBQ/ML ... FL/37MBQ/ML": a pack whose content is the strength says its container.
  std::string pack = givenPack;
  const std::string content = PackContent(pack);
  if (!content.empty() &&
      std::find(parts.strength.begin(), parts.strength.end(), content) != parts.strength.end()) {
    const std::string summary = pack.substr(0, pack.find(' '));
    const size_t cut = summary.size() - content.size() - 1;
    const std::string container = summary.substr(0, cut);
    if (!container.empty() && summary[cut] == '/') {
      pack = container + pack.substr(summary.size());
    }
  }
  const Words fullForm = FormNotSaidElsewhere(parts, pack);
  Words essential;
  for (const std::string& word : fullForm) {
    if (IsEssentialFormWord(word)) essential.push_back(word);
  }
  Words firstForm = essential;
  if (!fullForm.empty() && !IsEssentialFormWord(fullForm.front())) {
    firstForm.insert(firstForm.begin(), fullForm.front());
  }
  const Words shortQualifiers = AbbreviateAll(parts.qualifiers);
  const Words shortStrength = ShortStrength(parts.strength);
  auto add = [&](const Words& strength, const Words& qualifiers, const Words& form) {
    Words rest = strength;
    rest.insert(rest.end(), qualifiers.begin(), qualifiers.end());
    rest.insert(rest.end(), form.begin(), form.end());
    rest.push_back(pack);
    variants.push_back(std::move(rest));
  };
  add(parts.strength, parts.qualifiers, fullForm);
  add(parts.strength, shortQualifiers, fullForm);
  add(parts.strength, shortQualifiers, firstForm);
  for (size_t keep = shortQualifiers.size(); keep-- > 0;) {
    Words fewer(shortQualifiers.begin(), shortQualifiers.begin() + static_cast<std::ptrdiff_t>(keep));
    DropTrailingFillers(fewer);
    add(parts.strength, fewer, firstForm);
  }
  add(shortStrength, {}, firstForm);
  add(CompactStrength(shortStrength), {}, firstForm);
  add(CompactStrength(shortStrength), {}, essential);
  const Words once = WithoutPerOfPack(CompactStrength(shortStrength), pack);
  if (once != CompactStrength(shortStrength)) {
    add(once, {}, firstForm);
    add(once, {}, essential);
  }
  return variants;
}

// The shapes the name may take, whole first.
struct NameVariant {
  Words words;
  bool whole;
  bool cut;
};

bool Says(const Words& words, size_t except, const std::string& word) {
  for (size_t i = 0; i < words.size(); ++i) {
    if (i != except && words[i] == word) return true;
  }
  return false;
}

// Long parts of a name's word cut to their first letters: "PHENIRAMINE" ->
// "PHENI"; never a part that is an abbreviation already, or one whose first
// letters another part of the name shares ("CHLORHEXIDINE/CHLOROBUTANOL").
std::string CutLongParts(const std::string& word, const Words& name) {
  if (HasDigit(word)) return word;
  std::vector<std::string> others;
  for (const std::string& other : name) {
    std::string part;
    for (size_t i = 0; i <= other.size(); ++i) {
      if (i == other.size() || !IsLetter(other[i])) {
        if (part.size() >= kCutWordLength) others.push_back(part.substr(0, kCutWordLength));
        part.clear();
      } else {
        part += other[i];
      }
    }
  }
  std::string result;
  std::string part;
  for (size_t i = 0; i <= word.size(); ++i) {
    if (i == word.size() || !IsLetter(word[i])) {
      const bool shared = part.size() >= kCutWordLength &&
                          std::count(others.begin(), others.end(), part.substr(0, kCutWordLength)) > 1;
      // The table's short abbreviations are short enough; its long ones
      // ("DICHLOROBENZ") may be cut further.
      const bool cut =
          part.size() >= kLongWordLength && !(IsAbbreviation(part) && part.size() <= 8) && !shared;
      result += cut ? part.substr(0, kCutWordLength) : part;
      if (i < word.size()) result += word[i];
      part.clear();
    } else {
      part += word[i];
    }
  }
  return result;
}

// "PERINDOPRIL" "/INDAP" -> "PERINDOPRIL/INDAP", "CHLORH/" "DE" "FLUTI" ->
// "CHLORH/FLUTI": a substance whose first part the table leaves out.
void GlueSlashes(Words& words) {
  Words glued;
  for (size_t i = 0; i < words.size(); ++i) {
    std::string word = words[i];
    if (!glued.empty() && (word.front() == '/' || glued.back().back() == '/')) {
      if (glued.back().back() == '/' && IsFiller(word) && i + 1 < words.size()) continue;
      glued.back() += word;
      continue;
    }
    glued.push_back(std::move(word));
  }
  words = glued;
}

std::vector<NameVariant> NameVariants(const Words& name) {
  std::vector<NameVariant> variants{{name, true, false}};
  Words current = name;
  auto add = [&](bool cut) {
    GlueSlashes(current);
    if (!current.empty() && current != variants.back().words) variants.push_back({current, false, cut});
  };
  // The table's abbreviations, from the last word; a word the name says
  // already goes ("EG LABO LABORATOIRES EUROGENERICS" -> "EG LABO"), and so
  // does a word the table leaves out ("PROPIONATE").
  for (size_t i = current.size(); i-- > 0;) {
    const std::string shorter = AbbreviateNameWord(current[i]);
    if (shorter == current[i]) continue;
    const Words before(current.begin(), current.begin() + static_cast<std::ptrdiff_t>(i));
    // "ALGINATE DE SODIUM/BICARBONATE DE SODIUM": the second SODIUM says again
    // a part of the word before.
    bool partSaid = false;
    for (const std::string& word : before) {
      size_t start = 0;
      while (start <= word.size()) {
        const size_t slash = word.find('/', start);
        const std::string part = word.substr(start, slash == std::string::npos ? slash : slash - start);
        partSaid = partSaid || part == current[i] || (!shorter.empty() && part == shorter);
        if (slash == std::string::npos) break;
        start = slash + 1;
      }
    }
    const bool saidBefore =
        partSaid || std::find(before.begin(), before.end(), shorter) != before.end() ||
        (i > 0 && current[i - 1].size() > shorter.size() &&
         current[i - 1].compare(0, shorter.size(), shorter) == 0 && !shorter.empty() && IsLetter(shorter[0]));
    if ((saidBefore || shorter.empty()) && current.size() > 1) {
      current.erase(current.begin() + static_cast<std::ptrdiff_t>(i));
      // "PROPIONATE DE FLUTICASONE": its little word goes with it.
      if (shorter.empty() && i < current.size() && current.size() > 1 && IsFiller(current[i])) {
        current.erase(current.begin() + static_cast<std::ptrdiff_t>(i));
      }
    } else if (!Says(current, i, shorter) && !shorter.empty()) {
      current[i] = shorter;
    } else {
      continue;
    }
    add(false);
  }
  // What brackets say of the name ("(VITAMINE D3)"), unless a number.
  Words withoutBrackets;
  for (size_t i = 0; i < current.size(); ++i) {
    if (current[i].front() == '(' && i > 0) {
      size_t close = i;
      while (close < current.size() && current[close].find(')') == std::string::npos) ++close;
      bool number = false;
      for (size_t k = i; k <= close && k < current.size(); ++k) {
        const std::string& word = current[k];
        number = number || StartsWithDigit(word) || (word.size() > 1 && word[0] == '(' && IsDigit(word[1]));
      }
      if (close < current.size() && !number) {
        i = close;
        continue;
      }
    }
    withoutBrackets.push_back(current[i]);
  }
  current = withoutBrackets;
  add(false);
  // Little words inside the name.
  Words withoutFillers;
  for (size_t i = 0; i < current.size(); ++i) {
    if (i == 0 || i + 1 == current.size() || !IsFiller(current[i]) || current[i] == "ET") {
      withoutFillers.push_back(current[i]);
    }
  }
  current = withoutFillers;
  add(false);
  // Long words cut to their first letters, from the last.
  for (size_t i = current.size(); i-- > 0;) {
    const std::string shorter = CutLongParts(current[i], current);
    if (shorter == current[i] || Says(current, i, shorter)) continue;
    current[i] = shorter;
    add(false);
  }
  // A last resort: the last words left out, a bracket whole.
  auto open = [](const std::string& word) {
    return (word.find('(') != std::string::npos && word.find(')') == std::string::npos) ||
           (word.find('[') != std::string::npos && word.find(']') == std::string::npos);
  };
  while (current.size() > 1) {
    current.pop_back();
    while (current.size() > 1 && open(current.back())) current.pop_back();
    Words kept = current;
    DropTrailingFillers(kept);
    if (kept.empty()) break;
    current = kept;
    variants.push_back({current, false, true});
  }
  return variants;
}

// The pack is its summary ("FL/200ML") and, where siblings or other
// specialities needed it, words that tell it apart ("BGR", "SER"). Such a
// word is left out where the designation already shows it, in the name
// ("CHLORHEX/CHLOROBUT BGR CSL FL/200ML", not "... FL/200ML BGR") or as the
// summary's container ("SER/0,5ML", not "SER/0,5ML SER").
std::string PackBesideName(const Words& name, const std::string& pack) {
  const Words words = SplitWords(pack);
  if (words.empty()) return pack;
  const std::string container = words.front().substr(0, words.front().find('/'));
  Words kept{words.front()};
  for (size_t i = 1; i < words.size(); ++i) {
    if (words[i] == container || std::find(name.begin(), name.end(), words[i]) != name.end()) continue;
    kept.push_back(words[i]);
  }
  return JoinWords(kept);
}

// REQUIRES: the pack is the last part of `rest`.
std::string Compose(const Words& name, const Words& rest) {
  Words all = name;
  all.insert(all.end(), rest.begin(), rest.end());
  if (!all.empty()) all.back() = PackBesideName(Words(all.begin(), all.end() - 1), all.back());
  return JoinWords(all);
}

std::string Difference(const Words& whole, const Words& kept) {
  Words lost;
  for (size_t i = kept.size(); i < whole.size(); ++i) lost.push_back(whole[i]);
  return JoinWords(lost);
}

}  // namespace

std::string AbbreviateNameWord(const std::string& word) {
  std::string result;
  std::string part;
  for (size_t i = 0; i <= word.size(); ++i) {
    if (i == word.size() || word[i] == '/' || word[i] == '\'' || word[i] == '-') {
      const Abbreviation* found = FindAbbreviation(part, AbbreviationKind::kNameWord);
      result += found != nullptr ? std::string(found->abbreviation) : part;
      if (i < word.size()) result += word[i];
      part.clear();
    } else {
      part += word[i];
    }
  }
  return result;
}

Words CompactStrength(const Words& strength) {
  Words result;
  for (const std::string& word : strength) {
    // "20MG/ML+5MG/ML" by its '+' first, "150MCG/30MCG+10MCG" by both.
    std::optional<std::string> compact = Compact(word, "+");
    if (!compact) compact = Compact(word, "/+");
    result.push_back(compact.value_or(word));
  }
  return result;
}

FittedDesignation FitDesignation(const DenominationParts& parts, const std::string& pack, size_t maxLength) {
  const std::vector<Words> rests = RestVariants(parts, pack);
  const std::vector<NameVariant> names = NameVariants(parts.name);
  const bool hasStrength = !parts.strength.empty();
  for (const NameVariant& name : names) {
    for (const Words& rest : rests) {
      std::string text = Compose(name.words, rest);
      if (text.size() > maxLength) continue;
      FittedDesignation fitted{std::move(text), name.whole, name.cut, name.words.size(), true, "", 0};
      if (name.cut) {
        fitted.lossRank = 1;
        const auto shortest =
            std::find_if(names.rbegin(), names.rend(), [](const NameVariant& v) { return !v.cut; });
        fitted.lost = "the words " + Difference(shortest->words, name.words) + " of the name";
      }
      return fitted;
    }
  }
  // Not even the first word of the name with the strength, the essential
  // words and the pack: the essential words go, then the strength; the name
  // keeps the words or substances that fit, or else its first letters.
  const auto shortest =
      std::find_if(names.rbegin(), names.rend(), [](const NameVariant& v) { return !v.cut; });
  const std::string fullName = JoinWords(shortest->words);
  const Words strength = CompactStrength(ShortStrength(parts.strength));
  std::vector<std::pair<Words, std::string>> lasts = {
      {strength, "its form's words"},
      {{}, hasStrength ? "its strength" : "its form's words"},
  };
  lasts.front().first.push_back(pack);
  lasts.back().first.push_back(pack);
  for (const auto& [rest, lost] : lasts) {
    const std::string restText = Compose({}, rest);
    if (restText.size() + 1 + std::min<size_t>(kCutWordLength, fullName.size()) > maxLength) continue;
    const size_t room = maxLength - restText.size() - 1;
    std::string name = fullName;
    const bool cutName = name.size() > room;
    if (cutName) {
      const size_t boundary = name.find_last_of(" /", room);
      name = boundary != std::string::npos && boundary >= kCutWordLength ? name.substr(0, boundary)
                                                                         : name.substr(0, room);
    }
    while (!name.empty() && (name.back() == ' ' || name.back() == '/')) name.pop_back();
    FittedDesignation fitted{
        JoinWords({name, restText}),   false, true, SplitWords(name).size(), lost != "its strength", "",
        lost == "its strength" ? 3 : 2};
    fitted.lost = std::string(cutName ? "the name cut to " + name + ", " : "") + lost;
    return fitted;
  }
  std::string text = Compose({}, {pack}).substr(0, maxLength);
  return {text, false, true, 0, !hasStrength, "the name and the strength", 3};
}

FittedDesignation FitDesignationNoWorse(const DenominationParts& parts, const std::string& pack,
                                        const std::string& basePack) {
  return NoWorse(FitDesignation(parts, pack), FitDesignation(parts, basePack));
}

const FittedDesignation& NoWorse(const FittedDesignation& grown, const FittedDesignation& base) {
  return grown.lossRank > base.lossRank ? base : grown;
}

}  // namespace quillor::catalogue
