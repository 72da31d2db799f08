#include "catalogue/KnowledgeImport.h"

#include <algorithm>
#include <map>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "catalogue/AsciiFolding.h"
#include "text/ScannedCode.h"

namespace quillor::catalogue {
namespace {

bool AllDigits(const std::string& s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string Folded(const ExportLine& line, size_t column) {
  return column < line.fields.size() ? FoldToUpperAscii(line.fields[column]).text : std::string();
}

std::string TooFew(const ExportLine& line, size_t needed) {
  return "too few fields (" + std::to_string(line.fields.size()) + ", at least " + std::to_string(needed) +
         " needed)";
}

// An address as it is written (ASCII in practice), without surrounding
// blanks or controls; a character an address cannot hold becomes '?'.
std::string AddressText(const std::u32string& field) {
  std::string text;
  for (char32_t c : field) text += c <= 0x20 ? ' ' : c < 0x7F ? static_cast<char>(c) : '?';
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string FileName(const std::string& folder, const char* name) {
  return folder.empty() ? std::string(name) : folder + "/" + name;
}

// What the two main exports say: every speciality and presentation they
// name, and the specialities of the imported articles.
struct TKnown {
  std::unordered_map<std::string, std::string> formOfSpeciality;  // every CIS of CIS_bdpm.txt
  std::unordered_set<std::string> presentations;                  // every CIP7 of CIS_CIP_bdpm.txt
  std::set<std::string> withArticle;                              // CIS, sorted
};

TKnown ReadKnown(const ImportResult& imported, const ExportFile& specialityFile,
                 const ExportFile& presentationFile) {
  TKnown known;
  for (const ExportLine& line : specialityFile.lines) {
    const std::string cis = Folded(line, 0);
    if (AllDigits(cis)) known.formOfSpeciality.emplace(cis, Folded(line, 2));
  }
  for (const ExportLine& line : presentationFile.lines) {
    const std::string cip = Folded(line, 1);
    if (AllDigits(cip)) known.presentations.insert(cip);
  }
  for (const Article& article : imported.articles) known.withArticle.insert(article.cis);
  return known;
}

TDayDate NewestPresentationDate(const ExportFile& presentationFile, TDayDate today) {
  TDayDate newest = kNoDate;
  for (const ExportLine& line : presentationFile.lines) {
    const std::optional<TDayDate> date = ParseDayDate(Folded(line, 5));
    if (date && *date <= today) newest = std::max(newest, *date);
  }
  return newest;
}

void ReadCompositions(const ExportFile& file, const std::string& name, const TKnown& known,
                      TKnowledgeImport& result) {
  constexpr size_t kNeeded = 8;
  for (const ExportLine& line : file.lines) {
    ++result.compositionLines;
    auto skip = [&](std::string reason) { result.skipped.push_back({name, line.number, std::move(reason)}); };
    if (line.fields.size() < kNeeded) {
      skip(TooFew(line, kNeeded));
      continue;
    }
    TCompositionRecord record;
    record.cis = Folded(line, 0);
    const std::string nature = Folded(line, 6);
    const std::string link = Folded(line, 7);
    record.name = Folded(line, 3);
    if (!AllDigits(record.cis)) {
      skip("CIS code '" + record.cis + "' is not a number");
      continue;
    }
    if (nature != "SA" && nature != "FT") {
      skip("nature '" + nature + "' is neither SA nor FT");
      continue;
    }
    if (!AllDigits(link) || link.size() > 6) {
      skip("link number '" + link + "' is not a number");
      continue;
    }
    if (record.name.empty()) {
      skip("empty substance name");
      continue;
    }
    if (known.formOfSpeciality.count(record.cis) == 0) {
      ++result.compositionsOfUnknownSpecialities;
      continue;
    }
    if (known.withArticle.count(record.cis) == 0) continue;
    record.element = Folded(line, 1);
    record.substanceCode = Folded(line, 2);
    record.dosage = Folded(line, 4);
    record.reference = Folded(line, 5);
    record.link = std::stoi(link);
    record.fraction = nature == "FT";
    result.compositions.records.push_back(std::move(record));
  }
}

void ReadGroups(const ExportFile& file, const std::string& name, const TKnown& known,
                TKnowledgeImport& result) {
  constexpr size_t kNeeded = 4;
  std::set<std::string> groups;
  for (const ExportLine& line : file.lines) {
    ++result.groupLines;
    auto skip = [&](std::string reason) { result.skipped.push_back({name, line.number, std::move(reason)}); };
    if (line.fields.size() < kNeeded) {
      skip(TooFew(line, kNeeded));
      continue;
    }
    TGroupMember member;
    member.group = Folded(line, 0);
    member.cis = Folded(line, 2);
    const std::string type = Folded(line, 3);
    if (!AllDigits(member.group)) {
      skip("group '" + member.group + "' is not a number");
      continue;
    }
    if (!AllDigits(member.cis)) {
      skip("CIS code '" + member.cis + "' is not a number");
      continue;
    }
    if (!AllDigits(type) || type.size() > 2) {
      skip("type '" + type + "' is not a number");
      continue;
    }
    if (known.formOfSpeciality.count(member.cis) == 0) {
      ++result.groupLinesOfUnknownSpecialities;
      continue;
    }
    if (known.withArticle.count(member.cis) == 0) continue;
    member.type = std::stoi(type);
    groups.insert(member.group);
    result.specialities.groups.push_back(std::move(member));
  }
  result.groups = groups.size();
}

// The specialities reserved for hospital use.
std::set<std::string> ReadConditions(const ExportFile& file, const std::string& name, const TKnown& known,
                                     TKnowledgeImport& result) {
  struct TCondition {
    std::string cis;
    std::u32string text;
  };
  std::vector<TCondition> records;
  for (const ExportLine& line : file.lines) {
    const std::string cis = Folded(line, 0);
    if (line.fields.size() >= 2 && AllDigits(cis)) {
      records.push_back({cis, line.fields[1]});
      continue;
    }
    // The rest of a condition that held a line break.
    if (records.empty()) {
      result.skipped.push_back({name, line.number, "a continuation line before any record"});
      continue;
    }
    for (const std::u32string& field : line.fields) records.back().text += U" " + field;
  }
  std::set<std::string> hospitalOnly;
  for (const TCondition& record : records) {
    ++result.conditionRecords;
    if (known.formOfSpeciality.count(record.cis) == 0) {
      ++result.conditionsOfUnknownSpecialities;
      continue;
    }
    if (FoldToUpperAscii(record.text).text == "RESERVE A L'USAGE HOSPITALIER" &&
        known.withArticle.count(record.cis) > 0) {
      hospitalOnly.insert(record.cis);
    }
  }
  return hospitalOnly;
}

}  // namespace

TAvailabilityImport ImportAvailability(const ExportFile& exportFile, const std::string& name,
                                       TDayDate published, TDayDate today) {
  constexpr size_t kNeeded = 6;
  TAvailabilityImport result;
  TDayDate newest = kNoDate;
  for (const ExportLine& line : exportFile.lines) {
    ++result.lines;
    auto skip = [&](std::string reason) { result.skipped.push_back({name, line.number, std::move(reason)}); };
    if (line.fields.size() < kNeeded) {
      skip(TooFew(line, kNeeded));
      continue;
    }
    TAvailabilityRecord record;
    record.cis = Folded(line, 0);
    const std::string cip13 = Folded(line, 1);
    const std::string status = Folded(line, 2);
    if (!AllDigits(record.cis)) {
      skip("CIS code '" + record.cis + "' is not a number");
      continue;
    }
    if (!cip13.empty()) {
      if (cip13.size() != 13 || !AllDigits(cip13) || cip13.compare(0, 5, "34009") != 0 ||
          !HasValidGs1CheckDigit(cip13)) {
        skip("CIP13 '" + cip13 + "' is not 34009, a CIP7 and its check digit");
        continue;
      }
      record.cip7 = cip13.substr(5, 7);
    }
    if (status.size() != 1 || status[0] < '1' || status[0] > '4') {
      skip("status '" + status + "' is not 1 to 4");
      continue;
    }
    record.status = static_cast<TAvailabilityStatus>(status[0] - '0');
    const std::optional<TDayDate> start = ParseDayDate(Folded(line, 4));
    const std::optional<TDayDate> update = ParseDayDate(Folded(line, 5));
    const std::string backText = Folded(line, 6);
    const std::optional<TDayDate> back = ParseDayDate(backText);
    if (!start || !update) {
      skip("start '" + Folded(line, 4) + "' or update '" + Folded(line, 5) + "' is not a date");
      continue;
    }
    if (!backText.empty() && !back) {
      skip("date back in stock '" + backText + "' is not a date");
      continue;
    }
    record.start = *start;
    record.update = *update;
    record.back = back.value_or(kNoDate);
    if (line.fields.size() > 7) record.page = AddressText(line.fields[7]);
    for (TDayDate date : {record.start, record.update, record.back}) {
      if (date <= today) newest = std::max(newest, date);
    }
    result.file.records.push_back(std::move(record));
  }
  result.file.published = published != kNoDate ? published : newest;
  return result;
}

TKnowledgeImport ImportKnowledge(const ImportResult& imported, const ExportFile& specialityFile,
                                 const ExportFile& presentationFile, const TKnowledgeExports& exports,
                                 TDayDate today) {
  TKnowledgeImport result;
  const TKnown known = ReadKnown(imported, specialityFile, presentationFile);
  result.specialities.catalogueDate = NewestPresentationDate(presentationFile, today);

  if (exports.compositions != nullptr) {
    ReadCompositions(*exports.compositions, FileName(exports.folder, kCompositionExport), known, result);
  }
  if (exports.groups != nullptr) {
    ReadGroups(*exports.groups, FileName(exports.folder, kGroupExport), known, result);
  }
  std::set<std::string> hospitalOnly;
  if (exports.conditions != nullptr) {
    hospitalOnly =
        ReadConditions(*exports.conditions, FileName(exports.folder, kConditionExport), known, result);
  }
  result.hospitalOnly = hospitalOnly.size();
  for (const std::string& cis : known.withArticle) {
    result.specialities.specialities.push_back(
        {cis, hospitalOnly.count(cis) > 0,
         known.formOfSpeciality.count(cis) ? known.formOfSpeciality.at(cis) : ""});
  }
  for (const Article& article : imported.articles)
    result.specialities.articles.push_back({article.cip, article.cis});

  if (exports.availability != nullptr) {
    TAvailabilityImport availability =
        ImportAvailability(*exports.availability, FileName(exports.folder, kAvailabilityExport),
                           exports.availabilityDate, today);
    result.availabilityLines = availability.lines;
    for (const TAvailabilityRecord& record : availability.file.records) {
      if (known.formOfSpeciality.count(record.cis) == 0) ++result.availabilityOfUnknownSpecialities;
      if (!record.cip7.empty() && known.presentations.count(record.cip7) == 0)
        ++result.availabilityOfUnknownPresentations;
    }
    result.availability = std::move(availability.file);
    for (ImportNote& note : availability.skipped) result.skipped.push_back(std::move(note));
  }
  std::stable_sort(result.skipped.begin(), result.skipped.end(),
                   [](const ImportNote& a, const ImportNote& b) {
                     return a.file != b.file ? a.file < b.file : a.line < b.line;
                   });
  return result;
}

}  // namespace quillor::catalogue
