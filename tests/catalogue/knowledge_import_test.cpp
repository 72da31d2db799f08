// The import of the publication's other files (composition, generic groups,
// conditions of dispensing, availability) on lines cut from them
// (exports/2026-05), and on quirks written here.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "catalogue/KnowledgeImport.h"
#include "tests/catalogue/ExportFixtures.h"

namespace quillor::catalogue {
namespace {

using test::FixtureDir;
using test::ReadExport;

constexpr TDayDate kToday = 20261209;

struct FixtureImport {
  ExportFile specialities = ReadExport(FixtureDir("2026-05") / "CIS_bdpm.txt");
  ExportFile presentations = ReadExport(FixtureDir("2026-05") / "CIS_CIP_bdpm.txt");
  ExportFile compositions = ReadExport(FixtureDir("2026-05") / kCompositionExport);
  ExportFile groups = ReadExport(FixtureDir("2026-05") / kGroupExport);
  ExportFile conditions = ReadExport(FixtureDir("2026-05") / kConditionExport);
  ExportFile availability = ReadExport(FixtureDir("2026-05") / kAvailabilityExport);
  ImportResult articles = ImportExports(specialities, presentations, ImportOptions{});

  TKnowledgeImport Run(TDayDate availabilityDate = kNoDate, bool all = true) const {
    TKnowledgeExports exports;
    if (all) {
      exports.compositions = &compositions;
      exports.groups = &groups;
      exports.conditions = &conditions;
      exports.availability = &availability;
    }
    exports.folder = "pub";
    exports.availabilityDate = availabilityDate;
    return ImportKnowledge(articles, specialities, presentations, exports, kToday);
  }
};

std::set<std::string> CisOfArticles(const ImportResult& articles) {
  std::set<std::string> cis;
  for (const Article& article : articles.articles) cis.insert(article.cis);
  return cis;
}

TEST(KnowledgeImport, EachArticleGetsItsSpecialityAndEachSpecialityItsForm) {
  const FixtureImport fixture;
  const TKnowledgeImport knowledge = fixture.Run();
  ASSERT_EQ(knowledge.specialities.articles.size(), fixture.articles.articles.size());
  for (size_t i = 0; i < fixture.articles.articles.size(); ++i) {
    EXPECT_EQ(knowledge.specialities.articles[i].cip7, fixture.articles.articles[i].cip);
    EXPECT_EQ(knowledge.specialities.articles[i].cis, fixture.articles.articles[i].cis);
  }
  std::set<std::string> written;
  for (const TSpecialityRecord& speciality : knowledge.specialities.specialities)
    written.insert(speciality.cis);
  EXPECT_EQ(written, CisOfArticles(fixture.articles)) << "the specialities that have an article, no other";
  const auto doliprane =
      std::find_if(knowledge.specialities.specialities.begin(), knowledge.specialities.specialities.end(),
                   [](const TSpecialityRecord& s) { return s.cis == "60234100"; });
  ASSERT_NE(doliprane, knowledge.specialities.specialities.end());
  EXPECT_EQ(doliprane->form, "COMPRIME");
  EXPECT_FALSE(doliprane->hospitalOnly);
  // The newest declaration in the cut lines that is not after today.
  EXPECT_EQ(FormatDayDate(knowledge.specialities.catalogueDate), "15/05/2026");
}

TEST(KnowledgeImport, CompositionsAreFoldedAndKeepTheirLinks) {
  const TKnowledgeImport knowledge = FixtureImport().Run();
  std::vector<TCompositionRecord> pantoprazole;
  for (const TCompositionRecord& record : knowledge.compositions.records) {
    if (record.cis == "62731574") pantoprazole.push_back(record);
  }
  ASSERT_EQ(pantoprazole.size(), 2u);
  EXPECT_EQ(pantoprazole[0], (TCompositionRecord{"62731574", "COMPRIME", 1, true, "38524", "PANTOPRAZOLE",
                                                 "40 MG", "UN COMPRIME"}));
  EXPECT_EQ(pantoprazole[1].name, "PANTOPRAZOLE SODIQUE SESQUIHYDRATE");
  EXPECT_FALSE(pantoprazole[1].fraction);
  EXPECT_EQ(pantoprazole[1].link, 1);
  const auto interferon =
      std::find_if(knowledge.compositions.records.begin(), knowledge.compositions.records.end(),
                   [](const TCompositionRecord& r) { return r.cis == "62090595"; });
  ASSERT_NE(interferon, knowledge.compositions.records.end());
  EXPECT_EQ(interferon->name, "INTERFERON BETA-1A") << "folded, its trailing space gone";
  EXPECT_EQ(interferon->dosage, "22 MICROGRAMMES");
  EXPECT_EQ(interferon->reference, "UNE SERINGUE PRE-REMPLIE");
  EXPECT_EQ(knowledge.compositionLines, 51u);
  // The cut lines name only specialities of the cut CIS_bdpm.txt; those
  // without an article are left out.
  const std::set<std::string> withArticle = CisOfArticles(FixtureImport().articles);
  for (const TCompositionRecord& record : knowledge.compositions.records)
    EXPECT_EQ(withArticle.count(record.cis), 1u) << record.cis;
  EXPECT_TRUE(knowledge.skipped.empty());
}

TEST(KnowledgeImport, GroupMembersWithoutSpecialityAreCountedNotKept) {
  const FixtureImport fixture;
  const TKnowledgeImport knowledge = fixture.Run();
  EXPECT_EQ(knowledge.groupLines, 45u);
  // Of the three groups, only these members are specialities of the cut
  // CIS_bdpm.txt; the others are counted.
  std::vector<std::string> members;
  for (const TGroupMember& member : knowledge.specialities.groups)
    members.push_back(member.group + ":" + member.cis);
  EXPECT_EQ(members, (std::vector<std::string>{"615:62731574", "1025:61678485", "1853:61471853"}));
  EXPECT_EQ(knowledge.groups, 3u);
  EXPECT_EQ(knowledge.groupLinesOfUnknownSpecialities, 42u);
  EXPECT_EQ(knowledge.specialities.groups[2].type, 0) << "NUROFENCAPS is its group's princeps";
}

TEST(KnowledgeImport, HospitalUseComesFromTheConditionsAndARecordMayGoOnOverLines) {
  const FixtureImport fixture;
  const TKnowledgeImport knowledge = fixture.Run();
  std::set<std::string> hospital;
  for (const TSpecialityRecord& speciality : knowledge.specialities.specialities) {
    if (speciality.hospitalOnly) hospital.insert(speciality.cis);
  }
  std::set<std::string> expected;
  for (const char* cis : {"60004505", "61038695", "68437608"}) {
    if (CisOfArticles(fixture.articles).count(cis)) expected.insert(cis);
  }
  EXPECT_EQ(hospital, expected);
  EXPECT_EQ(knowledge.hospitalOnly, expected.size());
  // 49 lines, one of them the rest of the condition before it.
  EXPECT_EQ(knowledge.conditionRecords, 48u);
  EXPECT_EQ(knowledge.conditionsOfUnknownSpecialities, 1u);
  EXPECT_TRUE(knowledge.skipped.empty());
}

TEST(KnowledgeImport, AvailabilityLinesAreAllKeptAndTheirUnknownsCounted) {
  const TKnowledgeImport knowledge = FixtureImport().Run();
  ASSERT_EQ(knowledge.availability.records.size(), 8u);
  EXPECT_EQ(knowledge.availabilityLines, 8u);
  const TAvailabilityRecord& first = knowledge.availability.records[0];
  EXPECT_EQ(first.cis, "67876901");
  EXPECT_EQ(first.cip7, "3091500") << "the CIP13 3400930915004";
  EXPECT_EQ(first.status, TAvailabilityStatus::kTension);
  EXPECT_EQ(FormatDayDate(first.start), "21/03/2024");
  EXPECT_EQ(FormatDayDate(first.update), "12/05/2026");
  EXPECT_EQ(first.back, kNoDate);
  EXPECT_EQ(first.page.rfind("https://ansm.sante.fr/", 0), 0u);
  const TAvailabilityRecord& back = knowledge.availability.records[3];
  EXPECT_EQ(back.cis, "60310861");
  EXPECT_EQ(back.status, TAvailabilityStatus::kBackInStock);
  EXPECT_EQ(FormatDayDate(back.back), "15/12/2025");
  // Only DOLIPRANE 150 and VITAMINE B12 GERDA are cut into CIS_bdpm.txt.
  EXPECT_EQ(knowledge.availabilityOfUnknownSpecialities, 6u);
  EXPECT_EQ(knowledge.availabilityOfUnknownPresentations, 2u);
  EXPECT_EQ(FormatDayDate(knowledge.availability.published), "12/05/2026")
      << "the newest date the lines hold";
  EXPECT_EQ(FormatDayDate(FixtureImport().Run(*ParseDayDate("19/05/2026")).availability.published),
            "19/05/2026");
}

TEST(KnowledgeImport, WithoutTheOtherFilesOnlyTheArticlesSpecialitiesAreKnown) {
  const TKnowledgeImport knowledge = FixtureImport().Run(kNoDate, /*all=*/false);
  EXPECT_EQ(knowledge.specialities.articles.size(), FixtureImport().articles.articles.size());
  EXPECT_TRUE(knowledge.specialities.groups.empty());
  EXPECT_TRUE(knowledge.compositions.records.empty());
  EXPECT_TRUE(knowledge.availability.records.empty());
  for (const TSpecialityRecord& speciality : knowledge.specialities.specialities)
    EXPECT_FALSE(speciality.hospitalOnly);
}

TEST(KnowledgeImport, UnreadableAvailabilityLinesAreSkippedWithTheirReason) {
  const ExportFile file = DecodeExport(
      "60310861\t\t1\tRupture de stock\t01/02/2026\t03/02/2026\t\thttps://a\r\n"
      "60310861\t3400930915005\t1\tRupture\t01/02/2026\t03/02/2026\t\t\r\n"  // wrong check digit
      "60310861\t3500930915004\t1\tRupture\t01/02/2026\t03/02/2026\t\t\r\n"  // not a medicine's
      "60310861\t\t5\tAutre\t01/02/2026\t03/02/2026\t\t\r\n"
      "6031O861\t\t1\tRupture\t01/02/2026\t03/02/2026\t\t\r\n"
      "60310861\t\t1\tRupture\t2026-02-01\t03/02/2026\t\t\r\n"
      "60310861\t\t4\tRemise\t01/02/2026\t03/02/2026\tbientot\t\r\n"
      "60310861\t\t1\r\n"
      "60310861\t\t2\tTension\t01/02/2026\t29/11/2924\t\r\n");
  const TAvailabilityImport imported = ImportAvailability(file, "d.txt", kNoDate, kToday);
  EXPECT_EQ(imported.lines, 9u);
  ASSERT_EQ(imported.file.records.size(), 2u);
  EXPECT_EQ(imported.file.records[0].page, "https://a");
  EXPECT_EQ(imported.file.records[1].page, "") << "a line may lack the address";
  std::vector<int32_t> lines;
  for (const ImportNote& note : imported.skipped) {
    lines.push_back(note.line);
    EXPECT_EQ(note.file, "d.txt");
    EXPECT_FALSE(note.reason.empty());
  }
  EXPECT_EQ(lines, (std::vector<int32_t>{2, 3, 4, 5, 6, 7, 8}));
  // A date after today is no publication date.
  EXPECT_EQ(FormatDayDate(imported.file.published), "03/02/2026");
}

}  // namespace
}  // namespace quillor::catalogue
