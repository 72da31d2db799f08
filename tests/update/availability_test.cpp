// The availability kept fresh on its own: which file is in use, when it is
// old, the refresh of it alone from a real HTTPS server on 127.0.0.1, and
// the user's choice to turn that off.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/HttpsServerProcess.h"
#include "tests/support/TempDir.h"
#include "tests/update/UpdateFixtures.h"
#include "update/AvailabilityInUse.h"
#include "update/AvailabilityRefresh.h"
#include "update/CatalogueUpdate.h"
#include "update/UpdatePreferences.h"
#include "update/UserFolders.h"

namespace quillor::update::test {
namespace {

namespace fs = std::filesystem;
using quillor::test::HttpsServerProcess;
using quillor::test::TempDir;
using ::testing::HasSubstr;

// The small export's availability is dated by its newest date.
constexpr TDayDate kSmallExportAvailability = 20260512;

std::string AvailabilityText(TDayDate published) {
  TAvailabilityFile file;
  file.published = published;
  file.records = {
      {"60234100", "", TAvailabilityStatus::kShortage, 20260401, published, kNoDate, "https://ansm"}};
  return AvailabilityFileText(file);
}

class AvailabilityTest : public ::testing::Test {
 protected:
  TCatalogueLocation Catalogue(TDayDate published) const {
    fRoot.Write("Data/BaseDeDonneeArticles.db", "x");
    if (published != kNoDate) fRoot.Write("Data/Disponibilites.txt", AvailabilityText(published));
    return {TDataOrigin::kWorkingFolder, (fRoot.Path() / "Data").string(),
            (fRoot.Path() / "Data/BaseDeDonneeArticles.db").string(), std::nullopt};
  }
  std::string User() const { return (fRoot.Path() / "utilisateur").string(); }
  std::string Refreshed() const { return RefreshedAvailabilityFile(User()); }

  TempDir fRoot;
};

TEST_F(AvailabilityTest, TheNewerOfTheCataloguesAndTheRefreshedOneIsInUse) {
  const TCatalogueLocation catalogue = Catalogue(20260519);
  EXPECT_EQ(Refreshed(), User() + "/Catalogue/Disponibilites.txt");
  TAvailabilityInUse inUse = LocateAvailability(catalogue, User());
  EXPECT_EQ(inUse.file, catalogue.folder + "/Disponibilites.txt");
  EXPECT_EQ(inUse.availability.published, 20260519);
  EXPECT_FALSE(inUse.refreshed);

  fRoot.Write("utilisateur/Catalogue/Disponibilites.txt", AvailabilityText(20260601));
  inUse = LocateAvailability(catalogue, User());
  EXPECT_EQ(inUse.file, Refreshed());
  EXPECT_EQ(inUse.availability.published, 20260601);
  EXPECT_TRUE(inUse.refreshed);
  ASSERT_EQ(inUse.availability.records.size(), 1u);

  fRoot.Write("utilisateur/Catalogue/Disponibilites.txt", AvailabilityText(20260501));
  EXPECT_EQ(LocateAvailability(catalogue, User()).file, catalogue.folder + "/Disponibilites.txt");

  // A refreshed file cut short does not count, however new it says it is.
  std::string cut = AvailabilityText(20261201);
  cut.resize(cut.size() - 12);
  fRoot.Write("utilisateur/Catalogue/Disponibilites.txt", cut);
  EXPECT_EQ(LocateAvailability(catalogue, User()).availability.published, 20260519);

  fs::remove(fRoot.Path() / "Data/Disponibilites.txt");
  inUse = LocateAvailability(catalogue, User());
  EXPECT_EQ(inUse.file, "");
  EXPECT_EQ(inUse.availability.published, kNoDate);
  EXPECT_TRUE(inUse.availability.records.empty());
}

TEST(AvailabilityAgeTest, AnAvailabilityOlderThanAWeekOrUndatedIsStale) {
  EXPECT_FALSE(AvailabilityIsStale(20261202, 20261209, 7));
  EXPECT_TRUE(AvailabilityIsStale(20261201, 20261209, 7));
  EXPECT_TRUE(AvailabilityIsStale(kNoDate, 20261209, 7));
  EXPECT_EQ(DaysBetween(20260227, 20260301), 2);
  EXPECT_EQ(DaysBetween(20240228, 20240301), 2);
  EXPECT_EQ(DaysBetween(20241228, 20250104), 7);
  EXPECT_EQ(DaysBetween(20260519, 20261209), 204);
  EXPECT_EQ(DaysBetween(20261209, 20261201), -8);
}

TEST(UpdatePreferencesTest, OnlyAnExplicitNoTurnsTheRefreshOff) {
  EXPECT_TRUE(AutomaticAvailabilityRefresh(""));
  EXPECT_TRUE(AutomaticAvailabilityRefresh("[Disponibilites]\r\nAutomatique=oui\r\n"));
  EXPECT_TRUE(AutomaticAvailabilityRefresh("[Autre]\r\nAutomatique=non\r\n"));
  for (const char* off : {"non", "NON", " non ", "0", "false", "off"}) {
    EXPECT_FALSE(AutomaticAvailabilityRefresh(std::string("[Disponibilites]\nAutomatique=") + off)) << off;
  }
  EXPECT_FALSE(AutomaticAvailabilityRefresh("; choix\r\n[disponibilites]\r\n  automatique = Non\r\n"));
}

TEST(UpdatePreferencesTest, TheUsersFileIsInTheConfigurationFolder) {
  TempDir config;
  const char* previous = std::getenv("XDG_CONFIG_HOME");
  const std::string kept = previous != nullptr ? previous : "";
  setenv("XDG_CONFIG_HOME", config.Path().c_str(), 1);
  SetApplicationIdentity();
  EXPECT_EQ(UpdatePreferencesFile(), (config.Path() / "Quillor" / "Quillor" / "MiseAJour.ini").string());
  EXPECT_TRUE(AutomaticAvailabilityRefreshWanted());
  config.Write("Quillor/Quillor/MiseAJour.ini", "[Disponibilites]\r\nAutomatique=non\r\n");
  EXPECT_FALSE(AutomaticAvailabilityRefreshWanted());
  if (previous != nullptr) {
    setenv("XDG_CONFIG_HOME", kept.c_str(), 1);
  } else {
    unsetenv("XDG_CONFIG_HOME");
  }
}

class AvailabilityRefreshTest : public AvailabilityTest {
 protected:
  TUpdateSettings From(const HttpsServerProcess& server) const {
    TUpdateSettings settings;
    settings.source = {TUpdateSource::TKind::kWeb, server.BaseUrl()};
    settings.caCertificateFile = server.CaFile();
    return settings;
  }
  TAvailabilityRefreshResult Refresh(const TUpdateSettings& settings, TDayDate inUse) {
    TAvailabilityRefresh refresh;
    TAvailabilityRefreshResult result;
    bool done = false;
    std::string whyNot;
    EXPECT_TRUE(refresh.Start(
        settings, User(), inUse,
        [&](TAvailabilityRefreshResult outcome) {
          result = std::move(outcome);
          done = true;
        },
        &whyNot))
        << whyNot;
    EXPECT_TRUE(SpinUntil([&] { return done; }));
    EXPECT_FALSE(refresh.IsRunning());
    return result;
  }
};

TEST_F(AvailabilityRefreshTest, ANewerAvailabilityIsFetchedAloneAndKeptBesideTheSets) {
  HttpsServerProcess server(SmallExport());
  const TCatalogueLocation catalogue = Catalogue(20260319);
  const TAvailabilityRefreshResult result = Refresh(From(server), 20260319);
  EXPECT_EQ(result.status, TAvailabilityRefreshResult::TStatus::kRefreshed) << result.reason;
  EXPECT_EQ(result.published, kSmallExportAvailability);
  EXPECT_EQ(server.Events(), (std::vector<std::string>{"GET /CIS_CIP_Dispo_Spec.txt"}));
  const TAvailabilityInUse inUse = LocateAvailability(catalogue, User());
  EXPECT_TRUE(inUse.refreshed);
  EXPECT_EQ(inUse.availability.published, kSmallExportAvailability);
  EXPECT_EQ(inUse.availability.records.size(), 8u);
  // The catalogue is not touched: no set, nothing made current.
  EXPECT_FALSE(fs::exists(User() + "/Catalogue/Actuel.txt"));
}

TEST_F(AvailabilityRefreshTest, AnAvailabilityNoNewerThanTheOneInUseIsNotKept) {
  HttpsServerProcess server(SmallExport());
  const TAvailabilityRefreshResult result = Refresh(From(server), kSmallExportAvailability);
  EXPECT_EQ(result.status, TAvailabilityRefreshResult::TStatus::kNotNewer);
  EXPECT_FALSE(fs::exists(Refreshed()));
}

TEST_F(AvailabilityRefreshTest, AFailureKeepsNothingAndSaysWhy) {
  fRoot.Write("utilisateur/Catalogue/Disponibilites.txt", AvailabilityText(20260301));
  const std::string before = TempDir::Read(Refreshed());
  {
    HttpsServerProcess::Options options;
    options.faults.status = {{"CIS_CIP_Dispo_Spec.txt", 500}};
    HttpsServerProcess server(SmallExport(), options);
    const TAvailabilityRefreshResult result = Refresh(From(server), 20260301);
    EXPECT_EQ(result.status, TAvailabilityRefreshResult::TStatus::kFailed);
    EXPECT_EQ(
        result.reason,
        Fr("téléchargement de CIS_CIP_Dispo_Spec.txt : le serveur a répondu 500 (Internal Server Error)"));
  }
  TempDir damaged;
  damaged.Write("CIS_CIP_Dispo_Spec.txt", "<html>Maintenance</html>\n");
  HttpsServerProcess server(damaged.Path());
  const TAvailabilityRefreshResult result = Refresh(From(server), 20260301);
  EXPECT_EQ(result.status, TAvailabilityRefreshResult::TStatus::kFailed);
  EXPECT_EQ(result.reason, "CIS_CIP_Dispo_Spec.txt : " + Fr("ligne 1 : 1 champs au lieu de 8"));
  EXPECT_EQ(TempDir::Read(Refreshed()), before);
}

TEST_F(AvailabilityRefreshTest, ItGivesWayToAnUpdateAndLetsTheStoreGoWhenCancelled) {
  HttpsServerProcess::Options options;
  options.faults.stall = {{"CIS_CIP_Dispo_Spec.txt", 10}, {"CIS_bdpm.txt", 10}};
  HttpsServerProcess server(SmallExport(), options);
  TAvailabilityRefresh refresh;
  bool called = false;
  std::string whyNot;
  ASSERT_TRUE(refresh.Start(
      From(server), User(), kNoDate, [&](TAvailabilityRefreshResult) { called = true; }, &whyNot));
  TUpdateRequest request;
  request.settings = From(server);
  request.dataFolder = User();
  TCatalogueUpdate update;
  EXPECT_FALSE(update.Start(request, {}, {}, {}, &whyNot)) << "an update while the store is held";
  refresh.Cancel();
  EXPECT_FALSE(refresh.IsRunning());
  bool updateDone = false;
  EXPECT_TRUE(update.Start(
      request, {}, {}, [&](TUpdateResult) { updateDone = true; }, &whyNot))
      << whyNot;
  update.Cancel();
  EXPECT_TRUE(SpinUntil([&] { return updateDone; }));
  EXPECT_FALSE(called) << "a cancelled refresh calls nothing back";
  // Nor does a refresh start while an update holds the store.
  TCatalogueUpdate running;
  ASSERT_TRUE(running.Start(
      request, {}, {}, [&](TUpdateResult) { updateDone = true; }, &whyNot));
  EXPECT_FALSE(refresh.Start(From(server), User(), kNoDate, {}, &whyNot));
  EXPECT_THAT(whyNot, HasSubstr(Fr("une mise à jour du catalogue est déjà en cours")));
  updateDone = false;
  running.Cancel();
  EXPECT_TRUE(SpinUntil([&] { return updateDone; }));
}

}  // namespace
}  // namespace quillor::update::test
