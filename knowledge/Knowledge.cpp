#include "Knowledge.h"

#include <algorithm>
#include <array>

#include "Database.h"

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

void TKnowledge::Load(const std::string& folder) {
  fFolder = folder;
  fSpecialities.clear();
  fSpecialityOfCode.clear();
  fArticles.clear();
  fUnavailable.clear();
  fGroupMembers.clear();
  fSubstances = TSubstanceIndex();
  fCompositionsRead = false;
  fCompositionsReport = TKnowledgeFileReport();
  fBound = false;
  fCatalogueDate = kNoDate;
  fAvailabilityDate = kNoDate;

  TSpecialitiesFile specialities;
  fSpecialitiesReport = ReadSpecialitiesFile(KnowledgeFilePath(folder, kSpecialitiesFileName), specialities);
  TAvailabilityFile availability;
  fAvailabilityReport = ReadAvailabilityFile(KnowledgeFilePath(folder, kAvailabilityFileName), availability);
  if (!fSpecialitiesReport.Usable()) return;

  fCatalogueDate = specialities.catalogueDate;
  std::vector<std::string> codes;  // CIS of each speciality
  fSpecialities.reserve(specialities.specialities.size());
  for (TSpecialityRecord& record : specialities.specialities) {
    const int32_t code = CodeNumber(record.cis);
    if (code < 0 || fSpecialityOfCode.count(code)) continue;
    fSpecialityOfCode.emplace(code, static_cast<int32_t>(fSpecialities.size()));
    fSpecialities.push_back({record.hospitalOnly, std::move(record.form), {}});
    codes.push_back(std::move(record.cis));
  }
  std::vector<std::vector<std::string>> articlesOf(fSpecialities.size());
  fArticles.reserve(specialities.articles.size());
  for (const TArticleSpeciality& record : specialities.articles) {
    const int32_t speciality = SpecialityOfCode(record.cis);
    if (speciality < 0) continue;
    fArticles[CodeNumber(record.cip7)] = TArticle{speciality};
    articlesOf[static_cast<size_t>(speciality)].push_back(record.cip7);
  }
  std::unordered_map<std::string, int32_t> groupOf;
  for (const TGroupMember& member : specialities.groups) {
    const int32_t speciality = SpecialityOfCode(member.cis);
    if (speciality < 0) continue;
    auto [found, added] = groupOf.emplace(member.group, static_cast<int32_t>(fGroupMembers.size()));
    if (added) fGroupMembers.emplace_back();
    std::vector<int32_t>& members = fGroupMembers[static_cast<size_t>(found->second)];
    if (std::find(members.begin(), members.end(), speciality) == members.end()) members.push_back(speciality);
    std::vector<int32_t>& groups = fSpecialities[static_cast<size_t>(speciality)].groups;
    if (std::find(groups.begin(), groups.end(), found->second) == groups.end())
      groups.push_back(found->second);
  }

  // Availability: only the articles that a line names need working out.
  if (!fAvailabilityReport.Usable()) return;
  fAvailabilityDate = availability.published;
  const TAvailabilityIndex index(availability.records);
  auto settle = [&](int32_t speciality, const std::string& cip7) {
    const TArticleAvailability found = index.Of(codes[static_cast<size_t>(speciality)], cip7);
    if (found.status != TAvailabilityStatus::kAvailable) fUnavailable[CodeNumber(cip7)] = found;
  };
  for (const TAvailabilityRecord& record : availability.records) {
    if (!record.cip7.empty()) {
      if (const TArticle* article = FindArticle(record.cip7)) settle(article->speciality, record.cip7);
      continue;
    }
    const int32_t speciality = SpecialityOfCode(record.cis);
    if (speciality < 0) continue;
    for (const std::string& cip7 : articlesOf[static_cast<size_t>(speciality)]) settle(speciality, cip7);
  }
}

const TKnowledgeFileReport& TKnowledge::CompositionsReport() {
  if (fCompositionsRead) return fCompositionsReport;
  fCompositionsRead = true;
  TCompositionsFile compositions;
  fCompositionsReport = ReadCompositionsFile(KnowledgeFilePath(fFolder, kCompositionsFileName), compositions);
  if (fCompositionsReport.Usable()) {
    fSubstances = TSubstanceIndex(
        compositions.records, [this](const std::string& cis) { return SpecialityOfCode(cis); },
        static_cast<int32_t>(fSpecialities.size()));
  }
  return fCompositionsReport;
}

const TKnowledge::TArticle* TKnowledge::FindArticle(std::string_view cip7) const {
  if (cip7.size() != 7) return nullptr;
  const auto found = fArticles.find(CodeNumber(cip7));
  return found == fArticles.end() ? nullptr : &found->second;
}

int32_t TKnowledge::SpecialityOfCode(const std::string& cis) const {
  const auto found = fSpecialityOfCode.find(CodeNumber(cis));
  return found == fSpecialityOfCode.end() ? -1 : found->second;
}

TArticleAvailability TKnowledge::AvailabilityOf(std::string_view cip7) const {
  if (fUnavailable.empty() || cip7.size() != 7) return {};
  const auto found = fUnavailable.find(CodeNumber(cip7));
  return found == fUnavailable.end() ? TArticleAvailability{} : found->second;
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
  if (!own.groups.empty()) {
    equivalents.basis = TEquivalents::TBasis::kGroups;
    for (int32_t group : own.groups) {
      for (int32_t member : fGroupMembers[static_cast<size_t>(group)])
        wanted[static_cast<size_t>(member)] = 1;
    }
  } else {
    equivalents.basis = TEquivalents::TBasis::kComposition;
    CompositionsReport();
    const std::string& signature = fSubstances.Signature(article->speciality);
    if (!signature.empty()) {
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
