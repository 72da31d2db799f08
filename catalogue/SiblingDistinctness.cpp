#include "catalogue/SiblingDistinctness.h"

#include <algorithm>
#include <map>
#include <set>

#include "catalogue/Abbreviations.h"
#include "catalogue/Words.h"

namespace quillor::catalogue {
namespace {

// Members (indexes) of each group of articles sharing a designation while
// their sources are not all the same.
std::vector<std::vector<size_t>> Collisions(const std::vector<std::string>& sources,
                                            const std::vector<std::string>& designations) {
  std::map<std::string, std::vector<size_t>> byDesignation;
  for (size_t i = 0; i < designations.size(); ++i) byDesignation[designations[i]].push_back(i);
  std::vector<std::vector<size_t>> groups;
  for (auto& [designation, members] : byDesignation) {
    std::set<std::string> texts;
    for (size_t m : members) texts.insert(sources[m]);
    if (texts.size() > 1) groups.push_back(members);
  }
  return groups;
}

// "(DISTRIBUTEUR" -> "DISTRIBUTEUR", "MANODETENDEUR," -> "MANODETENDEUR",
// "REMPLI(S)" -> "REMPLI", "(PEHD)" -> "PEHD", ":" -> "".
std::string WithoutPunctuation(std::string word) {
  // "SPATULE(S),": what ends a phrase first.
  while (!word.empty() &&
         (word.back() == ',' || word.back() == ';' || word.back() == ':' || word.back() == '.')) {
    word.pop_back();
  }
  // A mark cut short at the end of a label: "SPATULE(S".
  if (const size_t open = word.rfind('('); open != std::string::npos && open > 0 && word.size() - open <= 3 &&
                                           word.find(')', open) == std::string::npos) {
    word.resize(open);
  }
  const auto punctuation = [](char c) {
    return c == '(' || c == ')' || c == '[' || c == ']' || c == ',' || c == ':' || c == '.' || c == '"' ||
           c == '-' || c == '+' || c == ';';
  };
  // Plural and feminine marks: "(S)", "(E)(S)".
  while (word.size() > 1 && word.back() == ')') {
    const size_t open = word.rfind('(');
    if (open == std::string::npos || open == 0 || word.size() - open > 5) break;
    word.resize(open);
  }
  size_t first = 0;
  size_t last = word.size();
  while (first < last && punctuation(word[first])) ++first;
  while (last > first && punctuation(word[last - 1])) --last;
  return word.substr(first, last - first);
}

bool IsBareNumber(const std::string& word) {
  return !word.empty() &&
         std::all_of(word.begin(), word.end(), [](char c) { return IsDigit(c) || c == ','; });
}

// Words that say nothing a pharmacist reads as another product.
bool TellsNothing(const std::string& word) {
  static const std::set<std::string, std::less<>> kNothing = {
      "ABROGEE", "DANS", "I", "SOUS", "SUR", "CHAQUE", "EST", "SONT", "LES", "UN", "UNE", "X", "*", "N"};
  return IsBareNumber(word) || kNothing.count(word) > 0 ||
         (FindAbbreviation(word, AbbreviationKind::kUnit) != nullptr && word != "%");
}

Words CleanWords(const std::string& label) {
  Words words;
  const Words all = SplitWords(label);
  for (size_t i = 0; i < all.size(); ++i) {
    const std::string& word = all[i];
    // "SOLVANT DE 20 ML": a quantity with its unit tells something; "AVEC 1
    // INHALATEUR" says an inhaler.
    if (i + 1 < all.size() && IsBareNumber(WithoutPunctuation(word)) && !WithoutPunctuation(word).empty() &&
        WithoutPunctuation(word) != "1") {
      const std::string unit = WithoutPunctuation(all[i + 1]);
      const Abbreviation* found = FindAbbreviation(unit, AbbreviationKind::kUnit);
      // "AVEC 3 INHALATEURS": so many of a container.
      if (found == nullptr) found = FindAbbreviation(unit, AbbreviationKind::kContainer);
      if (found != nullptr && !found->abbreviation.empty()) {
        words.push_back(WithoutPunctuation(word) + std::string(found->abbreviation));
        ++i;
        continue;
      }
    }
    // "GROUPE SANGUIN A": a blood group is never a little word.
    const bool group = i > 0 && (all[i - 1] == "SANGUIN" || all[i - 1] == "GROUPE");
    if (!group && FindAbbreviation(word, AbbreviationKind::kFormFiller) != nullptr) continue;
    std::string clean = WithoutPunctuation(word);
    if (clean.empty() || (!group && TellsNothing(clean))) continue;
    words.push_back(std::move(clean));
  }
  return words;
}

std::string ShortWord(const std::string& word) {
  for (AbbreviationKind kind : {AbbreviationKind::kMaterial, AbbreviationKind::kContainer,
                                AbbreviationKind::kForm, AbbreviationKind::kNameWord}) {
    const Abbreviation* found = FindAbbreviation(word, kind);
    if (found != nullptr && !found->abbreviation.empty()) return std::string(found->abbreviation);
  }
  return word;
}

// The words of `source` that some other source of the group lacks, in their
// order, fillers and punctuation left out.
// "GELULES" and "GELULE(S)" say the same.
std::string Singular(const std::string& word) {
  if (word.size() > 3 && word.back() == 'S' && !IsDigit(word[word.size() - 2])) {
    return word.substr(0, word.size() - 1);
  }
  return word;
}

Words TellingWords(const std::string& source, const std::vector<std::string>& others) {
  std::vector<std::set<std::string>> otherWords;
  for (const std::string& other : others) {
    std::set<std::string> singulars;
    for (const std::string& word : CleanWords(other)) singulars.insert(Singular(word));
    otherWords.push_back(std::move(singulars));
  }
  Words telling;
  for (const std::string& word : CleanWords(source)) {
    const bool shared =
        std::all_of(otherWords.begin(), otherWords.end(),
                    [&](const std::set<std::string>& words) { return words.count(Singular(word)) > 0; });
    const std::string shortWord = ShortWord(word);
    // "ETUI" is a box, B, which a designation's pack says already.
    const bool letter = shortWord.size() == 1 && word.size() > 1;
    if (!shared && !letter && std::find(telling.begin(), telling.end(), shortWord) == telling.end()) {
      telling.push_back(shortWord);
    }
  }
  return telling;
}

// Up to `count` telling words, within kMaxTellingLength characters.
std::string FirstTellingWords(const Words& telling, size_t count) {
  std::string text;
  for (size_t i = 0; i < telling.size() && i < count; ++i) {
    const size_t grown = text.size() + (text.empty() ? 0 : 1) + telling[i].size();
    if (grown > kMaxTellingLength) break;
    if (!text.empty()) text += ' ';
    text += telling[i];
  }
  return text;
}

}  // namespace

bool IsMaterialWord(const std::string& word) {
  static const std::set<std::string, std::less<>> kMore = {
      "THERMOFORMEE", "THERMOFORME", "THERMOSOUDE", "PVC",        "PVDC",  "OPA",
      "ORIENTE",      "PEHD",        "PEBD",        "HAUTE",      "BASSE", "DENSITE",
      "PRESSURISE",   "ACLAR",       "RX",          "COPOLYMERE", "PCTFE", "PVC-ALUMINIUM"};
  const std::string clean = WithoutPunctuation(word);
  return kMore.count(clean) > 0 || FindAbbreviation(clean, AbbreviationKind::kMaterial) != nullptr;
}

std::string WithoutMaterials(const std::string& label) {
  Words kept;
  for (const std::string& word : SplitWords(label)) {
    if (!IsMaterialWord(word)) kept.push_back(word);
  }
  return JoinWords(kept);
}

std::string ProductLabel(std::string label) {
  for (std::string_view clause :
       {"(DISTRIBUTEUR", "(DISTRIBUTION", "(IMPORTATION", "( ABROGEE", "(ABROGEE"}) {
    for (size_t at = label.find(clause); at != std::string::npos; at = label.find(clause, at)) {
      const size_t close = label.find(')', at);
      label.erase(at, close == std::string::npos ? std::string::npos : close - at + 1);
    }
  }
  return JoinWords(SplitWords(label));
}

size_t MakeDistinct(
    const std::vector<std::string>& sources, std::vector<std::string>& packs,
    const std::function<std::string(size_t article, const std::string& pack)>& designationOf) {
  std::vector<std::string> designations;
  for (size_t i = 0; i < packs.size(); ++i) designations.push_back(designationOf(i, packs[i]));
  const std::vector<std::string> summaries = packs;
  const std::vector<std::string> first = designations;
  // A longer pack that gives the first designation back was refused: the
  // article keeps the pack it had.
  auto tryPack = [&](size_t m, const std::string& pack) {
    std::string designation = designationOf(m, pack);
    if (designation == first[m] && designations[m] != first[m]) return;
    packs[m] = pack;
    designations[m] = std::move(designation);
  };
  constexpr size_t kMostTellingWords = 4;
  for (size_t count = 1; count <= kMostTellingWords; ++count) {
    const std::vector<std::vector<size_t>> groups = Collisions(sources, designations);
    if (groups.empty()) break;
    for (const std::vector<size_t>& group : groups) {
      for (size_t m : group) {
        std::vector<std::string> others;
        for (size_t o : group) {
          if (sources[o] != sources[m]) others.push_back(sources[o]);
        }
        const std::string words = FirstTellingWords(TellingWords(sources[m], others), count);
        if (!words.empty()) tryPack(m, summaries[m] + " " + words);
      }
    }
  }
  // Still alike for want of room: one telling word alone, the shortest that
  // sets the article apart ("BOUT/2L TIPI" rather than "BOUT/2L DISPOSANT").
  for (const std::vector<size_t>& group : Collisions(sources, designations)) {
    for (size_t m : group) {
      auto alike = [&](const std::string& designation) {
        for (size_t o : group) {
          if (o != m && sources[o] != sources[m] && designations[o] == designation) return true;
        }
        return false;
      };
      if (!alike(designations[m])) continue;
      std::vector<std::string> others;
      for (size_t o : group) {
        if (sources[o] != sources[m]) others.push_back(sources[o]);
      }
      Words shortest = TellingWords(sources[m], others);
      std::stable_sort(shortest.begin(), shortest.end(),
                       [](const std::string& a, const std::string& b) { return a.size() < b.size(); });
      for (const std::string& word : shortest) {
        if (word.size() > kMaxTellingLength) break;
        const std::string designation = designationOf(m, summaries[m] + " " + word);
        if (designation == first[m] || alike(designation)) continue;
        packs[m] = summaries[m] + " " + word;
        designations[m] = designation;
        break;
      }
    }
  }
  size_t changed = 0;
  for (size_t i = 0; i < packs.size(); ++i) {
    if (designations[i] != first[i]) {
      ++changed;
    } else {
      packs[i] = summaries[i];
    }
  }
  return changed;
}

}  // namespace quillor::catalogue
