#include "knowledge/SubstanceSearch.h"

#include <algorithm>
#include <map>
#include <tuple>

namespace quillor {
namespace {

bool StartsWithDigit(const std::string& word) {
  return !word.empty() && word[0] >= '0' && word[0] <= '9';
}

bool IsNameSeparator(char c) {
  return c == ' ' || c == '\'' || c == '-' || c == '(' || c == ')' || c == '[' || c == ']' || c == ',' ||
         c == '/';
}

template <class OnWord>
void ForEachNameWord(const std::string& name, OnWord onWord) {
  size_t start = 0;
  for (size_t i = 0; i <= name.size(); ++i) {
    if (i == name.size() || IsNameSeparator(name[i])) {
      if (i > start) onWord(name.substr(start, i - start));
      start = i + 1;
    }
  }
}

std::string DosageKey(std::string_view text, const std::optional<TDosage>& dosage) {
  if (!dosage) return "T:" + std::string(text);
  const TDecimal& value = dosage->mass ? dosage->milligrams : dosage->written;
  return (dosage->mass ? std::string("MG") : dosage->unit) + ":" + std::to_string(value.mantissa) + "e" +
         std::to_string(value.exponent);
}

// "UN COMPRIME", "UNE GELULE": one unit of the form, which the form says.
// FNV-1a: signatures are compared, never read.
uint64_t Hash(std::string_view bytes) {
  uint64_t hash = 14695981039346656037ull;
  for (char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ull;
  }
  return hash;
}

bool IsOneUnit(std::string_view reference) {
  return reference.empty() || reference.rfind("UN ", 0) == 0 || reference.rfind("UNE ", 0) == 0;
}

}  // namespace

std::vector<TSubstanceClause> ParseSubstanceQuery(const std::string& folded) {
  std::vector<TSubstanceClause> clauses;
  int32_t named = -1;  // the clause of the last word naming a substance
  // The last number typed without its unit, and the clause that took it,
  // so that a unit typed apart joins it.
  std::string bareNumber;
  int32_t bareClause = -1;
  size_t start = 0;
  for (size_t i = 0; i <= folded.size(); ++i) {
    if (i < folded.size() && folded[i] != ' ') continue;
    const std::string word = folded.substr(start, i - start);
    start = i + 1;
    if (word.empty()) continue;
    const int32_t previousBare = bareClause;
    bareClause = -1;
    if (previousBare >= 0 && IsUnitWord(word)) {
      if (const std::optional<TDosage> withUnit = ParseSearchedDosage(bareNumber, word)) {
        clauses[static_cast<size_t>(previousBare)].dosages.back() = *withUnit;
        continue;
      }
    }
    const std::optional<TDosage> dosage = StartsWithDigit(word) ? ParseSearchedDosage(word) : std::nullopt;
    if (!dosage) {
      clauses.push_back({word, {}});
      named = static_cast<int32_t>(clauses.size()) - 1;
      continue;
    }
    if (named < 0) clauses.push_back({std::string(), {}});
    const int32_t taker = named < 0 ? static_cast<int32_t>(clauses.size()) - 1 : named;
    clauses[static_cast<size_t>(taker)].dosages.push_back(*dosage);
    if (dosage->unit.empty()) {
      bareNumber = word;
      bareClause = taker;
    }
  }
  return clauses;
}

TSubstanceIndex::TSubstanceIndex(const std::vector<TCompositionRecord>& records,
                                 const std::function<int32_t(const std::string& cis)>& specialityOf,
                                 int32_t specialityCount) {
  TBuilder builder(specialityCount);
  for (const TCompositionRecord& r : records) {
    builder.Add(specialityOf(r.cis),
                {r.cis, r.element, r.link, r.fraction, r.substanceCode, r.name, r.dosage, r.reference});
  }
  *this = builder.Finish();
}

TSubstanceIndex::TBuilder::TBuilder(int32_t specialityCount) : fSpecialityCount(specialityCount) {}

void TSubstanceIndex::TBuilder::Add(int32_t speciality, const TCompositionView& line) {
  if (speciality < 0 || speciality >= fSpecialityCount) return;
  auto element = fElements.find(line.element);
  if (element == fElements.end())
    element = fElements.emplace(std::string(line.element), static_cast<int32_t>(fElements.size())).first;
  const uint64_t key = (static_cast<uint64_t>(speciality) << 40) |
                       (static_cast<uint64_t>(element->second & 0xFFFF) << 24) |
                       static_cast<uint64_t>(line.link & 0xFFFFFF);
  const auto [found, added] = fSubstanceOf.emplace(key, static_cast<int32_t>(fSubstances.size()));
  const int32_t id = found->second;
  if (added) {
    fSubstances.push_back({speciality, {}});
    fExpressed.push_back(0);
    fExpressedByFraction.push_back(0);
  }
  const std::optional<TDosage> dosage = ParseCompositionDosage(line.dosage);
  if (dosage) fSubstances[static_cast<size_t>(id)].dosages.push_back(*dosage);
  if (added || (line.fraction && fExpressedByFraction[static_cast<size_t>(id)] == 0)) {
    std::string expressed(line.substanceCode);
    expressed += '=';
    expressed += DosageKey(line.dosage, dosage);
    if (!IsOneUnit(line.reference)) {
      expressed += '/';
      expressed += line.reference;
    }
    fExpressed[static_cast<size_t>(id)] = Hash(expressed);
    fExpressedByFraction[static_cast<size_t>(id)] = line.fraction ? 1 : 0;
  }
  // Names repeat from speciality to speciality: each is cut into words once.
  auto words = fWordsOfName.find(line.name);
  if (words == fWordsOfName.end()) {
    std::vector<int32_t> ids;
    ForEachNameWord(std::string(line.name), [&](const std::string& word) {
      auto wordId = fWordIds.find(word);
      if (wordId == fWordIds.end()) {
        wordId = fWordIds.emplace(word, static_cast<int32_t>(fPostings.size())).first;
        fPostings.emplace_back();
      }
      ids.push_back(wordId->second);
    });
    words = fWordsOfName.emplace(std::string(line.name), std::move(ids)).first;
  }
  for (int32_t word : words->second) {
    std::vector<int32_t>& ids = fPostings[static_cast<size_t>(word)];
    if (ids.empty() || ids.back() != id) ids.push_back(id);
  }
}

TSubstanceIndex TSubstanceIndex::TBuilder::Finish() {
  TSubstanceIndex index;
  index.fSpecialityCount = fSpecialityCount;
  // The words in order, with their substances.
  index.fWords.reserve(fWordIds.size());
  index.fPostings.reserve(fWordIds.size());
  for (auto& [word, id] : fWordIds) {
    index.fWords.push_back(word);
    index.fPostings.push_back(std::move(fPostings[static_cast<size_t>(id)]));
  }
  std::vector<std::vector<uint64_t>> keys(static_cast<size_t>(fSpecialityCount));
  for (size_t id = 0; id < fSubstances.size(); ++id)
    keys[static_cast<size_t>(fSubstances[id].speciality)].push_back(fExpressed[id]);
  index.fSignatures.assign(static_cast<size_t>(fSpecialityCount), 0);
  for (size_t s = 0; s < keys.size(); ++s) {
    if (keys[s].empty()) continue;
    std::sort(keys[s].begin(), keys[s].end());
    uint64_t signature = Hash(
        std::string_view(reinterpret_cast<const char*>(keys[s].data()), keys[s].size() * sizeof(uint64_t)));
    index.fSignatures[s] = signature == 0 ? 1 : signature;
  }
  index.fSubstances = std::move(fSubstances);
  return index;
}

bool TSubstanceIndex::Matches(const TSubstance& substance, const TSubstanceClause& clause) {
  for (const TDosage& wanted : clause.dosages) {
    const bool any = std::any_of(substance.dosages.begin(), substance.dosages.end(),
                                 [&](const TDosage& dosage) { return DosageMatches(wanted, dosage); });
    if (!any) return false;
  }
  return true;
}

void TSubstanceIndex::Match(const std::vector<TSubstanceClause>& clauses,
                            std::vector<uint8_t>& matched) const {
  matched.assign(static_cast<size_t>(fSpecialityCount), 0);
  if (clauses.empty()) return;
  // How many clauses each speciality has matched so far, in turn: a
  // speciality counts for a clause only when it matched every one before.
  std::vector<uint32_t> count(static_cast<size_t>(fSpecialityCount), 0);
  uint32_t done = 0;
  auto mark = [&](const TSubstance& substance) {
    uint32_t& c = count[static_cast<size_t>(substance.speciality)];
    if (c == done) c = done + 1;
  };
  for (const TSubstanceClause& clause : clauses) {
    if (clause.word.empty()) {
      for (const TSubstance& substance : fSubstances) {
        if (Matches(substance, clause)) mark(substance);
      }
    } else {
      for (auto it = std::lower_bound(fWords.begin(), fWords.end(), clause.word);
           it != fWords.end() && it->compare(0, clause.word.size(), clause.word) == 0; ++it) {
        for (int32_t id : fPostings[static_cast<size_t>(it - fWords.begin())]) {
          const TSubstance& substance = fSubstances[static_cast<size_t>(id)];
          if (Matches(substance, clause)) mark(substance);
        }
      }
    }
    ++done;
  }
  for (size_t s = 0; s < count.size(); ++s) matched[s] = count[s] == done ? 1 : 0;
}

uint64_t TSubstanceIndex::Signature(int32_t speciality) const {
  return speciality >= 0 && static_cast<size_t>(speciality) < fSignatures.size()
             ? fSignatures[static_cast<size_t>(speciality)]
             : 0;
}

}  // namespace quillor
