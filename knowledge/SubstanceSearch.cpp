#include "SubstanceSearch.h"

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

std::string DosageKey(const std::string& text) {
  const std::optional<TDosage> dosage = ParseCompositionDosage(text);
  if (!dosage) return "T:" + text;
  const TDecimal& value = dosage->mass ? dosage->milligrams : dosage->written;
  return (dosage->mass ? std::string("MG") : dosage->unit) + ":" + std::to_string(value.mantissa) + "e" +
         std::to_string(value.exponent);
}

// "UN COMPRIME", "UNE GELULE": one unit of the form, which the form says.
bool IsOneUnit(const std::string& reference) {
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
                                 int32_t specialityCount)
    : fSpecialityCount(specialityCount) {
  // What a substance is expressed as: its fraction's line when it has one.
  struct TExpressed {
    bool fraction = false;
    std::string code, dosage, reference;
  };
  std::vector<TExpressed> expressed;
  std::map<std::tuple<int32_t, std::string, int32_t>, int32_t> substanceOf;
  std::map<std::string, std::vector<int32_t>> postings;
  for (const TCompositionRecord& record : records) {
    const int32_t speciality = specialityOf(record.cis);
    if (speciality < 0 || speciality >= specialityCount) continue;
    const auto key = std::make_tuple(speciality, record.element, record.link);
    auto [found, added] = substanceOf.emplace(key, static_cast<int32_t>(fSubstances.size()));
    const int32_t id = found->second;
    if (added) {
      fSubstances.push_back({speciality, {}});
      expressed.emplace_back();
    }
    TSubstance& substance = fSubstances[static_cast<size_t>(id)];
    if (const std::optional<TDosage> dosage = ParseCompositionDosage(record.dosage)) {
      substance.dosages.push_back(*dosage);
    }
    TExpressed& as = expressed[static_cast<size_t>(id)];
    if (added || (record.fraction && !as.fraction)) {
      as = {record.fraction, record.substanceCode, record.dosage, record.reference};
    }
    ForEachNameWord(record.name, [&](const std::string& word) {
      std::vector<int32_t>& ids = postings[word];
      if (ids.empty() || ids.back() != id) ids.push_back(id);
    });
  }
  fWords.reserve(postings.size());
  fPostings.reserve(postings.size());
  for (auto& [word, ids] : postings) {
    fWords.push_back(word);
    fPostings.push_back(std::move(ids));
  }

  std::vector<std::vector<std::string>> keys(static_cast<size_t>(specialityCount));
  for (size_t id = 0; id < fSubstances.size(); ++id) {
    const TExpressed& as = expressed[id];
    std::string key = as.code + "=" + DosageKey(as.dosage);
    if (!IsOneUnit(as.reference)) key += "/" + as.reference;
    keys[static_cast<size_t>(fSubstances[id].speciality)].push_back(std::move(key));
  }
  fSignatures.resize(static_cast<size_t>(specialityCount));
  for (size_t s = 0; s < keys.size(); ++s) {
    std::sort(keys[s].begin(), keys[s].end());
    for (const std::string& key : keys[s]) fSignatures[s] += key + "|";
  }
}

bool TSubstanceIndex::Matches(const TSubstance& substance, const TSubstanceClause& clause) const {
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

const std::string& TSubstanceIndex::Signature(int32_t speciality) const {
  static const std::string kNone;
  return speciality >= 0 && static_cast<size_t>(speciality) < fSignatures.size()
             ? fSignatures[static_cast<size_t>(speciality)]
             : kNone;
}

}  // namespace quillor
