// TKnowledge: what the window and the catalogue tool know of the articles
// beyond their code, designation and price, read from the knowledge files
// beside the article file (KnowledgeFiles.h): each article's availability,
// whether its speciality is reserved for hospital use, the search by
// substance, and the articles that may replace one.
//
// Specialites.txt and Disponibilites.txt are read by Load; Compositions.txt,
// the largest, only when the search by substance or the equivalents first
// need it, so that starting up does not wait for it. A file that cannot be
// used leaves what it would have told unknown: articles available, no
// hospital mark, no equivalents, no substance matches; its report says why.
//
// The table the searches run on is the article table: records are tied to
// articles by their code (the first field), worked out again whenever the
// table's content changes. Owns everything it holds. GUI thread only, like
// the table's queries.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "knowledge/Availability.h"
#include "knowledge/KnowledgeFiles.h"
#include "knowledge/SubstanceSearch.h"

namespace quillor {

class TMyDatabase;

// The articles that may replace one, and what they were found by.
struct TEquivalents {
  enum class TBasis {
    kUnknown,      // the article is not in the knowledge files
    kGroups,       // its generic group or groups
    kComposition,  // no group: the same active substances, dosages and form
  };
  TBasis basis = TBasis::kUnknown;
  // Record numbers of the table: available (or back in stock) first, then
  // under tension, in shortage, marketing ended; each in designation order.
  std::vector<int32_t> records;
};

class TKnowledge {
 public:
  TKnowledge() = default;
  TKnowledge(const TKnowledge&) = delete;
  TKnowledge& operator=(const TKnowledge&) = delete;

  // Reads Specialites.txt and Disponibilites.txt of `folder`, replacing
  // whatever was known; Compositions.txt is read from there on first need.
  // A non-empty `availabilityFile` is read instead of the folder's own
  // Disponibilites.txt (a fresher one, refreshed on its own).
  void Load(const std::string& folder, const std::string& availabilityFile = {});
  // Replaces the availability alone with that of `availabilityFile`.
  void LoadAvailability(const std::string& availabilityFile);

  const TKnowledgeFileReport& SpecialitiesReport() const { return fSpecialitiesReport; }
  const TKnowledgeFileReport& AvailabilityReport() const { return fAvailabilityReport; }
  // Reads Compositions.txt when it has not been read yet.
  const TKnowledgeFileReport& CompositionsReport();
  // Whether Compositions.txt has been read (well or not).
  bool CompositionsRead() const { return fCompositionsRead; }

  TDayDate CatalogueDate() const { return fCatalogueDate; }
  TDayDate AvailabilityDate() const { return fAvailabilityDate; }

  // The availability of the article of that code; available when unknown.
  TArticleAvailability AvailabilityOf(std::string_view cip7) const;
  bool IsHospitalOnly(std::string_view cip7) const;
  // Whether the article is in Specialites.txt.
  bool KnowsArticle(std::string_view cip7) const;

  // The search by substance of an already folded query (see
  // SubstanceSearch.h): the table's selection becomes the articles of the
  // specialities that match, in designation order. A blank query does
  // nothing and gives false.
  bool SearchBySubstance(TMyDatabase& table, const std::string& foldedQuery);

  // The articles of the table that may replace the article `cip7`: every
  // other article of the specialities of its generic group or groups,
  // princeps and generics alike; when it stands in no group, the articles
  // of the same active substances at the same dosages in the same form.
  TEquivalents EquivalentsOf(const TMyDatabase& table, std::string_view cip7);

 private:
  struct TSpeciality {
    int32_t code = 0;  // CIS
    bool hospitalOnly = false;
    int32_t form = -1;  // in fForms
  };
  struct TArticle {
    int32_t code = 0;  // CIP7
    int32_t speciality = -1;
  };
  const TArticle* FindArticle(std::string_view cip7) const;
  // The number of the speciality of that CIS, or -1.
  int32_t SpecialityNumber(int32_t code) const;
  int32_t SpecialityOfCode(std::string_view cis) const;
  // The speciality of each record of the table (-1: none known), worked out
  // when the table's content changed.
  const std::vector<int32_t>& SpecialitiesOfRecords(const TMyDatabase& table);
  // The table's records in designation order.
  static std::vector<int32_t> DesignationOrder(const TMyDatabase& table);
  std::vector<int32_t> Ranked(const TMyDatabase& table, const std::vector<uint8_t>& specialities,
                              std::string_view leftOut);

  std::string fFolder;
  TKnowledgeFileReport fSpecialitiesReport;
  TKnowledgeFileReport fAvailabilityReport;
  TKnowledgeFileReport fCompositionsReport;
  bool fCompositionsRead = false;
  TDayDate fCatalogueDate = kNoDate;
  TDayDate fAvailabilityDate = kNoDate;

  // Sorted by code, so that a code is found by bisection: the file writes
  // them so, and they are sorted when it does not.
  std::vector<TSpeciality> fSpecialities;
  std::vector<TArticle> fArticles;
  std::vector<std::string> fForms;
  // (group, speciality), sorted: groups are only read for an article's
  // equivalents.
  std::vector<std::pair<int64_t, int32_t>> fGroupMembers;
  TAvailabilityIndex fAvailability;
  TSubstanceIndex fSubstances;

  uint64_t fBoundStamp = 0;
  bool fBound = false;
  std::vector<int32_t> fRecordSpecialities;
};

}  // namespace quillor
