#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

#include "CatalogueImport.h"
#include "ExportFixtures.h"

namespace quillor::catalogue {
namespace {

using ::testing::ElementsAre;
using ::testing::Field;
using ::testing::HasSubstr;

std::map<std::string, const Article*> ByCip(const ImportResult& result) {
  std::map<std::string, const Article*> byCip;
  for (const Article& article : result.articles) byCip[article.cip] = &article;
  return byCip;
}

TEST(CatalogueImport, RealLinesOfThe2026ExportBecomeArticles) {
  const ImportResult result = test::ImportFolder(test::FixtureDir("2026-05"));
  EXPECT_EQ(result.specialities, 24u);
  EXPECT_EQ(result.presentations, 27u);
  // Four presentations that cannot be ordered: two declared stops, a
  // suspension, and one whose authorisation has ended.
  EXPECT_EQ(result.notMarketed, 4u);
  ASSERT_EQ(result.articles.size(), 22u);
  EXPECT_TRUE(std::is_sorted(result.articles.begin(), result.articles.end(),
                             [](const Article& a, const Article& b) { return a.cip < b.cip; }));
  const auto byCip = ByCip(result);
  EXPECT_EQ(byCip.at("3595583")->designation, "DOLIPRANE 1000MG CPR B/8");
  EXPECT_EQ(byCip.at("3595583")->price, "1,16");
  EXPECT_EQ(byCip.at("5636955")->designation, "DOLIPRANE 1000MG CPR B/100");
  EXPECT_EQ(byCip.at("5636955")->price, "");
  EXPECT_EQ(byCip.at("3480940")->designation, "DOLIPRANE 150MG SUPPO B/10");
  EXPECT_EQ(byCip.at("3149978")->designation, "BETADINE DERMIQUE 10% SOL LOC FL/125ML");
  // Thousands written with commas.
  EXPECT_EQ(byCip.at("2784980")->price, "1466,29");
  EXPECT_EQ(byCip.at("3030104")->price, "7518,58");
  // A name too long for 40 characters loses its last words before the form's
  // way of taking it (a chewable tablet) goes; the summary names what it lost.
  EXPECT_EQ(byCip.at("3538220")->designation, "MAALOX MAUX D'EST 400/400MG CROQ B/40");
  EXPECT_EQ(result.namesShortened, 2u);  // both MAALOX specialities
  EXPECT_EQ(result.namesCut, 2u);        // ... which leave out HYDROXYDE...
  ASSERT_FALSE(result.notFitting.empty());
  EXPECT_EQ(result.notFitting.front().cip, "3000794");
  EXPECT_EQ(result.notFitting.front().lost, "the words HYDROX D'ALU/HYDROX MAGN of the name");
  // Siblings of one speciality whose labels differ are told apart.
  EXPECT_EQ(byCip.at("3000794")->designation, "MAALOX MAUX D'EST 460/400MG 20X4,3ML PET");
  EXPECT_EQ(byCip.at("3545504")->designation, "MAALOX MAUX D'EST 460/400MG 20X4,3ML PP");
  EXPECT_EQ(byCip.at("2198986")->designation, "LEVETIRACETAM ACCORD 1000MG CPR B/60");
  EXPECT_EQ(byCip.at("2238214")->designation, "LEVETIRACETAM ACCORD 1000MG CPR 60X1");
  // Two specialities that read alike once shortened, a syringe and a pen:
  // what their denominations say apart is added.
  EXPECT_EQ(byCip.at("3474170")->designation, "REBIF 22MCG SOL INJ 12X0,5ML SER");
  EXPECT_EQ(byCip.at("2219079")->designation, "REBIF 22MCG SOL INJ 12X0,5ML STYLO");
  EXPECT_EQ(result.madeDistinctAcrossSpecialities, 2u);
  // Typographic characters and the micro sign.
  for (const Article& article : result.articles) {
    for (char c : article.designation) ASSERT_TRUE(c >= 0x20 && c < 0x7F && c != ';') << article.designation;
    EXPECT_LE(article.designation.size(), 40u);
  }
  // The one presentation whose speciality is missing.
  ASSERT_EQ(result.skipped.size(), 1u);
  EXPECT_EQ(result.skipped[0].file, "CIS_CIP_bdpm.txt");
  EXPECT_EQ(result.skipped[0].line, 17);
  EXPECT_EQ(result.skipped[0].reason, "no speciality 62969013 in CIS_bdpm.txt (CIP 3032870)");
  EXPECT_TRUE(result.changed.empty());
}

TEST(CatalogueImport, AllKeepsThePresentationsThatCannotBeOrdered) {
  const ImportResult result = test::ImportFolder(test::FixtureDir("2026-05"), true);
  EXPECT_EQ(result.notMarketed, 0u);
  EXPECT_EQ(result.articles.size(), 26u);
  const auto byCip = ByCip(result);
  EXPECT_EQ(byCip.count("2189705"), 1u);
  EXPECT_EQ(byCip.at("2189705")->designation, "MAALOX MAUX D'EST 400/400MG CROQ B/60");
  EXPECT_EQ(byCip.count("3032870"), 0u) << "still no speciality for it";
}

TEST(CatalogueImport, The2019ExportHasASemicolonInALabelWhichIsMendedAndNoted) {
  const ImportResult result = test::ImportFolder(test::FixtureDir("2019-03"), true);
  ASSERT_EQ(result.articles.size(), 2u);
  EXPECT_THAT(result.changed, ElementsAre(Field(&ImportNote::line, 3)));
  EXPECT_EQ(result.changed[0].file, "CIS_CIP_bdpm.txt");
  EXPECT_THAT(result.changed[0].reason, HasSubstr("';' in the label written ','"));
  // A presentation of a speciality the 2019 file lacks.
  ASSERT_EQ(result.skipped.size(), 1u);
  EXPECT_THAT(result.skipped[0].reason, HasSubstr("no speciality 61935766"));
  for (const Article& article : result.articles) EXPECT_EQ(article.designation.find(';'), std::string::npos);
}

// Lines in the export's format that break it one way each.
TEST(CatalogueImport, MalformedLinesAreSkippedWithTheirLineAndReason) {
  const std::string specialities =
      "60000001\tALPHA 10 mg, comprim\xE9\tcomprim\xE9\r\n"
      "60000002\tBETA\r\n"                                      // 2: too few fields
      "\tGAMMA, g\xE9lule\tg\xE9lule\r\n"                       // 3: empty CIS
      "6000000X\tDELTA, g\xE9lule\tg\xE9lule\r\n"               // 4: not a number
      "60000001\tALPHA BIS, g\xE9lule\tg\xE9lule\r\n"           // 5: seen on line 1
      "\r\n"                                                    // 6: empty line
      "60000003\t\tg\xE9lule\r\n"                               // 7: empty denomination
      "60000004\tEPSILON \xBF 5 mg, g\xE9lule\tg\xE9lule\r\n";  // 8: a character without spelling
  const std::string orderable =
      "\tPr\xE9sentation active\tD\xE9"
      "claration de commercialisation\t01/01/2020\t3400900000011\toui\t65%\t";
  const std::string presentations =
      "60000001\t3000001\tplaquette(s) de 30 comprim\xE9(s)" + orderable + "2,50\n" +
      "60000001\t3000002\tplaquette(s) de 30 comprim\xE9(s)\n" +                       // 2: too few fields
      "60000001\t\tplaquette(s) de 30 comprim\xE9(s)" + orderable + "2,50\n" +         // 3: empty CIP
      "60000001\t300003\tplaquette(s) de 30 comprim\xE9(s)" + orderable + "2,50\n" +   // 4: 6 digits
      "60000001\t3000004\tplaquette(s) de 60 comprim\xE9(s)" + orderable + "deux\n" +  // 5: price
      "60000001\t3000001\tplaquette(s) de 90 comprim\xE9(s)" + orderable + "2,50\n" +  // 6: seen on 1
      "69999999\t3000006\tplaquette(s) de 30 comprim\xE9(s)" + orderable + "\n" +      // 7: no speciality
      "60000004\t3000007\tplaquette(s) de 30 g\xE9lule(s) ; bo\xEEte" + orderable + "\n";  // 8: a ';'
  ImportOptions options;
  const ImportResult result = ImportExports(DecodeExport(specialities), DecodeExport(presentations), options);
  ASSERT_EQ(result.articles.size(), 2u);
  EXPECT_EQ(result.articles[0].cip, "3000001");
  EXPECT_EQ(result.articles[0].designation, "ALPHA 10MG CPR B/30");
  EXPECT_EQ(result.articles[0].price, "2,50");
  EXPECT_EQ(result.articles[1].designation, "EPSILON ? 5MG GELU B/30");

  std::vector<std::string> skipped;
  for (const ImportNote& note : result.skipped) {
    skipped.push_back(note.file + ":" + std::to_string(note.line) + ": " + note.reason);
  }
  EXPECT_EQ(skipped, (std::vector<std::string>{
                         "CIS_bdpm.txt:2: too few fields (2, at least 3 needed)",
                         "CIS_bdpm.txt:3: empty CIS code",
                         "CIS_bdpm.txt:4: CIS code '6000000X' is not a number",
                         "CIS_bdpm.txt:5: CIS code 60000001 already on line 1",
                         "CIS_bdpm.txt:6: empty line",
                         "CIS_bdpm.txt:7: empty denomination",
                         "CIS_CIP_bdpm.txt:2: too few fields (3, at least 10 needed)",
                         "CIS_CIP_bdpm.txt:3: empty CIP code",
                         "CIS_CIP_bdpm.txt:4: CIP7 '300003' is not 7 digits",
                         "CIS_CIP_bdpm.txt:5: unreadable price 'DEUX'",
                         "CIS_CIP_bdpm.txt:6: CIP 3000001 already on line 1",
                         "CIS_CIP_bdpm.txt:7: no speciality 69999999 in CIS_bdpm.txt (CIP 3000006)",
                     }));
  std::vector<std::string> changed;
  for (const ImportNote& note : result.changed) {
    changed.push_back(note.file + ":" + std::to_string(note.line) + ": " + note.reason);
  }
  EXPECT_EQ(changed,
            (std::vector<std::string>{
                "CIS_bdpm.txt:8: the character U+00BF of the denomination has no ASCII spelling; written '?'",
                "CIS_CIP_bdpm.txt:8: ';' in the label written ',' (the article file's separator)",
            }));
}

TEST(CatalogueImport, NothingReadGivesNoArticleAndNoNote) {
  const ImportResult result = ImportExports(ExportFile(), ExportFile(), ImportOptions());
  EXPECT_TRUE(result.articles.empty());
  EXPECT_TRUE(result.skipped.empty());
  EXPECT_EQ(result.specialities, 0u);
}

TEST(CatalogueImport, ThePlainArticleFileHasAHeaderAndCrLfAfterEveryLine) {
  std::vector<Article> articles(2);
  articles[0] = {"3000001", "ALPHA 10MG CPR B/30", "2,50", "60000001", "ALPHA", "X"};
  articles[1] = {"3000002", "BETA GELU B/8", "", "60000002", "BETA", "Y"};
  EXPECT_EQ(PlainArticleText(articles),
            "CIP;Designation;Prix\r\n3000001;ALPHA 10MG CPR B/30;2,50\r\n3000002;BETA GELU B/8;\r\n");
  EXPECT_EQ(PlainArticleText({}), "CIP;Designation;Prix\r\n");
}

}  // namespace
}  // namespace quillor::catalogue
