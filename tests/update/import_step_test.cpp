// The public files, once fetched, turned into a new catalogue: checked,
// imported as the tool imports them, made into the set's files.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "catalogue/CatalogueImport.h"
#include "catalogue/KnowledgeImport.h"
#include "database/CryptManager.h"
#include "tests/support/TempDir.h"
#include "tests/update/UpdateFixtures.h"
#include "text/TextLines.h"
#include "update/CatalogueImportStep.h"

namespace quillor::update::test {
namespace {

using quillor::test::TempDir;

std::map<std::string, std::string> SmallFiles() {
  std::map<std::string, std::string> files;
  for (const std::string& name : CatalogueNames()) files[name] = TempDir::Read(SmallExport() / name);
  return files;
}

TEST(ImportStepTest, TheFilesBecomeTheArticleFileTheToolWouldWrite) {
  const TImportOutcome outcome = ImportPublicFiles(SmallFiles(), 20261209);
  ASSERT_TRUE(outcome.ok) << outcome.reason;
  const TNewCatalogue& catalogue = outcome.catalogue;
  ASSERT_EQ(catalogue.files.size(), 4u);
  EXPECT_EQ(catalogue.files[0].name, "BaseDeDonneeArticles.db");

  // The import's own result, written and scrambled as `quillor-catalogue import` does.
  auto files = SmallFiles();
  const catalogue::ExportFile specialities = catalogue::DecodeExport(files["CIS_bdpm.txt"]);
  const catalogue::ExportFile presentations = catalogue::DecodeExport(files["CIS_CIP_bdpm.txt"]);
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

  // The knowledge files beside it, as the tool's import writes them.
  const catalogue::ExportFile compositions = catalogue::DecodeExport(files["CIS_COMPO_bdpm.txt"]);
  const catalogue::ExportFile groups = catalogue::DecodeExport(files["CIS_GENER_bdpm.txt"]);
  const catalogue::ExportFile conditions = catalogue::DecodeExport(files["CIS_CPD_bdpm.txt"]);
  const catalogue::ExportFile availability = catalogue::DecodeExport(files["CIS_CIP_Dispo_Spec.txt"]);
  catalogue::TKnowledgeExports exports;
  exports.compositions = &compositions;
  exports.groups = &groups;
  exports.conditions = &conditions;
  exports.availability = &availability;
  const catalogue::TKnowledgeImport knowledge =
      catalogue::ImportKnowledge(expected, specialities, presentations, exports, 20261209);
  EXPECT_EQ(catalogue.files[1].name, "Specialites.txt");
  EXPECT_EQ(catalogue.files[1].bytes, SpecialitiesFileText(knowledge.specialities));
  EXPECT_EQ(catalogue.files[2].name, "Compositions.txt");
  EXPECT_EQ(catalogue.files[2].bytes, CompositionsFileText(knowledge.compositions));
  EXPECT_EQ(catalogue.files[3].name, "Disponibilites.txt");
  EXPECT_EQ(catalogue.files[3].bytes, AvailabilityFileText(knowledge.availability));
  EXPECT_FALSE(knowledge.compositions.records.empty());
  EXPECT_EQ(catalogue.availability.records.size(), 8u);
  EXPECT_EQ(catalogue.specialityOfArticle.size(), 22u);
  EXPECT_EQ(catalogue.linesLeftOut, expected.skipped.size() + knowledge.skipped.size());
}

TEST(ImportStepTest, TheDatabasesDateIsItsNewestPresentationNotAfterToday) {
  EXPECT_EQ(ImportPublicFiles(SmallFiles(), 20261209).catalogue.databaseDay, 20260515);
  // Dates after the day of the update are typing errors of the database.
  EXPECT_EQ(ImportPublicFiles(SmallFiles(), 20260514).catalogue.databaseDay, 20260220);
}

TEST(ImportStepTest, AMissingOrDamagedFileIsNamed) {
  for (const std::string& name : CatalogueNames()) {
    auto files = SmallFiles();
    files.erase(name);
    EXPECT_EQ(ImportPublicFiles(files, 20261209).reason, name + Fr(" : fichier manquant"));
  }
  auto files = SmallFiles();
  files["CIS_CIP_Dispo_Spec.txt"] += "60234100\t\t1\tRupture\n";
  EXPECT_EQ(ImportPublicFiles(files, 20261209).reason,
            "CIS_CIP_Dispo_Spec.txt : " + Fr("ligne 9 : 4 champs au lieu de 8"));
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
