// The import over the whole exports of ../shared/data/bdpm-raw. A lone clone
// has no exports: these tests then skip, and the rules stay pinned by the
// lines cut from them in exports/.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "catalogue/AsciiFolding.h"
#include "catalogue/CatalogueImport.h"
#include "catalogue/DesignationAudit.h"
#include "catalogue/DesignationFit.h"
#include "catalogue/SiblingDistinctness.h"
#include "database/ArticleSearch.h"
#include "database/Database.h"
#include "tests/catalogue/ExportFixtures.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestPaths.h"
#include "text/TextLines.h"

namespace quillor::catalogue {
namespace {

using quillor::test::RawExportDir;

#define REQUIRE_EXPORT(dir, name)                                                                    \
  const std::filesystem::path dir = RawExportDir(name);                                              \
  if (dir.empty()) {                                                                                 \
    GTEST_SKIP() << "the " name " export is not in " << quillor::test::SharedDir() / "data/bdpm-raw" \
                 << " (a clone without ../shared): nothing to check";                                \
  }

// The 2026-05 export, imported once for every test here.
const ImportResult& Import2026() {
  static const ImportResult result = test::ImportFolder(RawExportDir("2026-05"));
  return result;
}

TEST(WholeExport, The2026ExportGivesEveryOrderablePresentation) {
  REQUIRE_EXPORT(dir, "2026-05");
  const ImportResult& result = Import2026();
  EXPECT_EQ(result.specialities, 15848u);
  EXPECT_EQ(result.presentations, 20899u);
  // 20,899 presentations: 17,237 declared marketed, of which 4 have no
  // speciality, 62 are abrogated and 2 are of specialities not marketed.
  EXPECT_EQ(result.notMarketed, 20899u - 17237u);
  EXPECT_EQ(result.abrogated, 62u);
  EXPECT_EQ(result.specialityNotMarketed, 2u);
  EXPECT_EQ(result.articles.size(), 17237u - 4u - 62u - 2u);
  for (const Article& article : result.articles) ASSERT_TRUE(article.orderable) << article.cip;
  EXPECT_TRUE(result.warnings.empty());
  EXPECT_EQ(result.skipped.size(), 4u);
  for (const ImportNote& note : result.skipped)
    EXPECT_NE(note.reason.find("no speciality"), std::string::npos);
  EXPECT_TRUE(result.changed.empty());
}

TEST(WholeExport, EveryDesignationIsAtMost40PrintableCharactersWithoutSeparator) {
  REQUIRE_EXPORT(dir, "2026-05");
  for (const Article& article : Import2026().articles) {
    ASSERT_LE(article.designation.size(), kDesignationMaxLength) << article.cip;
    ASSERT_FALSE(article.designation.empty()) << article.cip;
    for (char c : article.designation) {
      ASSERT_TRUE(c >= 0x20 && c < 0x7F && c != ';' && !(c >= 'a' && c <= 'z')) << article.designation;
    }
    ASSERT_NE(article.designation.front(), ' ');
    ASSERT_NE(article.designation.back(), ' ');
    ASSERT_EQ(article.designation.find("  "), std::string::npos) << article.designation;
  }
}

// Floors a little above what the import reaches on the 2026-05 export, kind
// by kind: a change of the rules that makes designations mislead more is
// seen. The kinds that must never happen have a floor of 0.
TEST(WholeExport, TheAuditOfThe2026ExportStaysUnderItsFloors) {
  REQUIRE_EXPORT(dir, "2026-05");
  const ImportResult& result = Import2026();
  const AuditReport& audit = result.audit;
  const std::map<AuditFault, size_t> floors = {
      {AuditFault::kCutNumber, 0},
      {AuditFault::kLostStrength, 5},  // 3 reached: a cell therapy, two isotopes' numbers
      {AuditFault::kLostUnit, 0},
      {AuditFault::kLostCombination, 0},
      {AuditFault::kLostSubstance, 40},    // 34 reached: names too long for 40 characters
      {AuditFault::kDanglingOperator, 2},  // 1 reached
      {AuditFault::kLostRelease, 0},
      {AuditFault::kWrongPack, 8},  // 5 reached
      {AuditFault::kMangledText, 0},
      {AuditFault::kMeaninglessDifference, 0},
      {AuditFault::kMergedProducts, 34},  // 30 reached
      {AuditFault::kNotOrderable, 0},
  };
  ASSERT_EQ(floors.size(), kAuditFaultKinds);
  std::string listed;
  for (const AuditFinding& finding : audit.findings) {
    listed += result.articles[finding.article].cip + " " + result.articles[finding.article].designation +
              ": " + std::string(AuditFaultName(finding.fault)) + ": " + finding.detail + "\n";
  }
  for (const auto& [fault, floor] : floors) {
    EXPECT_LE(audit.articles[static_cast<size_t>(fault)], floor) << AuditFaultName(fault) << "\n" << listed;
  }
  // Fewer than one article in two hundred with any fault.
  EXPECT_LT(audit.faultyArticles * 200, result.articles.size()) << listed;
  // Articles whose designation cannot hold everything are few, and each says what it lost.
  EXPECT_LE(result.notFitting.size(), 115u);
  for (const ArticleLoss& loss : result.notFitting) EXPECT_FALSE(loss.lost.empty()) << loss.cip;
}

// data/README.md lists the articles whose designation cannot hold everything,
// with what they lose: the list is the import's.
TEST(WholeExport, TheReadmeOfTheDataListsTheDesignationsThatCannotHoldEverything) {
  REQUIRE_EXPORT(dir, "2026-05");
  TStringList lines;
  ASSERT_TRUE(ReadFileLines((quillor::test::DataDir() / "README.md").string(), lines));
  std::vector<std::string> documented;
  bool inList = false;
  for (const std::string& line : lines) {
    if (line == "<!-- not fitting -->") inList = true;
    if (line == "<!-- end of not fitting -->") inList = false;
    if (inList && line.size() > 2 && line[0] == '|' && line[2] >= '0' && line[2] <= '9')
      documented.push_back(line);
  }
  std::vector<std::string> imported;
  for (const ArticleLoss& loss : Import2026().notFitting) {
    imported.push_back("| " + loss.cip + " | `" + loss.designation + "` | " + loss.lost + " |");
  }
  EXPECT_EQ(documented, imported);
}

TEST(WholeExport, SiblingsWithDifferentLabelsHaveDifferentDesignationsOrAreOneProduct) {
  REQUIRE_EXPORT(dir, "2026-05");
  std::map<std::pair<std::string, std::string>, std::set<std::string>> labelsOf;
  for (const Article& article : Import2026().articles)
    labelsOf[{article.cis, article.designation}].insert(WithoutMaterials(ProductLabel(article.label)));
  size_t alike = 0;
  size_t siblingsSharingALabel = 0;
  for (const auto& [key, labels] : labelsOf) {
    alike += labels.size() > 1 ? 1 : 0;
    siblingsSharingALabel += labels.size() == 1 ? 1 : 0;
  }
  // Where no word of the labels tells them apart (the same words in another
  // order, a bare number) or there is no room, siblings share a designation.
  EXPECT_LE(alike, 40u);
  EXPECT_GT(siblingsSharingALabel, 0u);
}

// The name as a reader of the export sees it: the words of the denomination
// before the first one that starts with a digit.
std::map<std::string, std::string> NamesOfSpecialities(const std::filesystem::path& dir) {
  std::map<std::string, std::string> names;
  for (const ExportLine& line : test::ReadExport(dir / "CIS_bdpm.txt").lines) {
    const std::string denomination = FoldToUpperAscii(line.fields[1]).text;
    std::string head = denomination.substr(0, denomination.find(", "));
    std::string name;
    for (const std::string& word : SplitWords(head)) {
      if (!name.empty() && word[0] >= '0' && word[0] <= '9') break;
      name += (name.empty() ? "" : " ") + word;
    }
    names[FoldToUpperAscii(line.fields[0]).text] = name;
  }
  return names;
}

TEST(WholeExport, NamesAreKeptWholeWhereTheyFitAndTheSummaryCountsTheOthers) {
  REQUIRE_EXPORT(dir, "2026-05");
  const ImportResult& result = Import2026();
  const std::map<std::string, std::string> names = NamesOfSpecialities(dir);
  std::map<std::string, std::vector<const Article*>> bySpeciality;
  for (const Article& article : result.articles) bySpeciality[article.cis].push_back(&article);
  size_t shortened = 0;
  std::vector<std::string> keptWhole;
  for (const auto& [cis, articles] : bySpeciality) {
    const std::string& name = names.at(cis);
    bool whole = true;
    for (const Article* article : articles) {
      whole = whole && (article->designation == name || article->designation.rfind(name + " ", 0) == 0);
    }
    if (whole) {
      keptWhole.push_back(cis);
    } else {
      ++shortened;
    }
  }
  // The import reads a few names better than this plain reading does (the
  // form without a comma before it, "OMEGA 3" or "PROFIL 30" in a name): the
  // two counts agree within those few.
  EXPECT_LE(shortened, result.namesShortened + 10);
  EXPECT_GE(shortened + 10, result.namesShortened);
  // Nine specialities in ten keep their name whole.
  EXPECT_GT(keptWhole.size(), bySpeciality.size() * 9 / 10);

  // An exact search for such a name, as the window runs it, finds the speciality's articles.
  TStringList lines = SplitLines(PlainArticleText(result.articles));
  std::unique_ptr<TMyDatabase> table = TMyDatabase::CreateFromList(lines);
  const int32_t cipField = table->GetFieldPos("CIP");
  for (size_t i = 0; i < keptWhole.size(); i += 97) {
    const std::string& cis = keptWhole[i];
    std::string query;
    for (char c : names.at(cis))
      query += std::string(".*+?()[]{}|^$\\").find(c) == std::string::npos ? c : '.';
    SearchArticles(*table, NormaliseSearchText(query), false);
    std::set<std::string> found;
    for (int32_t record : table->Selection()) found.insert(table->DBGetString(cipField, record));
    for (const Article* article : bySpeciality.at(cis))
      EXPECT_EQ(found.count(article->cip), 1u) << names.at(cis);
  }
}

TEST(WholeExport, TheBundledCatalogueIsWhatTheImportMakesOfThe2026Export) {
  REQUIRE_EXPORT(dir, "2026-05");
  const TStringList bundled = SplitLines(quillor::test::TempDir::Read(quillor::test::RealCatalogue()));
  const TStringList imported = SplitLines(PlainArticleText(Import2026().articles));
  EXPECT_EQ(bundled.size(), imported.size());
  size_t differences = 0;
  for (size_t i = 0; i < bundled.size() && i < imported.size(); ++i) {
    if (bundled[i] != imported[i] && ++differences <= 5) {
      ADD_FAILURE() << "line " << i + 1 << " of data/BaseDeDonneeArticles.db: " << bundled[i]
                    << "\n  the import of " << dir << " gives: " << imported[i];
    }
  }
  EXPECT_EQ(differences, 0u) << "lines differ; rebuild the bundled file with quillor-catalogue import";
}

TEST(WholeExport, The2019ExportReadsToo) {
  REQUIRE_EXPORT(dir, "2019-03");
  const ExportFile specialities = test::ReadExport(dir / "CIS_bdpm.txt");
  const ExportFile presentations = test::ReadExport(dir / "CIS_CIP_bdpm.txt");
  EXPECT_EQ(specialities.encoding, ExportEncoding::kWindows1252);
  EXPECT_EQ(specialities.lineEnds, ExportLineEnds::kCrLf);
  EXPECT_EQ(presentations.encoding, ExportEncoding::kWindows1252);
  EXPECT_EQ(presentations.lineEnds, ExportLineEnds::kLf);
  ImportOptions options;
  options.allPresentations = true;
  const ImportResult result = ImportExports(specialities, presentations, options);
  EXPECT_EQ(result.specialities, 14728u);
  EXPECT_EQ(result.presentations, 20506u);
  // The five presentations without a speciality, by CIP.
  std::set<std::string> missing;
  for (const ImportNote& note : result.skipped) {
    missing.insert(note.reason.substr(note.reason.rfind("CIP ") + 4, 7));
  }
  EXPECT_EQ(missing, (std::set<std::string>{"3462391", "5827046", "3591088", "5591201", "3646895"}));
  EXPECT_EQ(result.articles.size(), 20501u);
  // The eleven labels holding a ';'.
  EXPECT_EQ(result.changed.size(), 11u);
  for (const Article& article : result.articles) ASSERT_LE(article.designation.size(), kDesignationMaxLength);
}

}  // namespace
}  // namespace quillor::catalogue
