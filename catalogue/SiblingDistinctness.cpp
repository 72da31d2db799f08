#include "SiblingDistinctness.h"

#include <algorithm>
#include <map>
#include <set>

#include "Abbreviations.h"
#include "Words.h"

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

Words CleanWords(const std::string& label) {
  Words words;
  for (const std::string& word : SplitWords(label)) {
    if (FindAbbreviation(word, AbbreviationKind::kFormFiller) != nullptr) continue;
    std::string clean = WithoutPunctuation(word);
    if (!clean.empty()) words.push_back(std::move(clean));
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
Words TellingWords(const std::string& source, const std::vector<std::string>& others) {
  std::vector<Words> otherWords;
  for (const std::string& other : others) otherWords.push_back(CleanWords(other));
  Words telling;
  for (const std::string& word : CleanWords(source)) {
    const bool shared = std::all_of(otherWords.begin(), otherWords.end(), [&](const Words& words) {
      return std::find(words.begin(), words.end(), word) != words.end();
    });
    if (!shared) telling.push_back(ShortWord(word));
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

size_t MakeSiblingsDistinct(const std::vector<Article>& siblings, std::vector<std::string>& packs,
                            const std::function<std::string(const std::string& pack)>& designationOf) {
  std::vector<std::string> labels;
  for (const Article& sibling : siblings) labels.push_back(sibling.label);
  return MakeDistinct(labels, packs,
                      [&designationOf](size_t, const std::string& pack) { return designationOf(pack); });
}

size_t MakeDistinct(const std::vector<std::string>& sources, std::vector<std::string>& packs,
                    const std::function<std::string(size_t article, const std::string& pack)>& designationOf,
                    bool numberAlike) {
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
  // Sources made of the same words: number them, in the order they come.
  if (numberAlike) {
    for (const std::vector<size_t>& group : Collisions(sources, designations)) {
      std::map<std::string, size_t> numberOfSource;
      for (size_t m : group) {
        const size_t number = numberOfSource.emplace(sources[m], numberOfSource.size() + 1).first->second;
        if (number > 1) tryPack(m, packs[m] + " (" + std::to_string(number) + ")");
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
