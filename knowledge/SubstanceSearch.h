// The search by substance: which specialities a query names by their active
// substances and dosages.
//
// The query, already folded as the other searches fold it (accents folded,
// upper case), is split at spaces into words:
//   - a word that starts with a digit and reads as a number, with or without
//     its unit glued (1000, 1G, 0,5G, 2,5), is a dosage; a unit word standing
//     alone after such a number belongs to it (500 MG);
//   - any other word names a substance: it matches the beginning of a word of
//     one of the substance's names, the names being split at spaces,
//     apostrophes, hyphens, brackets, commas and slashes;
//   - a dosage applies to the substance named by the word before it, and to
//     any substance of the speciality when it comes first.
// A speciality matches when every word matches; one substance is what an
// active-substance line and its therapeutic-fraction line (same element and
// link number) name together, so that AMLODIPINE 5 finds BESILATE
// D'AMLODIPINE expressed as AMLODIPINE 5 MG.
//
// Built once from the compositions, then read only; any thread.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "knowledge/Dosage.h"
#include "knowledge/KnowledgeFiles.h"

namespace quillor {

struct TSubstanceClause {
  std::string word;              // the beginning of a name's word; empty: any substance
  std::vector<TDosage> dosages;  // each a dosage of that same substance
};

// The clauses of a folded query, in order; none for a blank query.
std::vector<TSubstanceClause> ParseSubstanceQuery(const std::string& folded);

class TSubstanceIndex {
  struct TSubstance {
    int32_t speciality = -1;
    std::vector<TDosage> dosages;
  };

 public:
  TSubstanceIndex() = default;
  // `specialityOf` gives the dense number (0 .. specialityCount - 1) of a
  // speciality code, or -1 for one that is not wanted.
  TSubstanceIndex(const std::vector<TCompositionRecord>& records,
                  const std::function<int32_t(const std::string& cis)>& specialityOf,
                  int32_t specialityCount);

  // Builds an index one composition line at a time, as they are read.
  class TBuilder {
   public:
    explicit TBuilder(int32_t specialityCount);
    // A line of the speciality numbered `speciality`; -1 leaves it out.
    void Add(int32_t speciality, const TCompositionView& line);
    TSubstanceIndex Finish();

   private:
    int32_t fSpecialityCount;
    std::vector<TSubstance> fSubstances;
    // What each substance is expressed as (its fraction's line when it has
    // one), hashed, for the signatures.
    std::vector<uint64_t> fExpressed;
    std::vector<uint8_t> fExpressedByFraction;
    std::map<std::string, int32_t, std::less<>> fElements;
    std::unordered_map<uint64_t, int32_t> fSubstanceOf;  // speciality, element, link
    std::map<std::string, std::vector<int32_t>, std::less<>> fWordsOfName;
    std::map<std::string, int32_t, std::less<>> fWordIds;
    std::vector<std::vector<int32_t>> fPostings;  // per word id
  };

  // matched[s] is 1 for each speciality s that every clause matches, else 0.
  void Match(const std::vector<TSubstanceClause>& clauses, std::vector<uint8_t>& matched) const;

  // What two specialities of the same active substances at the same
  // dosages share: a 64-bit hash of their substances (each by its fraction
  // when it has one), dosages and what a dosage refers to when it is not one
  // unit. 0 for a speciality without active substance.
  uint64_t Signature(int32_t speciality) const;

  size_t SubstanceCount() const { return fSubstances.size(); }

 private:
  static bool Matches(const TSubstance& substance, const TSubstanceClause& clause);

  int32_t fSpecialityCount = 0;
  std::vector<TSubstance> fSubstances;
  std::vector<std::string> fWords;              // every word of every name, sorted, once
  std::vector<std::vector<int32_t>> fPostings;  // the substances whose names hold each word
  std::vector<uint64_t> fSignatures;            // per speciality
};

}  // namespace quillor
