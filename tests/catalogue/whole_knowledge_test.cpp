// The import of the whole publication's other files of ../shared (2026-05),
// each checked against a plain reading of the raw file made here, and the
// bundled knowledge files checked to be what the import makes of them. A
// lone clone has no exports: these tests then skip.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "catalogue/KnowledgeImport.h"
#include "knowledge/Availability.h"
#include "tests/catalogue/ExportFixtures.h"
#include "tests/support/PlainExport.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestPaths.h"

namespace quillor::catalogue {
namespace {

using quillor::test::RawExportDir;

// The date the agency's download page gives the availability file.
constexpr TDayDate kAvailabilityPublished = 20260519;

struct WholeImport {
  ExportFile specialities, presentations, compositions, groups, conditions, availability;
  ImportResult articles;
  TKnowledgeImport knowledge;
};

const WholeImport& Import2026() {
  static const WholeImport result = [] {
    const std::filesystem::path dir = RawExportDir("2026-05");
    WholeImport whole;
    whole.specialities = test::ReadExport(dir / "CIS_bdpm.txt");
    whole.presentations = test::ReadExport(dir / "CIS_CIP_bdpm.txt");
    whole.compositions = test::ReadExport(dir / kCompositionExport);
    whole.groups = test::ReadExport(dir / kGroupExport);
    whole.conditions = test::ReadExport(dir / kConditionExport);
    whole.availability = test::ReadExport(dir / kAvailabilityExport);
    whole.articles = ImportExports(whole.specialities, whole.presentations, ImportOptions{});
    TKnowledgeExports exports;
    exports.compositions = &whole.compositions;
    exports.groups = &whole.groups;
    exports.conditions = &whole.conditions;
    exports.availability = &whole.availability;
    exports.availabilityDate = kAvailabilityPublished;
    whole.knowledge =
        ImportKnowledge(whole.articles, whole.specialities, whole.presentations, exports, Today());
    return whole;
  }();
  return result;
}

// --- the plain reading of the raw files: tests/support/PlainExport.h -------------

std::map<std::string, std::string> SpecialityOfArticle() {
  std::map<std::string, std::string> cis;
  for (const Article& article : Import2026().articles.articles) cis[article.cip] = article.cis;
  return cis;
}

// yyyymmdd of dd/mm/yyyy, as text, so that later days sort after.
std::string Sortable(const std::string& date) {
  return date.substr(6, 4) + date.substr(3, 2) + date.substr(0, 2);
}

TEST(WholeKnowledge, EachArticlesAvailabilityFollowsTheRulesOverTheAgencysLines) {
  QUILLOR_REQUIRE_2026_EXPORT(dir);
  const auto rows = quillor::test::PlainExportRows(dir / kAvailabilityExport);
  ASSERT_EQ(rows.size(), 766u);
  // The rules, written plainly: the lines naming the presentation's CIP13
  // if any, else those of its speciality with no CIP13; of those, the
  // greatest (update, start), the first one among equals.
  std::map<std::string, std::vector<const std::vector<std::string>*>> ofPresentation, ofSpeciality;
  for (const auto& row : rows) {
    if (row[1].empty()) {
      ofSpeciality[row[0]].push_back(&row);
    } else {
      ofPresentation[row[1].substr(5, 7)].push_back(&row);
    }
  }
  auto holding = [&](const std::string& cis, const std::string& cip7) -> const std::vector<std::string>* {
    const auto own = ofPresentation.find(cip7);
    const auto& candidates = own != ofPresentation.end() ? own->second : ofSpeciality[cis];
    const std::vector<std::string>* best = nullptr;
    for (const std::vector<std::string>* row : candidates) {
      if (best == nullptr || std::make_pair(Sortable((*row)[5]), Sortable((*row)[4])) >
                                 std::make_pair(Sortable((*best)[5]), Sortable((*best)[4])))
        best = row;
    }
    return best;
  };
  const TAvailabilityIndex index(Import2026().knowledge.availability.records);
  std::map<std::string, size_t> byStatus;
  std::set<std::string> shortSpecialities;
  for (const auto& [cip, cis] : SpecialityOfArticle()) {
    const TArticleAvailability availability = index.Of(cis, cip);
    const std::vector<std::string>* row = holding(cis, cip);
    ++byStatus[StatusWord(availability.status)];
    if (row == nullptr) {
      ASSERT_EQ(availability.status, TAvailabilityStatus::kAvailable) << cip;
      continue;
    }
    ASSERT_EQ(static_cast<int>(availability.status), std::stoi((*row)[2])) << cip;
    const std::string since = availability.status == TAvailabilityStatus::kBackInStock && !(*row)[6].empty()
                                  ? (*row)[6]
                                  : (*row)[4];
    ASSERT_EQ(FormatDayDate(availability.since), since) << cip;
    ASSERT_EQ(availability.page, (*row)[7]) << cip;
    if (availability.status == TAvailabilityStatus::kShortage ||
        availability.status == TAvailabilityStatus::kTension)
      shortSpecialities.insert(cis);
  }
  // "About 600 of our articles" in shortage or under tension.
  EXPECT_EQ(byStatus["rupture"] + byStatus["tension"], 591u);
  EXPECT_EQ(shortSpecialities.size(), 433u);
  EXPECT_EQ(byStatus["remise"], 281u);
}

TEST(WholeKnowledge, TheContradictingLinesOfTheAgencyAreSettled) {
  QUILLOR_REQUIRE_2026_EXPORT(dir);
  const TAvailabilityIndex index(Import2026().knowledge.availability.records);
  // 61951090: a shortage updated on 15/04/2026 after a tension of 2024.
  EXPECT_EQ(index.Of("61951090", "").status, TAvailabilityStatus::kShortage);
  // 68901873: both updated on 07/01/2026; back in stock started last.
  EXPECT_EQ(index.Of("68901873", "").status, TAvailabilityStatus::kBackInStock);
  // 60516982: its own lines only, by CIP13: a tension and a sibling back in stock.
  EXPECT_EQ(index.Of("60516982", "3931696").status, TAvailabilityStatus::kTension);
  EXPECT_EQ(index.Of("60516982", "3931710").status, TAvailabilityStatus::kBackInStock);
  EXPECT_EQ(index.Of("60516982", "3931697").status, TAvailabilityStatus::kAvailable)
      << "a presentation no line names, of a speciality named only by CIP13";
}

TEST(WholeKnowledge, HospitalUseIsTheConditionReservedForHospitalUse) {
  QUILLOR_REQUIRE_2026_EXPORT(dir);
  std::set<std::string> plain;
  const std::map<std::string, std::string> articles = SpecialityOfArticle();
  std::set<std::string> withArticle;
  for (const auto& [cip, cis] : articles) withArticle.insert(cis);
  for (const auto& row : quillor::test::PlainExportRows(dir / kConditionExport)) {
    if (row.size() >= 2 && row[1] == "r\xE9serv\xE9 \xE0 l'usage HOSPITALIER" && withArticle.count(row[0]))
      plain.insert(row[0]);
  }
  std::set<std::string> imported;
  for (const TSpecialityRecord& speciality : Import2026().knowledge.specialities.specialities) {
    if (speciality.hospitalOnly) imported.insert(speciality.cis);
  }
  EXPECT_EQ(imported, plain);
  EXPECT_EQ(imported.size(), 673u);
  EXPECT_EQ(Import2026().knowledge.conditionRecords, 28151u) << "three records go on over a second line";
}

TEST(WholeKnowledge, ASpecialityInTwoGroupsIsAMemberOfBoth) {
  QUILLOR_REQUIRE_2026_EXPORT(dir);
  std::set<std::string> withArticle;
  for (const auto& [cip, cis] : SpecialityOfArticle()) withArticle.insert(cis);
  std::map<std::string, std::set<std::string>> plainGroups;
  size_t plainLines = 0;
  for (const auto& row : quillor::test::PlainExportRows(dir / kGroupExport)) {
    if (!withArticle.count(row[2])) continue;
    plainGroups[row[2]].insert(row[0]);
    ++plainLines;
  }
  std::map<std::string, std::set<std::string>> imported;
  for (const TGroupMember& member : Import2026().knowledge.specialities.groups)
    imported[member.cis].insert(member.group);
  EXPECT_EQ(imported, plainGroups);
  EXPECT_EQ(Import2026().knowledge.specialities.groups.size(), plainLines);
  size_t inTwo = 0;
  for (const auto& [cis, groups] : imported) inTwo += groups.size() > 1 ? 1 : 0;
  EXPECT_GT(inTwo, 20u);
  // The metformin of 69448283 stands in the 500 mg and the 1000 mg groups.
  EXPECT_EQ(imported["69448283"], (std::set<std::string>{"31", "33"}));
}

TEST(WholeKnowledge, CompositionsKeepEveryLineOfTheArticlesSpecialities) {
  QUILLOR_REQUIRE_2026_EXPORT(dir);
  std::set<std::string> withArticle;
  for (const auto& [cip, cis] : SpecialityOfArticle()) withArticle.insert(cis);
  size_t plain = 0;
  size_t fractions = 0;
  for (const auto& row : quillor::test::PlainExportRows(dir / kCompositionExport)) {
    if (!withArticle.count(row[0])) continue;
    ++plain;
    fractions += row[6] == "FT" ? 1 : 0;
  }
  const auto& records = Import2026().knowledge.compositions.records;
  EXPECT_EQ(records.size(), plain);
  EXPECT_EQ(static_cast<size_t>(std::count_if(records.begin(), records.end(),
                                              [](const TCompositionRecord& r) { return r.fraction; })),
            fractions);
  EXPECT_EQ(Import2026().knowledge.compositionLines, 32389u);
  EXPECT_TRUE(Import2026().knowledge.skipped.empty());
}

TEST(WholeKnowledge, TheBundledKnowledgeFilesAreWhatTheImportMakesOfThe2026Publication) {
  QUILLOR_REQUIRE_2026_EXPORT(dir);
  const TKnowledgeImport& knowledge = Import2026().knowledge;
  const std::filesystem::path data = quillor::test::DataDir();
  const std::pair<const char*, std::string> files[] = {
      {kSpecialitiesFileName, SpecialitiesFileText(knowledge.specialities)},
      {kCompositionsFileName, CompositionsFileText(knowledge.compositions)},
      {kAvailabilityFileName, AvailabilityFileText(knowledge.availability)}};
  for (const auto& [name, text] : files) {
    EXPECT_TRUE(quillor::test::TempDir::Read(data / name) == text)
        << "data/" << name << " differs; rebuild it with quillor-catalogue import "
        << "--availability-date 19/05/2026";
  }
  EXPECT_EQ(FormatDayDate(knowledge.specialities.catalogueDate), "27/05/2026");
  EXPECT_EQ(FormatDayDate(knowledge.availability.published), "19/05/2026");
}

}  // namespace
}  // namespace quillor::catalogue
