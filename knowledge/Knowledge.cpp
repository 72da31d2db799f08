#include "knowledge/Knowledge.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <deque>
#include <map>
#include <unordered_map>

#include "database/Database.h"

namespace quillor {
namespace {

constexpr char kDesignation[] = "Designation";

// The number a code of digits spells; -1 for anything else or more than 9
// digits.
int32_t CodeNumber(std::string_view code) {
  if (code.empty() || code.size() > 9) return -1;
  int32_t number = 0;
  for (char c : code) {
    if (c < '0' || c > '9') return -1;
    number = number * 10 + (c - '0');
  }
  return number;
}

int32_t DesignationField(const TMyDatabase& table) {
  for (int32_t field = 0; field < table.FieldCount(); ++field) {
    if (table.FieldName(field) == kDesignation) return field;
  }
  return -1;
}

}  // namespace

void TKnowledge::Load(const std::string& folder, const std::string& availabilityFile) {
  fFolder = folder;
  fSpecialities.clear();
  fArticles.clear();
  fForms.clear();
  fGroupMembers.clear();
  fAvailability = TAvailabilityIndex();
  fSubstances = TSubstanceIndex();
  fCompositionsRead = false;
  fCompositionsReport = TKnowledgeFileReport();
  fBound = false;
  fCatalogueDate = kNoDate;
  fAvailabilityDate = kNoDate;

  // Read straight into numbers: codes, a form's number, (group, CIS) pairs.
  // Forms by name; the names are kept in fForms, whose strings do not move
  // once the numbers are given (the views keep pointing at them).
  std::deque<std::string> formNames;
  std::unordered_map<std::string_view, int32_t> formOf;
  std::vector<std::pair<int64_t, int32_t>> members;  // (group, CIS)
  TSpecialitiesVisitor visitor;
  visitor.speciality = [&](const TSpecialityView& view) {
    auto form = formOf.find(view.form);
    if (form == formOf.end()) {
      formNames.emplace_back(view.form);
      form = formOf.emplace(formNames.back(), static_cast<int32_t>(formNames.size()) - 1).first;
    }
    fSpecialities.push_back({CodeNumber(view.cis), view.hospitalOnly, form->second});
  };
  visitor.article = [&](const TArticleView& view) {
    // The CIS for now; the speciality's number once all are read.
    fArticles.push_back({CodeNumber(view.cip7), CodeNumber(view.cis)});
  };
  visitor.member = [&](const TGroupMemberView& view) {
    int64_t group = 0;
    for (char c : view.group.substr(0, 18)) group = group * 10 + (c - '0');
    members.emplace_back(group, CodeNumber(view.cis));
  };
  TDayDate catalogueDate = kNoDate;
  fSpecialitiesReport =
      VisitSpecialitiesFile(KnowledgeFilePath(folder, kSpecialitiesFileName), catalogueDate, visitor);
  LoadAvailability(availabilityFile.empty() ? KnowledgeFilePath(folder, kAvailabilityFileName)
                                            : availabilityFile);
  if (!fSpecialitiesReport.Usable()) {
    fSpecialities.clear();
    fArticles.clear();
    return;
  }
  fForms.assign(formNames.begin(), formNames.end());
  fCatalogueDate = catalogueDate;

  auto byCode = [](const auto& a, const auto& b) { return a.code < b.code; };
  auto sameCode = [](const auto& a, const auto& b) { return a.code == b.code; };
  // The file writes them in order; a code given twice: its first line holds.
  if (!std::is_sorted(fSpecialities.begin(), fSpecialities.end(), byCode))
    std::stable_sort(fSpecialities.begin(), fSpecialities.end(), byCode);
  fSpecialities.erase(std::unique(fSpecialities.begin(), fSpecialities.end(), sameCode), fSpecialities.end());
  // CIS -> speciality's number, for the many lookups of the loading.
  std::unordered_map<int32_t, int32_t> numberOf;
  numberOf.reserve(fSpecialities.size());
  for (size_t s = 0; s < fSpecialities.size(); ++s)
    numberOf.emplace(fSpecialities[s].code, static_cast<int32_t>(s));
  auto numberOfCode = [&numberOf](int32_t cis) {
    const auto found = numberOf.find(cis);
    return found == numberOf.end() ? -1 : found->second;
  };
  for (TArticle& article : fArticles) article.speciality = numberOfCode(article.speciality);
  fArticles.erase(
      std::remove_if(fArticles.begin(), fArticles.end(), [](const TArticle& a) { return a.speciality < 0; }),
      fArticles.end());
  if (!std::is_sorted(fArticles.begin(), fArticles.end(), byCode))
    std::stable_sort(fArticles.begin(), fArticles.end(), byCode);
  fArticles.erase(std::unique(fArticles.begin(), fArticles.end(), sameCode), fArticles.end());
  for (const auto& [group, cis] : members) {
    const int32_t speciality = numberOfCode(cis);
    if (speciality >= 0) fGroupMembers.emplace_back(group, speciality);
  }
  std::sort(fGroupMembers.begin(), fGroupMembers.end());
  fGroupMembers.erase(std::unique(fGroupMembers.begin(), fGroupMembers.end()), fGroupMembers.end());
}

void TKnowledge::LoadAvailability(const std::string& availabilityFile) {
  TAvailabilityFile availability;
  fAvailabilityReport = ReadAvailabilityFile(availabilityFile, availability);
  fAvailability = TAvailabilityIndex();
  fAvailabilityDate = kNoDate;
  // Each article's availability is worked out when it is asked for: the
  // grid asks only for the rows it paints. Without the specialities a
  // speciality's lines cannot be tied to its articles: none is marked.
  if (fAvailabilityReport.Usable() && fSpecialitiesReport.Usable()) {
    fAvailabilityDate = availability.published;
    fAvailability = TAvailabilityIndex(std::move(availability.records));
  }
}

const TKnowledgeFileReport& TKnowledge::CompositionsReport() {
  if (fCompositionsRead) return fCompositionsReport;
  fCompositionsRead = true;
  TSubstanceIndex::TBuilder builder(static_cast<int32_t>(fSpecialities.size()));
  fCompositionsReport = VisitCompositionsFile(
      KnowledgeFilePath(fFolder, kCompositionsFileName),
      [&](const TCompositionView& line) { builder.Add(SpecialityOfCode(line.cis), line); });
  if (fCompositionsReport.Usable()) fSubstances = builder.Finish();
  return fCompositionsReport;
}

const TKnowledge::TArticle* TKnowledge::FindArticle(std::string_view cip7) const {
  if (cip7.size() != 7) return nullptr;
  const int32_t code = CodeNumber(cip7);
  if (code < 0) return nullptr;
  const auto found = std::lower_bound(fArticles.begin(), fArticles.end(), code,
                                      [](const TArticle& a, int32_t c) { return a.code < c; });
  return found != fArticles.end() && found->code == code ? &*found : nullptr;
}

int32_t TKnowledge::SpecialityNumber(int32_t code) const {
  if (code < 0) return -1;
  const auto found = std::lower_bound(fSpecialities.begin(), fSpecialities.end(), code,
                                      [](const TSpeciality& s, int32_t c) { return s.code < c; });
  return found != fSpecialities.end() && found->code == code
             ? static_cast<int32_t>(found - fSpecialities.begin())
             : -1;
}

int32_t TKnowledge::SpecialityOfCode(std::string_view cis) const {
  return SpecialityNumber(CodeNumber(cis));
}

TArticleAvailability TKnowledge::AvailabilityOf(std::string_view cip7) const {
  if (fAvailability.RecordCount() == 0) return {};
  const TArticle* article = FindArticle(cip7);
  if (article == nullptr) return {};
  return fAvailability.Of(std::to_string(fSpecialities[static_cast<size_t>(article->speciality)].code),
                          std::string(cip7));
}

bool TKnowledge::IsHospitalOnly(std::string_view cip7) const {
  const TArticle* article = FindArticle(cip7);
  return article != nullptr && fSpecialities[static_cast<size_t>(article->speciality)].hospitalOnly;
}

bool TKnowledge::KnowsArticle(std::string_view cip7) const {
  return FindArticle(cip7) != nullptr;
}

const std::vector<int32_t>& TKnowledge::SpecialitiesOfRecords(const TMyDatabase& table) {
  if (fBound && fBoundStamp == table.ContentStamp()) return fRecordSpecialities;
  fBound = true;
  fBoundStamp = table.ContentStamp();
  fRecordSpecialities.assign(static_cast<size_t>(std::max(table.RecordCount(), 0)), -1);
  const std::shared_ptr<const TSharedTexts> codes = table.FieldCount() > 0 ? table.FieldTexts(0) : nullptr;
  if (codes == nullptr) return fRecordSpecialities;
  for (int32_t record = 0; record < codes->Count() && record < table.RecordCount(); ++record) {
    if (const TArticle* article = FindArticle(codes->Text(record)))
      fRecordSpecialities[static_cast<size_t>(record)] = article->speciality;
  }
  return fRecordSpecialities;
}

std::vector<int32_t> TKnowledge::DesignationOrder(const TMyDatabase& table) {
  const int32_t field = DesignationField(table);
  const TIndexList* index = field >= 0 && table.IndexValid(field) ? table.IndexList(field) : nullptr;
  std::vector<int32_t> order;
  if (index != nullptr) {
    order.reserve(index->size());
    for (const TPairOfStringInt& entry : *index) order.push_back(entry.fInt);
  } else {
    for (int32_t record = 0; record < table.RecordCount(); ++record) {
      if (!table.IsDeleted(record)) order.push_back(record);
    }
  }
  return order;
}

bool TKnowledge::SearchBySubstance(TMyDatabase& table, const std::string& foldedQuery) {
  const std::vector<TSubstanceClause> clauses = ParseSubstanceQuery(foldedQuery);
  if (clauses.empty()) return false;
  CompositionsReport();
  std::vector<uint8_t> matched;
  fSubstances.Match(clauses, matched);
  const std::vector<int32_t>& specialities = SpecialitiesOfRecords(table);
  table.QueryAll(DesignationField(table));
  std::vector<int32_t> found;
  for (int32_t record : table.Selection()) {
    const int32_t speciality = specialities[static_cast<size_t>(record)];
    if (speciality >= 0 && static_cast<size_t>(speciality) < matched.size() &&
        matched[static_cast<size_t>(speciality)] != 0)
      found.push_back(record);
  }
  table.SelectRecords(found);
  return true;
}

std::vector<int32_t> TKnowledge::Ranked(const TMyDatabase& table, const std::vector<uint8_t>& specialities,
                                        std::string_view leftOut) {
  const std::vector<int32_t>& ofRecord = SpecialitiesOfRecords(table);
  const std::shared_ptr<const TSharedTexts> codes = table.FieldTexts(0);
  std::array<std::vector<int32_t>, 4> byRank;
  for (int32_t record : DesignationOrder(table)) {
    const int32_t speciality = ofRecord[static_cast<size_t>(record)];
    if (speciality < 0 || specialities[static_cast<size_t>(speciality)] == 0) continue;
    const std::string& code = codes->Text(record);
    if (code == leftOut) continue;
    byRank[static_cast<size_t>(AvailabilityRank(AvailabilityOf(code).status))].push_back(record);
  }
  std::vector<int32_t> records;
  for (const std::vector<int32_t>& rank : byRank) records.insert(records.end(), rank.begin(), rank.end());
  return records;
}

TEquivalents TKnowledge::EquivalentsOf(const TMyDatabase& table, std::string_view cip7) {
  TEquivalents equivalents;
  const TArticle* article = FindArticle(cip7);
  if (article == nullptr || table.FieldCount() == 0) return equivalents;
  const TSpeciality& own = fSpecialities[static_cast<size_t>(article->speciality)];
  std::vector<uint8_t> wanted(fSpecialities.size(), 0);
  std::vector<int64_t> groups;
  for (const auto& [group, member] : fGroupMembers) {
    if (member == article->speciality) groups.push_back(group);
  }
  if (!groups.empty()) {
    equivalents.basis = TEquivalents::TBasis::kGroups;
    for (const auto& [group, member] : fGroupMembers) {
      if (std::find(groups.begin(), groups.end(), group) != groups.end())
        wanted[static_cast<size_t>(member)] = 1;
    }
  } else {
    equivalents.basis = TEquivalents::TBasis::kComposition;
    CompositionsReport();
    const uint64_t signature = fSubstances.Signature(article->speciality);
    if (signature != 0) {
      for (size_t s = 0; s < fSpecialities.size(); ++s) {
        if (fSpecialities[s].form == own.form && fSubstances.Signature(static_cast<int32_t>(s)) == signature)
          wanted[s] = 1;
      }
    }
  }
  equivalents.records = Ranked(table, wanted, cip7);
  return equivalents;
}

}  // namespace quillor
