// Whole updates against a real HTTPS server on 127.0.0.1: a new catalogue
// made current with what changed told, and every fault ending with the data
// in use untouched and a reason.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

#include "tests/support/HttpsServerProcess.h"
#include "tests/support/TempDir.h"
#include "tests/update/UpdateFixtures.h"
#include "update/CatalogueLocation.h"
#include "update/CatalogueUpdate.h"

namespace quillor::update::test {
namespace {

namespace fs = std::filesystem;
using quillor::test::HttpsServerProcess;
using quillor::test::Snapshot;
using quillor::test::TempDir;
using ::testing::HasSubstr;

void CopySmallExport(const TempDir& into) {
  for (const std::string& name : CatalogueNames()) into.Write(name, TempDir::Read(SmallExport() / name));
}

class CatalogueUpdateTest : public ::testing::Test {
 protected:
  CatalogueUpdateTest() {
    // The catalogue in use: three articles of the small export, one of them
    // at another price, and one the export no longer has.
    std::string plain = "CIP;Designation;Prix\r\n";
    const std::vector<TArticleRow> rows = SmallArticles();
    for (size_t i = 0; i < 3; ++i) {
      plain += rows[i].cip + ";" + rows[i].designation + ";" + (i == 0 ? "99,99" : rows[i].price) + "\r\n";
    }
    plain += "9999999;ARTICLE RETIRE;1,00\r\n";
    fCurrent = fRoot.Write("travail/Data/BaseDeDonneeArticles.db", ScrambledArticleFile(plain)).string();
  }

  static std::vector<TArticleRow> SmallArticles() {
    std::map<std::string, std::string> files;
    for (const std::string& name : CatalogueNames()) files[name] = TempDir::Read(SmallExport() / name);
    return ImportPublicFiles(files, 20261209).catalogue.articles;
  }

  TUpdateRequest Request(const HttpsServerProcess& server) const {
    TUpdateRequest request;
    request.settings.source = {TUpdateSource::TKind::kWeb, server.BaseUrl()};
    request.settings.caCertificateFile = server.CaFile();
    request.dataFolder = Data();
    request.currentArticleFile = fCurrent;
    return request;
  }

  // Runs an update to its end; `answer` answers a question (none: no one to ask).
  TUpdateResult Run(TUpdateRequest request, std::optional<bool> answer = std::nullopt,
                    std::function<void(TCatalogueUpdate&, const TUpdateProgress&)> onProgress = {}) {
    TCatalogueUpdate update;
    TUpdateResult result;
    bool done = false;
    std::string whyNot;
    TCatalogueUpdate::TConfirmCallback confirm;
    if (answer) {
      confirm = [&](const std::string& question) {
        fQuestions.push_back(question);
        update.Confirm(*answer);
      };
    }
    const bool started = update.Start(
        std::move(request),
        [&](const TUpdateProgress& progress) {
          fSteps.push_back(progress.step);
          if (onProgress) onProgress(update, progress);
        },
        confirm,
        [&](TUpdateResult outcome) {
          result = std::move(outcome);
          done = true;
        },
        &whyNot);
    EXPECT_TRUE(started) << whyNot;
    if (!started) return result;
    EXPECT_TRUE(SpinUntil([&] { return done; })) << "the update never ended";
    EXPECT_FALSE(update.IsRunning());
    return result;
  }

  std::string Data() const { return (fRoot.Path() / "utilisateur").string(); }
  TCatalogueLocation InUse() const {
    return LocateCatalogue(Data(), (fRoot.Path() / "travail").string(), "");
  }

  TempDir fRoot;
  std::string fCurrent;
  std::vector<std::string> fQuestions;
  std::vector<TUpdateStep> fSteps;
};

TEST_F(CatalogueUpdateTest, AnUpdateMakesTheNewCatalogueCurrentAndTellsWhatChanged) {
  HttpsServerProcess server(SmallExport());
  const TUpdateResult result = Run(Request(server));
  ASSERT_EQ(result.status, TUpdateResult::TStatus::kUpdated) << result.reason;
  const TCatalogueLocation location = InUse();
  EXPECT_EQ(location.origin, TDataOrigin::kUpdated);
  EXPECT_EQ(location.folder, result.set.folder);
  EXPECT_EQ(ReadArticleFile(location.articleFile)->size(), 22u);
  EXPECT_EQ(result.set.manifest.source, server.BaseUrl());
  EXPECT_EQ(result.set.manifest.databaseDay, 20260515);
  EXPECT_EQ(result.set.manifest.articles, 22u);
  EXPECT_EQ(result.changes.added, 19u);
  EXPECT_EQ(result.changes.withdrawn, 1u);
  EXPECT_EQ(result.changes.pricesChanged, 1u);
  EXPECT_EQ(result.Lines(),
            (std::vector<std::string>{Fr("Catalogue mis à jour : 22 articles (base publique du 15/05/2026)"),
                                      Fr("Articles : 4 avant, 22 maintenant"), Fr("Articles ajoutés : 19"),
                                      Fr("Articles retirés : 1"), Fr("Prix modifiés : 1"),
                                      Fr("Ruptures en cours : 0")}));
  EXPECT_EQ(fSteps.front(), TUpdateStep::kDownloading);
  EXPECT_EQ(
      std::set<TUpdateStep>(fSteps.begin(), fSteps.end()),
      (std::set<TUpdateStep>{TUpdateStep::kDownloading, TUpdateStep::kImporting, TUpdateStep::kInstalling}));
  // The data beside the program is never written.
  EXPECT_EQ(Snapshot(fRoot.Path() / "travail").size(), 2u);
}

TEST_F(CatalogueUpdateTest, ShortagesThatStartedAndEndedAreTold) {
  // Before: BETADINE (speciality 68964585, two articles of the export) in
  // shortage, DOLIPRANE not.
  TAvailabilityFile before;
  before.published = 20260501;
  before.records = {
      {"68964585", "", TAvailabilityStatus::kShortage, 20260410, 20260430, kNoDate, "https://ansm"}};
  const std::string beforeFile =
      fRoot.Write("travail/Data/Disponibilites.txt", AvailabilityFileText(before)).string();
  // After: DOLIPRANE (60234100, two articles of the export) in shortage.
  TempDir served;
  CopySmallExport(served);
  served.Write(
      "CIS_CIP_Dispo_Spec.txt",
      TempDir::Read(SmallExport() / "CIS_CIP_Dispo_Spec.txt") +
          "60234100\t\t1\tRupture de stock\t10/05/2026\t20/05/2026\t\thttps://ansm.sante.fr/doliprane\r\n");
  HttpsServerProcess server(served.Path());
  TUpdateRequest request = Request(server);
  request.currentAvailabilityFile = beforeFile;
  const TUpdateResult result = Run(request);
  ASSERT_EQ(result.status, TUpdateResult::TStatus::kUpdated) << result.reason;
  EXPECT_TRUE(result.changes.shortagesCompared);
  EXPECT_EQ(result.changes.shortagesNow, 2u);
  EXPECT_EQ(result.changes.shortagesStarted, 2u);
  EXPECT_EQ(result.changes.shortagesEnded, 2u);
  const std::vector<std::string> lines = result.Lines();
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[5], Fr("Ruptures commencées : 2"));
  EXPECT_EQ(lines[6], Fr("Ruptures terminées : 2"));
  // The new set holds the knowledge files beside its article file.
  for (const char* name : {"Medicaments.txt", "Compositions.txt", "Disponibilites.txt", "Origine.txt"}) {
    EXPECT_TRUE(fs::is_regular_file(fs::path(result.set.folder) / name)) << name;
  }
  TAvailabilityFile installed;
  EXPECT_TRUE(ReadAvailabilityFile(result.set.folder + "/Disponibilites.txt", installed).Usable());
  EXPECT_EQ(installed.published, 20260520);
}

TEST_F(CatalogueUpdateTest, EveryFaultLeavesTheDataInUseAndSaysWhy) {
  // A first update, so that a set is current and another kept.
  {
    HttpsServerProcess server(SmallExport());
    ASSERT_EQ(Run(Request(server)).status, TUpdateResult::TStatus::kUpdated);
  }
  const auto before = Snapshot(Data());
  const std::string inUse = InUse().articleFile;

  TempDir rejected;
  CopySmallExport(rejected);
  rejected.Write("CIS_CIP_bdpm.txt", TempDir::Read(SmallExport() / "CIS_CIP_bdpm.txt") + "6000\tcoupee\n");
  TempDir utf16;
  CopySmallExport(utf16);
  utf16.Write("CIS_bdpm.txt", std::string("\xFF\xFE"
                                          "6\0"
                                          "0\0",
                                          6));

  struct Fault {
    const char* what;
    fs::path root;
    HttpsServerProcess::Faults faults;
    std::string reason;
  };
  const std::vector<Fault> faults = {
      {"404",
       SmallExport(),
       {.status = {{"CIS_bdpm.txt", 404}}},
       Fr("téléchargement de CIS_bdpm.txt : le serveur a répondu 404 (Not Found)")},
      {"500",
       SmallExport(),
       {.status = {{"CIS_CIP_bdpm.txt", 500}}},
       Fr("téléchargement de CIS_CIP_bdpm.txt : le serveur a répondu 500 (Internal Server Error)")},
      {"cut",
       SmallExport(),
       {.cut = {{"CIS_CIP_bdpm.txt", 2000}}},
       Fr("téléchargement de CIS_CIP_bdpm.txt : fichier incomplet : 2000 octets reçus sur ") +
           std::to_string(fs::file_size(SmallExport() / "CIS_CIP_bdpm.txt")) + Fr(" annoncés")},
      {"rejected line", rejected.Path(), {}, Fr("CIS_CIP_bdpm.txt : ligne 28 : 2 champs au lieu de 13")},
      {"encoding",
       utf16.Path(),
       {},
       Fr("CIS_bdpm.txt : fichier en UTF-16 : encodage inattendu (UTF-8 ou Windows-1252 attendu)")},
  };
  for (const Fault& fault : faults) {
    HttpsServerProcess::Options options;
    options.faults = fault.faults;
    HttpsServerProcess server(fault.root, options);
    const TUpdateResult result = Run(Request(server));
    EXPECT_EQ(result.status, TUpdateResult::TStatus::kFailed) << fault.what;
    EXPECT_EQ(result.reason, fault.reason) << fault.what;
    EXPECT_EQ(result.Lines(), (std::vector<std::string>{Fr("Mise à jour impossible : ") + fault.reason,
                                                        Fr("Le catalogue reste celui d'avant.")}));
    EXPECT_EQ(Snapshot(Data()), before) << fault.what;
    EXPECT_EQ(InUse().articleFile, inUse) << fault.what;
  }
  // An untrusted certificate.
  HttpsServerProcess server(SmallExport());
  TUpdateRequest request = Request(server);
  request.settings.caCertificateFile.clear();
  const TUpdateResult untrusted = Run(request);
  EXPECT_EQ(untrusted.status, TUpdateResult::TStatus::kFailed);
  EXPECT_THAT(untrusted.reason, HasSubstr(Fr("certificat du serveur 127.0.0.1 non reconnu")));
  EXPECT_EQ(Snapshot(Data()), before);
}

TEST_F(CatalogueUpdateTest, ACatalogueMuchSmallerThanTodaysIsTakenOnlyWhenConfirmed) {
  // Today's catalogue: the bundled one.
  fCurrent = (quillor::test::DataDir() / "BaseDeDonneeArticles.db").string();
  HttpsServerProcess server(SmallExport());

  const TUpdateResult unasked = Run(Request(server));
  EXPECT_EQ(unasked.status, TUpdateResult::TStatus::kFailed);
  EXPECT_TRUE(unasked.tooSmall);
  EXPECT_EQ(unasked.reason, Fr("le nouveau catalogue n'a que 22 articles, 0 % des ") +
                                std::to_string(quillor::test::BundledArticleCount()) + " d'aujourd'hui");
  EXPECT_FALSE(TDataSetStore(Data()).Current());

  const TUpdateResult declined = Run(Request(server), false);
  EXPECT_EQ(fQuestions,
            (std::vector<std::string>{Fr("Attention : le nouveau catalogue n'a que 22 articles, 0 % des ") +
                                      std::to_string(quillor::test::BundledArticleCount()) +
                                      Fr(" d'aujourd'hui. L'installer quand même ?")}));
  EXPECT_EQ(declined.status, TUpdateResult::TStatus::kCancelled);
  EXPECT_FALSE(TDataSetStore(Data()).Current());

  const TUpdateResult confirmed = Run(Request(server), true);
  EXPECT_EQ(confirmed.status, TUpdateResult::TStatus::kUpdated) << confirmed.reason;
  EXPECT_EQ(confirmed.changes.withdrawn, quillor::test::BundledArticleCount() - 22u);

  fQuestions.clear();
  fCurrent = InUse().articleFile;
  TUpdateRequest forced = Request(server);
  forced.currentArticleFile = (quillor::test::DataDir() / "BaseDeDonneeArticles.db").string();
  forced.force = true;
  EXPECT_EQ(Run(forced, false).status, TUpdateResult::TStatus::kUpdated);
  EXPECT_TRUE(fQuestions.empty()) << "a forced update asks nothing";
}

TEST_F(CatalogueUpdateTest, ACancelWhileDownloadingLeavesTheDataInUse) {
  HttpsServerProcess::Options options;
  options.faults.stall = {{"CIS_CIP_bdpm.txt", 500}};
  HttpsServerProcess server(SmallExport(), options);
  const TUpdateResult result =
      Run(Request(server), std::nullopt, [](TCatalogueUpdate& update, const TUpdateProgress& progress) {
        if (progress.file.name == "CIS_CIP_bdpm.txt" && progress.file.received > 0) update.Cancel();
      });
  EXPECT_EQ(result.status, TUpdateResult::TStatus::kCancelled);
  EXPECT_EQ(result.Lines(),
            (std::vector<std::string>{Fr("Mise à jour annulée : le catalogue reste celui d'avant.")}));
  EXPECT_FALSE(fs::exists(Data() + "/Catalogue/Actuel.txt"));
  EXPECT_EQ(InUse().articleFile, fCurrent);
}

TEST_F(CatalogueUpdateTest, ACancelWhileImportingOrAskingLeavesTheDataInUse) {
  fCurrent = (quillor::test::DataDir() / "BaseDeDonneeArticles.db").string();
  HttpsServerProcess server(SmallExport());
  for (const TUpdateStep at : {TUpdateStep::kImporting, TUpdateStep::kConfirming}) {
    TCatalogueUpdate update;
    bool done = false;
    TUpdateResult result;
    std::string whyNot;
    ASSERT_TRUE(update.Start(
        Request(server),
        [&](const TUpdateProgress& progress) {
          if (progress.step == at) update.Cancel();
        },
        [](const std::string&) {}, [&](TUpdateResult outcome) { result = outcome, done = true; }, &whyNot));
    ASSERT_TRUE(SpinUntil([&] { return done; }));
    EXPECT_EQ(result.status, TUpdateResult::TStatus::kCancelled);
    EXPECT_FALSE(TDataSetStore(Data()).Current());
  }
}

TEST_F(CatalogueUpdateTest, ASecondUpdateIsRefusedWhileOneRuns) {
  HttpsServerProcess::Options options;
  options.faults.stall = {{"CIS_bdpm.txt", 10}};
  HttpsServerProcess server(SmallExport(), options);
  TCatalogueUpdate first;
  bool done = false;
  std::string whyNot;
  ASSERT_TRUE(first.Start(
      Request(server), {}, {}, [&](TUpdateResult) { done = true; }, &whyNot));
  EXPECT_TRUE(first.IsRunning());
  EXPECT_FALSE(first.Start(Request(server), {}, {}, {}, &whyNot));
  EXPECT_EQ(whyNot, Fr("une mise à jour du catalogue est déjà en cours"));
  // Another one on the same data, as the tool would be beside the window.
  TCatalogueUpdate second;
  EXPECT_FALSE(second.Start(Request(server), {}, {}, {}, &whyNot));
  EXPECT_THAT(whyNot,
              ::testing::StartsWith(Fr("une mise à jour du catalogue est déjà en cours (programme n° ")));
  first.Cancel();
  ASSERT_TRUE(SpinUntil([&] { return done; }));
  // Once it ended, the next one may start.
  server.Release();
  EXPECT_EQ(Run(Request(server)).status, TUpdateResult::TStatus::kUpdated);
}

TEST_F(CatalogueUpdateTest, ADataFolderThatCannotBeWrittenIsRefusedBeforeAnyDownload) {
  HttpsServerProcess server(SmallExport());
  fRoot.Write("fichier", "");
  TUpdateRequest request = Request(server);
  request.dataFolder = (fRoot.Path() / "fichier").string();
  TCatalogueUpdate update;
  std::string whyNot;
  EXPECT_FALSE(update.Start(request, {}, {}, {}, &whyNot));
  EXPECT_EQ(whyNot, Fr("impossible de créer le dossier ") + request.dataFolder +
                        Fr("/Catalogue : un fichier porte le nom d'un des dossiers du chemin"));
  EXPECT_TRUE(server.Events().empty());
}

TEST_F(CatalogueUpdateTest, AnUpdateDestroyedWhileItRunsChangesNothing) {
  HttpsServerProcess server(SmallExport());
  bool called = false;
  {
    TCatalogueUpdate update;
    std::string whyNot;
    bool importing = false;
    ASSERT_TRUE(update.Start(
        Request(server),
        [&](const TUpdateProgress& p) { importing = importing || p.step == TUpdateStep::kImporting; }, {},
        [&](TUpdateResult) { called = true; }, &whyNot));
    ASSERT_TRUE(SpinUntil([&] { return importing; }));
  }
  for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();
  EXPECT_FALSE(called);
  EXPECT_FALSE(TDataSetStore(Data()).Current());
}

}  // namespace
}  // namespace quillor::update::test
