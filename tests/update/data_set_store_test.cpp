// The store of updated catalogues: a set written whole before it is made
// current in one step, the one before it kept once for an undo, and every
// failure leaving the current set as it was.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <set>

#include "tests/support/TempDir.h"
#include "tests/update/UpdateFixtures.h"
#include "text/DurableFile.h"
#include "update/DataSetStore.h"

namespace quillor::update::test {
namespace {

namespace fs = std::filesystem;
using quillor::test::TempDir;
using ::testing::HasSubstr;

// 9 December 2026, 16:40:29 local time.
std::time_t Moment(int second = 29, int day = 9) {
  std::tm local{};
  local.tm_year = 2026 - 1900;
  local.tm_mon = 11;
  local.tm_mday = day;
  local.tm_hour = 16;
  local.tm_min = 40;
  local.tm_sec = second;
  local.tm_isdst = -1;
  return std::mktime(&local);
}

std::vector<TSetFile> Files(const std::string& text) {
  return {{"BaseDeDonneeArticles.db", "articles " + text + "\r\n"}};
}

TSetManifest Manifest(size_t articles) {
  return {"https://127.0.0.1:8443/", "09/12/2026 16:40", 20260527, articles};
}

class DataSetStoreTest : public ::testing::Test {
 protected:
  // The store's entries: sets and files, by name.
  std::set<std::string> Entries() const {
    std::set<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(fStore.Folder(), error)) {
      names.insert(entry.path().filename().string());
    }
    return names;
  }
  std::string Pointer() const { return TempDir::Read(fs::path(fStore.Folder()) / "Actuel.txt"); }

  std::optional<TDataSet> Install(const std::string& text, std::time_t now, std::string* error = nullptr) {
    std::string ignored;
    return fStore.Install(Files(text), Manifest(text.size()), now, error != nullptr ? error : &ignored);
  }

  TempDir fData;
  TDataSetStore fStore{fData.Path().string()};
};

TEST_F(DataSetStoreTest, NothingIsThereBeforeTheFirstUpdate) {
  EXPECT_EQ(fStore.Folder(), (fData.Path() / "Catalogue").string());
  EXPECT_FALSE(fStore.Current());
  EXPECT_FALSE(fStore.Previous());
  EXPECT_FALSE(fs::exists(fStore.Folder())) << "looking creates nothing";
}

TEST_F(DataSetStoreTest, AnInstalledSetIsCurrentAndTheOneBeforeItIsKeptOnce) {
  const auto first = Install("A", Moment(1));
  ASSERT_TRUE(first);
  EXPECT_EQ(first->id, "2026-12-09_16-40-01");
  EXPECT_EQ(first->folder, fStore.Folder() + "/2026-12-09_16-40-01");
  EXPECT_EQ(TempDir::Read(fs::path(first->folder) / "BaseDeDonneeArticles.db"), "articles A\r\n");
  EXPECT_EQ(Pointer(), "Actuel=2026-12-09_16-40-01\r\n");
  ASSERT_TRUE(fStore.Current());
  EXPECT_EQ(fStore.Current()->manifest, Manifest(1));
  EXPECT_FALSE(fStore.Previous());

  ASSERT_TRUE(Install("BB", Moment(2)));
  EXPECT_EQ(Pointer(), "Actuel=2026-12-09_16-40-02\r\nPrecedent=2026-12-09_16-40-01\r\n");
  EXPECT_EQ(fStore.Previous()->id, "2026-12-09_16-40-01");

  ASSERT_TRUE(Install("CCC", Moment(3)));
  EXPECT_EQ(fStore.Current()->id, "2026-12-09_16-40-03");
  EXPECT_EQ(fStore.Previous()->id, "2026-12-09_16-40-02");
  EXPECT_EQ(Entries(), (std::set<std::string>{"2026-12-09_16-40-02", "2026-12-09_16-40-03", "Actuel.txt"}))
      << "a set older than the previous one is removed";
}

TEST_F(DataSetStoreTest, TwoUpdatesInOneSecondGetAFolderEach) {
  ASSERT_TRUE(Install("A", Moment()));
  const auto second = Install("B", Moment());
  ASSERT_TRUE(second);
  EXPECT_EQ(second->id, "2026-12-09_16-40-29_2");
  EXPECT_EQ(fStore.Previous()->id, "2026-12-09_16-40-29");
}

TEST_F(DataSetStoreTest, AnUndoGoesBackOnceThenToTheDataBesideTheProgram) {
  ASSERT_TRUE(Install("A", Moment(1)));
  ASSERT_TRUE(Install("B", Moment(2)));
  std::string error;
  ASSERT_TRUE(fStore.Rollback(&error)) << error;
  EXPECT_EQ(fStore.Current()->id, "2026-12-09_16-40-01");
  EXPECT_FALSE(fStore.Previous()) << "the set undone is not offered again";
  EXPECT_EQ(Entries(), (std::set<std::string>{"2026-12-09_16-40-01", "Actuel.txt"}));

  ASSERT_TRUE(fStore.Rollback(&error)) << error;
  EXPECT_FALSE(fStore.Current());
  EXPECT_EQ(Entries(), (std::set<std::string>{"Actuel.txt"}));

  EXPECT_FALSE(fStore.Rollback(&error));
  EXPECT_EQ(error, Fr("aucune mise à jour à annuler"));
}

TEST_F(DataSetStoreTest, AFileThatCannotBeWrittenLeavesTheCurrentSetAndNoTrace) {
  ASSERT_TRUE(Install("A", Moment(1)));
  const std::string pointer = Pointer();
  const std::set<std::string> before = Entries();
  std::vector<TSetFile> files = Files("B");
  files.push_back({"absent/Disponibilite.txt", "x"});  // its folder does not exist
  std::string error;
  EXPECT_FALSE(fStore.Install(files, Manifest(2), Moment(2), &error));
  EXPECT_THAT(error, ::testing::StartsWith(Fr("impossible d'écrire ") + fStore.Folder() +
                                           "/2026-12-09_16-40-02/absent/Disponibilite.txt : "));
  EXPECT_EQ(Pointer(), pointer);
  EXPECT_EQ(Entries(), before);
  EXPECT_EQ(fStore.Current()->id, "2026-12-09_16-40-01");
}

TEST_F(DataSetStoreTest, AFullOrReadOnlyDiskAtAnyStepOfAnyFileLeavesTheCurrentSetAndNoTrace) {
  ASSERT_TRUE(Install("A", Moment(1)));
  const std::string pointer = Pointer();
  const std::set<std::string> before = Entries();
  // The set's two files, then the pointer that would make it current.
  for (int file = 1; file <= 3; ++file) {
    for (const TDurableStep step :
         {TDurableStep::kCreateTemporary, TDurableStep::kWrite, TDurableStep::kSyncFile,
          TDurableStep::kRename, TDurableStep::kSyncFolder}) {
      for (const int number : {ENOSPC, EROFS}) {
        int seen = 0;
        const TDurableFault previous = SetDurableFaultForTesting([&](TDurableStep asked) {
          if (asked == TDurableStep::kCreateTemporary) ++seen;
          return asked == step && seen == file ? number : 0;
        });
        std::string error;
        const bool installed = Install("B", Moment(2), &error).has_value();
        SetDurableFaultForTesting(previous);
        const std::string what =
            "file " + std::to_string(file) + ", step " + std::to_string(static_cast<int>(step));
        EXPECT_FALSE(installed) << what;
        EXPECT_THAT(error, HasSubstr(number == ENOSPC ? Fr("disque plein") : Fr("dossier en lecture seule")))
            << what;
        EXPECT_EQ(Pointer(), pointer) << what;
        EXPECT_EQ(Entries(), before) << what;
        EXPECT_EQ(fStore.Current()->id, "2026-12-09_16-40-01") << what;
      }
    }
  }
}

TEST_F(DataSetStoreTest, ADataFolderThatCannotBeMadeIsNamed) {
  fData.Write("fichier", "pas un dossier");
  TDataSetStore store((fData.Path() / "fichier").string());
  std::string error;
  EXPECT_FALSE(store.Install(Files("A"), Manifest(1), Moment(), &error));
  EXPECT_EQ(error, Fr("impossible de créer le dossier ") + store.Folder() +
                       Fr(" : un fichier porte le nom d'un des dossiers du chemin"));
}

TEST_F(DataSetStoreTest, AReadOnlyStoreIsNamedAndLeftAsItWas) {
  if (::geteuid() == 0)
    GTEST_SKIP() << "root writes into a read-only folder; the tool's test runs this unprivileged";
  ASSERT_TRUE(Install("A", Moment(1)));
  const std::string pointer = Pointer();
  ::chmod(fStore.Folder().c_str(), 0555);
  std::string error;
  EXPECT_FALSE(Install("B", Moment(2), &error));
  ::chmod(fStore.Folder().c_str(), 0755);
  EXPECT_THAT(error, ::testing::HasSubstr(Fr("accès refusé")));
  EXPECT_EQ(Pointer(), pointer);
}

TEST_F(DataSetStoreTest, ACancelBeforeTheSwitchWritesNothingThatStays) {
  ASSERT_TRUE(Install("A", Moment(1)));
  const std::set<std::string> before = Entries();
  bool asked = false;
  bool cancelled = false;
  std::string error;
  EXPECT_FALSE(fStore.Install(
      Files("B"), Manifest(1), Moment(2), &error,
      [&] {
        // Asked once the set is whole, just before it would become current.
        asked = fs::exists(fs::path(fStore.Folder()) / "2026-12-09_16-40-02" / "Origine.txt");
        return true;
      },
      &cancelled));
  EXPECT_TRUE(asked);
  EXPECT_TRUE(cancelled);
  EXPECT_EQ(Entries(), before);
  EXPECT_EQ(fStore.Current()->id, "2026-12-09_16-40-01");
}

TEST_F(DataSetStoreTest, ASetACrashLeftHalfWrittenIsNeverUsedAndIsRemovedByTheNextInstall) {
  ASSERT_TRUE(Install("A", Moment(1)));
  fData.Write("Catalogue/2026-12-09_16-40-05/BaseDeDonneeArticles.db.Xa81Zk", "moit");
  fData.Write("Catalogue/Mes notes/lisez-moi.txt", "le dossier de l'utilisateur");
  EXPECT_EQ(fStore.Current()->id, "2026-12-09_16-40-01");
  ASSERT_TRUE(Install("B", Moment(6)));
  EXPECT_EQ(Entries(),
            (std::set<std::string>{"2026-12-09_16-40-01", "2026-12-09_16-40-06", "Actuel.txt", "Mes notes"}));
}

TEST_F(DataSetStoreTest, APointerToNothingWholeIsIgnored) {
  ASSERT_TRUE(Install("A", Moment(1)));
  ASSERT_TRUE(Install("B", Moment(2)));
  // The current set lost its article file: the one before still serves.
  fs::remove(fs::path(fStore.Folder()) / "2026-12-09_16-40-02" / "BaseDeDonneeArticles.db");
  EXPECT_FALSE(fStore.Current());
  EXPECT_EQ(fStore.Previous()->id, "2026-12-09_16-40-01");
  // A pointer naming something else than a set.
  fData.Write("Catalogue/Actuel.txt", "Actuel=../../..\r\nPrecedent=/etc\r\n");
  EXPECT_FALSE(fStore.Current());
  EXPECT_FALSE(fStore.Previous());
}

TEST(SetManifestTest, AManifestReadsBackAsWritten) {
  const TSetManifest manifest{"https://exemple.fr/", "09/12/2026 16:40", 20260527, 17233};
  EXPECT_EQ(
      ManifestText(manifest),
      "Source=https://exemple.fr/\r\nMisAJourLe=09/12/2026 16:40\r\nBaseDu=27/05/2026\r\nArticles=17233\r\n");
  EXPECT_EQ(ReadManifest(ManifestText(manifest)), manifest);
  EXPECT_EQ(ReadManifest("Source=x\nMisAJourLe=\nBaseDu=\nArticles=0\n"), (TSetManifest{"x", "", 0, 0}));
  EXPECT_FALSE(ReadManifest("Source=x\r\nMisAJourLe=y\r\nBaseDu=\r\n"));
  EXPECT_FALSE(ReadManifest("Source=x\r\nMisAJourLe=y\r\nBaseDu=\r\nArticles=-3\r\n"));
}

}  // namespace
}  // namespace quillor::update::test
