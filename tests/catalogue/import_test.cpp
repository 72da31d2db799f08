#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>

#include "catalogue/CatalogueImport.h"
#include "tests/catalogue/ExportFixtures.h"

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
  articles[0] = {"3000001", "ALPHA 10MG CPR B/30", "2,50", "60000001", "ALPHA", "X", ""};
  articles[1] = {"3000002", "BETA GELU B/8", "", "60000002", "BETA", "Y", ""};
  EXPECT_EQ(PlainArticleText(articles),
            "CIP;Designation;Prix\r\n3000001;ALPHA 10MG CPR B/30;2,50\r\n3000002;BETA GELU B/8;\r\n");
  EXPECT_EQ(PlainArticleText({}), "CIP;Designation;Prix\r\n");
}

// Lines cut from the 2026-05 export where designations once misled: a number
// cut inside, a strength, a unit, a release or a pack lost, different
// products merged, siblings told apart by nothing (exports/2026-05-designations).
TEST(CatalogueImport, DesignationsKeepWhatAPharmacistOrdersBy) {
  const ImportResult result = test::ImportFolder(test::FixtureDir("2026-05-designations"));
  const auto byCip = ByCip(result);
  const std::vector<std::pair<std::string, std::string>> expected = {
      // Numbers whole.
      {"2765480", "ORABLOC 40MG/ML ADRE 1/100000 50X1,8ML"},
      {"5507511", "ZOLGENSMA 2X10^13VG/ML FL/5,5ML+3X8,3ML"},
      {"3007744", "MEDNUTRIFLEX OMEGA E EMULS PERF 5X2500ML"},
      {"5651073", "ACTOSOLV 600000UI PDR SOL INJ FL"},  // a vial of the strength: its container says it
      // Strengths and units.
      {"3099855", "STEROGYL 15 \"H\" 600000UI/1,5ML AMP/1,5ML"},
      {"4950132", "BINOCRIT 30000UI/0,75ML SOL SER/0,75ML"},
      {"3935441", "ZARZIO 30MU/0,5ML SOL INJ SER/0,5ML"},
      {"3671462", "SPIRA/METRO TEVA 1,5MUI/250MG CPR B/10"},
      {"3024825", "SONDELBAY 20MCG/80MCL SOL INJ CART/2,4ML"},
      {"4155389", "LETROZOLE SANDOZ 2,5MG CPR B/30"},
      // Combinations: every strength, every substance.
      {"2195953", "DORZOLAMIDE/TIMOLOL EG 20+5MG/ML FL/5ML"},
      {"2690517", "PERINDO/INDAP TEVA 2,5/0,625MG 3FL/30"},
      {"3022291", "FLUTI/SALM ZTV 100/50MCG/DOS DISPO/60"},
      {"3012635", "CETYL/LYSOZ BGR CSL 1,5MG/20MG CPR 2T/18"},
      {"3023223", "PONVORY 2+3+4+5+6+7+8+9+10MG CPR B/14"},
      {"3001051", "SEASONIQUE 150MCG/30MCG+10MCG CPR B/84"},
      {"3031753", "TOLVAPTAN SANDOZ 30MG+90MG CPR B/56"},
      // Release and way of taking.
      {"3849150", "CLARITHROMYCINE BIOGARAN 500MG CPR B/10"},
      {"3998909", "CLARITHROMYCINE BIOGARAN 500MG LM B/10"},
      {"2772965", "GLICLAZIDE EG LABO 30MG CPR LM B/30"},
      {"2197260", "RIZATRIPTAN VIATRIS 10MG ORODISP 12X1"},
      {"3024192", "LOPERAMIDE VIATRIS CSL 2MG LYOPH B/12"},
      // Packs that count every unit of the label.
      {"2675251", "OPTIDRIL 30MCG/150MCG CPR B/28"},
      {"3030399", "APREMILAST ACCORD 10+20+30MG CPR B/27"},
      {"5608309", "PIPERACILLINE PANPHARMA 1G PDR FL"},
      {"3023778", "MONTELUKAST ARROW LAB 4MG GRAN 28SACH"},
      // Text as every other designation writes it.
      {"3436241", "DICLOFENAC EG 50MG CPR B/30"},
      {"3710819", "SPIRA/METRO ARW 750000UI/125MG CPR B/20"},
      {"2683807", "TRAMA/PARACET TEVA 37,5MG/325MG CPR B/20"},
      // Different products apart, by the words that say how.
      {"3021202", "INSULINE ASPAR SANOFI 100U/ML 5X3ML CART"},
      {"3021204", "INSUL ASPAR SANOFI 100U/ML 5X3ML STYLO"},
      {"5507196", "OCTAPLASLG SOL PERF 10X200ML A"},
      {"5507199", "OCTAPLASLG SOL PERF 10X200ML B"},
      {"3007628", "CIMZIA 200MG SOL INJ 2X1ML STYLO"},
      {"3973200", "CIMZIA 200MG SOL INJ 2X1ML SER"},
      // One product, one designation: a parallel import, "2%" and "2 %".
      {"3423770", "ZYPREXA 5MG CPR B/28"},
      {"4950974", "ZYPREXA 5MG CPR B/28"},
      {"3292492", "KETODERM 2% CREME T/15G"},
      {"4900216", "KETODERM 2% CREME T/15G"},
  };
  for (const auto& [cip, designation] : expected) {
    ASSERT_EQ(byCip.count(cip), 1u) << cip;
    EXPECT_EQ(byCip.at(cip)->designation, designation) << cip;
  }
  // The three generics of one laboratory or another stay apart.
  EXPECT_NE(byCip.at("2800905")->designation, byCip.at("3010262")->designation);
  // Nothing the audit finds, and no presentation that cannot be ordered.
  EXPECT_EQ(result.audit.faultyArticles, 0u);
  for (const char* gone : {"2691304", "2733209", "3021866", "3026172", "3026200"}) {
    EXPECT_EQ(byCip.count(gone), 0u) << gone;
  }
  // GLICLAZIDE, CHAMPIX and the three COMIRNATY (whose speciality is not
  // marketed either).
  EXPECT_EQ(result.abrogated, 5u);
  EXPECT_EQ(result.specialityNotMarketed, 0u);
  // With every presentation, the variants of the vaccine read apart.
  const ImportResult all = test::ImportFolder(test::FixtureDir("2026-05-designations"), true);
  const auto allByCip = ByCip(all);
  EXPECT_NE(allByCip.at("3026172")->designation, allByCip.at("3026200")->designation);
  EXPECT_NE(allByCip.at("3026172")->designation.find("15/15MCG"), std::string::npos);
}

// What fuzzing the import with mutated real lines found.
TEST(CatalogueImport, AHugeFieldIsRefusedBeforeItsWordsAreRead) {
  const std::string specialities = "60000001\t" + std::string(77000, 'A') +
                                   " 10 mg, comprim\xE9\tcomprim\xE9\r\n" +
                                   "60000002\tBETA 5 mg, comprim\xE9\tcomprim\xE9\r\n";
  const std::string orderable =
      "\tPr\xE9sentation active\tD\xE9"
      "claration de commercialisation\t01/01/2020\t3400900000011\toui\t65%\t";
  std::string presentations;
  for (int i = 1; i <= 3; ++i) {
    presentations +=
        "60000001\t300000" + std::to_string(i) + "\tplaquette(s) de 30 comprim\xE9(s)" + orderable + "\n";
  }
  presentations += "60000002\t3000009\t" + std::string(5000, 'B') + orderable + "\n";
  presentations += "60000002\t3000008\tplaquette(s) de 30 comprim\xE9(s)" + orderable + "\n";
  const ImportResult result =
      ImportExports(DecodeExport(specialities), DecodeExport(presentations), ImportOptions());
  ASSERT_EQ(result.articles.size(), 1u);
  EXPECT_EQ(result.articles[0].designation, "BETA 5MG CPR B/30");
  std::vector<std::string> skipped;
  for (const ImportNote& note : result.skipped)
    skipped.push_back(note.file + ":" + std::to_string(note.line) + ": " + note.reason);
  EXPECT_EQ(skipped, (std::vector<std::string>{
                         "CIS_bdpm.txt:1: the denomination has 77016 characters, more than 1000",
                         "CIS_CIP_bdpm.txt:1: no speciality 60000001 in CIS_bdpm.txt (CIP 3000001)",
                         "CIS_CIP_bdpm.txt:2: no speciality 60000001 in CIS_bdpm.txt (CIP 3000002)",
                         "CIS_CIP_bdpm.txt:3: no speciality 60000001 in CIS_bdpm.txt (CIP 3000003)",
                         "CIS_CIP_bdpm.txt:4: the label has 5000 characters, more than 1000",
                     }));
}

TEST(CatalogueImport, ADenominationWithoutANameIsSkippedAndALongNameKeepsItsPack) {
  const std::string orderable =
      "\tPr\xE9sentation active\tD\xE9"
      "claration de commercialisation\t01/01/2020\t3400900000011\toui\t65%\t";
  const std::string specialities =
      "60000001\t, X\tcomprim\xE9\r\n"
      "60000002\tPARACETAMOLCODEINEIBUPROFENEASPIRINEX 500 mg, comprim\xE9\tcomprim\xE9\r\n";
  const std::string presentations = "60000001\t3000001\tplaquette(s) de 30 comprim\xE9(s)" + orderable +
                                    "\n" + "60000002\t3000002\tplaquette(s) de 30 comprim\xE9(s)" +
                                    orderable + "\n" +
                                    "60000002\t3000003\tplaquette(s) de 90 comprim\xE9(s)" + orderable + "\n";
  const ImportResult result =
      ImportExports(DecodeExport(specialities), DecodeExport(presentations), ImportOptions());
  ASSERT_EQ(result.skipped.size(), 2u);
  EXPECT_EQ(result.skipped[0].reason, "no name before the form in the denomination ', X'");
  ASSERT_EQ(result.articles.size(), 2u);
  // The name's one long word is cut to its first letters; the strength and
  // the packs stay, and siblings read apart.
  EXPECT_EQ(result.articles[0].designation, "PARAC 500MG CPR B/30");
  EXPECT_EQ(result.articles[1].designation, "PARAC 500MG CPR B/90");
}

TEST(CatalogueImport, LinesEndedByALoneCrGiveEveryArticle) {
  std::string presentations = test::FixtureBytes("2026-05", "CIS_CIP_bdpm.txt");
  const ImportResult byLf = ImportExports(DecodeExport(test::FixtureBytes("2026-05", "CIS_bdpm.txt")),
                                          DecodeExport(presentations), ImportOptions());
  std::replace(presentations.begin(), presentations.end(), '\n', '\r');
  const ImportResult byCr = ImportExports(DecodeExport(test::FixtureBytes("2026-05", "CIS_bdpm.txt")),
                                          DecodeExport(presentations), ImportOptions());
  EXPECT_EQ(PlainArticleText(byCr.articles), PlainArticleText(byLf.articles));
  EXPECT_TRUE(byCr.warnings.empty());
  // A file whose lines are not cut at all is said loudly.
  std::replace(presentations.begin(), presentations.end(), '\r', '\x1E');
  const ImportResult uncut = ImportExports(DecodeExport(test::FixtureBytes("2026-05", "CIS_bdpm.txt")),
                                           DecodeExport(presentations), ImportOptions());
  ASSERT_EQ(uncut.warnings.size(), 1u);
  EXPECT_THAT(uncut.warnings[0], HasSubstr("CIS_CIP_bdpm.txt has 1 line for 5101 bytes"));
}

TEST(CatalogueImport, AWindows1252LineInAUtf8FileIsReadAsSuchAndNoted) {
  std::string presentations = test::FixtureBytes("2026-05", "CIS_CIP_bdpm.txt");
  const ImportResult utf8 = ImportExports(DecodeExport(test::FixtureBytes("2026-05", "CIS_bdpm.txt")),
                                          DecodeExport(presentations), ImportOptions());
  // The line of 3595583 mended in Windows-1252: every "é" in one byte.
  const size_t at = presentations.rfind('\n', presentations.find("3595583")) + 1;
  const size_t end = presentations.find('\n', at);
  for (size_t accent = presentations.find("\xC3\xA9", at); accent < end;
       accent = presentations.find("\xC3\xA9", accent)) {
    presentations.replace(accent, 2, "\xE9");
  }
  const ExportFile mixed = DecodeExport(presentations);
  EXPECT_EQ(mixed.encoding, ExportEncoding::kMixed);
  const ImportResult result =
      ImportExports(DecodeExport(test::FixtureBytes("2026-05", "CIS_bdpm.txt")), mixed, ImportOptions());
  EXPECT_EQ(PlainArticleText(result.articles), PlainArticleText(utf8.articles));
  ASSERT_EQ(result.changed.size(), 1u);
  EXPECT_EQ(result.changed[0].reason, "read as Windows-1252, unlike the rest of the file");
}

TEST(CatalogueImport, APriceOfDigitsSpacedOutIsRefused) {
  const std::string specialities = "60000001\tALPHA 10 mg, comprim\xE9\tcomprim\xE9\r\n";
  const std::string line =
      "60000001\t300000%d\tplaquette(s) de 30 comprim\xE9(s)\tPr\xE9sentation active\tD\xE9"
      "claration de commercialisation\t01/01/2020\t3400900000011\toui\t65%%\t%s\n";
  std::string presentations;
  int n = 1;
  for (const char* price : {"1 0 0 3", "01,003,48", "1,003,48", "1 003,48"}) {
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, line.c_str(), n++, price);
    presentations += buffer;
  }
  const ImportResult result =
      ImportExports(DecodeExport(specialities), DecodeExport(presentations), ImportOptions());
  ASSERT_EQ(result.articles.size(), 2u);
  EXPECT_EQ(result.articles[0].price, "1003,48");
  EXPECT_EQ(result.articles[1].price, "1003,48");
  ASSERT_EQ(result.skipped.size(), 2u);
  EXPECT_EQ(result.skipped[0].reason, "unreadable price '1 0 0 3'");
  EXPECT_EQ(result.skipped[1].reason, "unreadable price '01,003,48'");
}

}  // namespace
}  // namespace quillor::catalogue
