#include "DesignationFit.h"

#include <algorithm>
#include <optional>

#include "Abbreviations.h"

namespace quillor::catalogue {
namespace {

// "500MG" -> ("500", "MG"); a word that is not a quantity and a unit -> nothing.
std::optional<std::pair<std::string, std::string>> SplitQuantity(const std::string& part) {
  size_t i = 0;
  while (i < part.size() && (IsDigit(part[i]) || part[i] == ',')) ++i;
  if (i == 0 || i == part.size()) return std::nullopt;
  for (size_t j = i; j < part.size(); ++j) {
    if (part[j] < 'A' || part[j] > 'Z') return std::nullopt;
  }
  return std::make_pair(part.substr(0, i), part.substr(i));
}

// One word with the name-word abbreviations of its parts around '/', '\''
// and '-': "AMOXICILLINE/ACIDE" -> "AMOX/AC", "D'ESTOMAC" -> "D'EST".
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

Words AbbreviateAll(const Words& words) {
  Words result;
  for (const std::string& word : words) result.push_back(AbbreviateNameWord(word));
  return result;
}

// Form fillers left dangling at the end once later words are gone ("ENF ET").
void DropTrailingFillers(Words& words) {
  while (!words.empty() && FindAbbreviation(words.back(), AbbreviationKind::kFormFiller) != nullptr) {
    words.pop_back();
  }
}

// The letter runs of a pack: "12AMP/2ML" -> AMP, ML.
Words PackWords(const std::string& pack) {
  Words words;
  std::string run;
  for (size_t i = 0; i <= pack.size(); ++i) {
    if (i < pack.size() && pack[i] >= 'A' && pack[i] <= 'Z') {
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
  const Words packWords = PackWords(pack);
  said.insert(said.end(), packWords.begin(), packWords.end());
  Words form;
  for (const std::string& word : parts.form) {
    if (std::find(said.begin(), said.end(), word) == said.end()) form.push_back(word);
  }
  return form;
}

// The shapes the rest of a designation may take with a given name, fullest first.
std::vector<Words> RestVariants(const DenominationParts& parts, const std::string& pack) {
  std::vector<Words> variants;
  const Words fullForm = FormNotSaidElsewhere(parts, pack);
  const Words firstForm = fullForm.empty() ? Words() : Words{fullForm.front()};
  const Words shortQualifiers = AbbreviateAll(parts.qualifiers);
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
  add(CompactStrength(parts.strength), {}, firstForm);
  add(CompactStrength(parts.strength), {}, {});
  return variants;
}

// The shapes the name may take, whole first: then its words abbreviated one
// more at a time from the last, then its last words left out one by one.
struct NameVariant {
  Words words;
  bool whole;
  bool cut;
};

std::vector<NameVariant> NameVariants(const Words& name) {
  std::vector<NameVariant> variants{{name, true, false}};
  Words current = name;
  for (size_t i = current.size(); i-- > 0;) {
    const std::string shorter = AbbreviateNameWord(current[i]);
    if (shorter == current[i]) continue;
    current[i] = shorter;
    variants.push_back({current, false, false});
  }
  while (current.size() > 1) {
    current.pop_back();
    Words kept = current;
    DropTrailingFillers(kept);
    if (kept.empty()) break;
    variants.push_back({kept, false, true});
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
  all.back() = PackBesideName(name, all.back());
  return JoinWords(all);
}

}  // namespace

Words CompactStrength(const Words& strength) {
  Words result;
  for (const std::string& word : strength) {
    std::vector<std::pair<std::string, std::string>> quantities;
    size_t start = 0;
    bool plain = true;
    while (plain) {
      const size_t slash = word.find('/', start);
      const auto quantity =
          SplitQuantity(word.substr(start, slash == std::string::npos ? slash : slash - start));
      if (!quantity)
        plain = false;
      else
        quantities.push_back(*quantity);
      if (slash == std::string::npos) break;
      start = slash + 1;
    }
    bool sameUnit = plain && quantities.size() > 1;
    for (const auto& q : quantities) sameUnit = sameUnit && q.second == quantities.front().second;
    if (!sameUnit) {
      result.push_back(word);
      continue;
    }
    std::string compact;
    for (size_t i = 0; i < quantities.size(); ++i) {
      if (i > 0) compact += '/';
      compact += quantities[i].first;
    }
    result.push_back(compact + quantities.front().second);
  }
  return result;
}

FittedDesignation FitDesignation(const DenominationParts& parts, const std::string& pack, size_t maxLength) {
  const std::vector<Words> rests = RestVariants(parts, pack);
  const bool hasStrength = !parts.strength.empty();
  for (const NameVariant& name : NameVariants(parts.name)) {
    for (const Words& rest : rests) {
      std::string text = Compose(name.words, rest);
      if (text.size() <= maxLength) return {std::move(text), name.whole, name.cut, name.words.size(), true};
    }
  }
  // Not even the shortest name with the strength and the pack: the strength
  // goes, since siblings share it while the pack tells them apart; then whole
  // words are kept from the start while they fit.
  const std::vector<NameVariant> names = NameVariants(parts.name);
  for (const NameVariant& name : names) {
    std::string text = Compose(name.words, {pack});
    if (text.size() <= maxLength) {
      return {std::move(text), name.whole, name.cut, name.words.size(), !hasStrength};
    }
  }
  const Words all = SplitWords(Compose(names.back().words, {pack}));
  std::string text;
  size_t kept = 0;
  for (const std::string& word : all) {
    const size_t grown = text.size() + (text.empty() ? 0 : 1) + word.size();
    if (grown > maxLength) break;
    if (!text.empty()) text += ' ';
    text += word;
    ++kept;
  }
  if (text.empty() && !all.empty()) text = all.front().substr(0, maxLength);
  return {text, false, true, std::min(kept, names.back().words.size()), !hasStrength};
}

FittedDesignation FitDesignationNoWorse(const DenominationParts& parts, const std::string& pack,
                                        const std::string& basePack) {
  FittedDesignation base = FitDesignation(parts, basePack);
  FittedDesignation grown = FitDesignation(parts, pack);
  const bool worse = grown.nameWordsKept < base.nameWordsKept || (base.strengthKept && !grown.strengthKept);
  return worse ? base : grown;
}

}  // namespace quillor::catalogue
