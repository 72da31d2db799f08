// The public files, once fetched, turned into a new catalogue: checked,
// imported as the tool imports them, made into the set's files.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "CatalogueImport.h"
#include "CatalogueImportStep.h"
#include "CryptManager.h"
#include "TempDir.h"
#include "TextLines.h"
#include "UpdateFixtures.h"

namespace quillor::update::test {
namespace {

using quillor::test::TempDir;

std::map<std::string, std::string> SmallFiles() {
  return {{"CIS_bdpm.txt", TempDir::Read(SmallExport() / "CIS_bdpm.txt")},
          {"CIS_CIP_bdpm.txt", TempDir::Read(SmallExport() / "CIS_CIP_bdpm.txt")}};
}

TEST(ImportStepTest, TheFilesBecomeTheArticleFileTheToolWouldWrite) {
  const TImportOutcome outcome = ImportPublicFiles(SmallFiles(), 20261209);
  ASSERT_TRUE(outcome.ok) << outcome.reason;
  const TNewCatalogue& catalogue = outcome.catalogue;
  ASSERT_EQ(catalogue.files.size(), 1u);
  EXPECT_EQ(catalogue.files[0].name, "BaseDeDonneeArticles.db");

  // The import's own result, written and scrambled as `quillor-catalogue import` does.
  catalogue::ExportFile specialities = catalogue::DecodeExport(SmallFiles()["CIS_bdpm.txt"]);
  catalogue::ExportFile presentations = catalogue::DecodeExport(SmallFiles()["CIS_CIP_bdpm.txt"]);
  const catalogue::ImportResult expected = catalogue::ImportExports(specialities, presentations, {});
  TStringList lines = SplitLines(catalogue.files[0].bytes);
  TCryptManager().DecryptLines(lines);
  EXPECT_EQ(lines, SplitLines(catalogue::PlainArticleText(expected.articles)));
  ASSERT_EQ(catalogue.articles.size(), expected.articles.size());
  EXPECT_EQ(catalogue.articles.size(), 22u);
  for (size_t i = 0; i < catalogue.articles.size(); ++i) {
    EXPECT_EQ(catalogue.articles[i].cip, expected.articles[i].cip);
    EXPECT_EQ(catalogue.articles[i].designation, expected.articles[i].designation);
    EXPECT_EQ(catalogue.articles[i].price, expected.articles[i].price);
  }
  EXPECT_EQ(catalogue.specialities, 24u);
  EXPECT_EQ(catalogue.presentations, 27u);
  EXPECT_EQ(catalogue.linesLeftOut, expected.skipped.size());
}

TEST(ImportStepTest, TheDatabasesDateIsItsNewestPresentationNotAfterToday) {
  EXPECT_EQ(ImportPublicFiles(SmallFiles(), 20261209).catalogue.databaseDay, 20260515);
  // Dates after the day of the update are typing errors of the database.
  EXPECT_EQ(ImportPublicFiles(SmallFiles(), 20260514).catalogue.databaseDay, 20260220);
  EXPECT_EQ(DayText(20260515), "15/05/2026");
  EXPECT_EQ(ReadDay("15/05/2026"), 20260515);
  EXPECT_EQ(ReadDay("31/13/2026"), 0);
  EXPECT_EQ(ReadDay("1/5/2026"), 0);
  EXPECT_EQ(DayText(0), "");
}

TEST(ImportStepTest, AMissingOrDamagedFileIsNamed) {
  auto files = SmallFiles();
  files.erase("CIS_CIP_bdpm.txt");
  EXPECT_EQ(ImportPublicFiles(files, 20261209).reason, "CIS_CIP_bdpm.txt : " + Fr("fichier manquant"));
  files = SmallFiles();
  files["CIS_bdpm.txt"] += "60000000\tLIGNE COUPEE\r\n";
  const TImportOutcome outcome = ImportPublicFiles(files, 20261209);
  EXPECT_FALSE(outcome.ok);
  EXPECT_EQ(outcome.reason, "CIS_bdpm.txt : " + Fr("ligne 25 : 2 champs au lieu de 12"));
  EXPECT_TRUE(outcome.catalogue.files.empty());
}

TEST(ImportStepTest, AnExportWithoutAnyArticleToOrderIsRefused) {
  auto files = SmallFiles();
  // Every presentation withdrawn from sale.
  std::string withdrawn;
  for (const std::string& line : SplitLines(files["CIS_CIP_bdpm.txt"])) {
    std::string changed = line;
    const std::string declared =
        "D\xC3\xA9"
        "claration de commercialisation";
    const size_t at = changed.find(declared);
    if (at != std::string::npos)
      changed.replace(at, declared.size(),
                      "D\xC3\xA9"
                      "claration d'arr\xC3\xAAt de commercialisation");
    withdrawn += changed + "\n";
  }
  files["CIS_CIP_bdpm.txt"] = withdrawn;
  EXPECT_EQ(ImportPublicFiles(files, 20261209).reason, Fr("l'import ne donne aucun article"));
}

}  // namespace
}  // namespace quillor::update::test
