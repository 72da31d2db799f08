// The one rule for where the catalogue in use is: the user's updated data,
// else ./Data in the working folder, else the installed data.
#include <gtest/gtest.h>

#include "tests/support/TempDir.h"
#include "tests/update/UpdateFixtures.h"
#include "update/CatalogueLocation.h"

namespace quillor::update::test {
namespace {

namespace fs = std::filesystem;
using quillor::test::TempDir;

class CatalogueLocationTest : public ::testing::Test {
 protected:
  void UpdatedSet() {
    std::string error;
    ASSERT_TRUE(TDataSetStore(User()).Install({{"BaseDeDonneeArticles.db", "maj"}},
                                              {"https://exemple.fr/", "09/12/2026 16:40", 20261203, 1},
                                              std::time(nullptr), &error))
        << error;
  }
  void WorkingData() { fRoot.Write("travail/Data/BaseDeDonneeArticles.db", "local"); }
  void InstalledData() {
    fRoot.Write("usr/share/quillor/Data/BaseDeDonneeArticles.db", "installe");
    fRoot.Write("usr/share/quillor/Data/Origine.txt",
                "Source=export de mai 2026\r\nMisAJourLe=\r\nBaseDu=27/05/2026\r\nArticles=17233\r\n");
  }

  std::string User() const { return (fRoot.Path() / "utilisateur").string(); }
  std::string Working() const { return (fRoot.Path() / "travail").string(); }
  std::string Installed() const { return (fRoot.Path() / "usr/share/quillor").string(); }
  TCatalogueLocation Locate() const {
    fs::create_directories(Working());
    return LocateCatalogue(User(), Working(), Installed());
  }

  TempDir fRoot;
};

TEST_F(CatalogueLocationTest, TheUsersUpdatedDataComesFirst) {
  InstalledData();
  WorkingData();
  UpdatedSet();
  const TCatalogueLocation location = Locate();
  EXPECT_EQ(location.origin, TDataOrigin::kUpdated);
  EXPECT_EQ(TempDir::Read(location.articleFile), "maj");
  EXPECT_EQ(location.folder, fs::path(location.articleFile).parent_path().string());
  ASSERT_TRUE(location.manifest);
  EXPECT_EQ(DescribeCatalogue(location), Fr("Catalogue du 03/12/2026, mis à jour le 09/12/2026 16:40"));
}

TEST_F(CatalogueLocationTest, ThenTheWorkingFoldersData) {
  InstalledData();
  WorkingData();
  const TCatalogueLocation location = Locate();
  EXPECT_EQ(location.origin, TDataOrigin::kWorkingFolder);
  EXPECT_EQ(location.articleFile, Working() + "/Data/BaseDeDonneeArticles.db");
  EXPECT_EQ(DescribeCatalogue(location), Fr("Catalogue du dossier Data"));
}

TEST_F(CatalogueLocationTest, ThenTheInstalledData) {
  InstalledData();
  fRoot.Write("travail/Data/Versions.ini", "");  // a Data folder without a catalogue does not count
  const TCatalogueLocation location = Locate();
  EXPECT_EQ(location.origin, TDataOrigin::kInstalled);
  EXPECT_EQ(TempDir::Read(location.articleFile), "installe");
  EXPECT_EQ(DescribeCatalogue(location), Fr("Catalogue du 27/05/2026, installé avec le programme"));
}

TEST_F(CatalogueLocationTest, WorkingInTheInstalledFolderIsUsingTheInstalledData) {
  InstalledData();
  const TCatalogueLocation location = LocateCatalogue(User(), Installed(), Installed() + "/../quillor");
  EXPECT_EQ(location.origin, TDataOrigin::kInstalled);
  EXPECT_EQ(location.articleFile, Installed() + "/Data/BaseDeDonneeArticles.db");
}

TEST_F(CatalogueLocationTest, WithNoneTheWorkingFolderIsWhereItWasMissed) {
  fRoot.Write("travail/Data/BaseDeDonneeArticles.db", "");  // empty: no catalogue
  const TCatalogueLocation location = Locate();
  EXPECT_EQ(location.origin, TDataOrigin::kNone);
  EXPECT_EQ(location.articleFile, Working() + "/Data/BaseDeDonneeArticles.db");
  EXPECT_EQ(DescribeCatalogue(location), Fr("Aucun catalogue"));
  EXPECT_EQ(LocateCatalogue(User(), Working(), "").origin, TDataOrigin::kNone);
}

TEST_F(CatalogueLocationTest, AnUpdatedSetThatIsNoLongerWholeGivesWayToTheOneBefore) {
  WorkingData();
  UpdatedSet();
  const std::string first = Locate().articleFile;
  UpdatedSet();
  const std::string second = Locate().articleFile;
  ASSERT_NE(first, second);
  fs::remove(second);
  EXPECT_EQ(Locate().articleFile, first);
  fs::remove(first);
  EXPECT_EQ(Locate().origin, TDataOrigin::kWorkingFolder);
}

}  // namespace
}  // namespace quillor::update::test
