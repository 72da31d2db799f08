// Downloading the public database's files over HTTPS from a real server on
// 127.0.0.1, with every fault a server or a network can give; and from a
// folder.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/HttpsServerProcess.h"
#include "tests/support/StalledListener.h"
#include "tests/support/TempDir.h"
#include "tests/update/UpdateFixtures.h"

namespace quillor::update::test {
namespace {

using quillor::test::HttpsServerProcess;
using quillor::test::TempDir;
using ::testing::HasSubstr;
using ::testing::Not;

constexpr std::chrono::milliseconds kShortWait{400};

TUpdateSettings From(const HttpsServerProcess& server) {
  TUpdateSettings settings;
  settings.source = {TUpdateSource::TKind::kWeb, server.BaseUrl()};
  settings.caCertificateFile = server.CaFile();
  return settings;
}

HttpsServerProcess::Options WithFaults(HttpsServerProcess::Faults faults) {
  HttpsServerProcess::Options options;
  options.faults = std::move(faults);
  return options;
}

// The fetcher fetches any list of names; most tests take the first two.
std::vector<std::string> TwoFiles() {
  return {"CIS_bdpm.txt", "CIS_CIP_bdpm.txt"};
}

void ExpectEveryFileWhole(const TFetchOutcome& outcome, const std::filesystem::path& folder,
                          const std::vector<std::string>& names = TwoFiles()) {
  ASSERT_EQ(outcome.status, TFetchOutcome::TStatus::kDone) << outcome.reason;
  ASSERT_EQ(outcome.files.size(), names.size());
  for (const std::string& name : names) {
    ASSERT_TRUE(outcome.files.count(name)) << name;
    EXPECT_TRUE(outcome.files.at(name) == TempDir::Read(folder / name)) << name << " differs";
  }
}

TEST(FetcherTest, EveryFileArrivesWholeWithItsProgressInBytes) {
  HttpsServerProcess server(SmallExport());
  std::vector<TFileProgress> progress;
  const TFetchOutcome outcome = FetchAll(From(server), TwoFiles(), &progress);
  ExpectEveryFileWhole(outcome, SmallExport());
  // Files one after the other, each from 0 up to its whole size.
  for (size_t index = 0; index < 2; ++index) {
    const std::string name = TwoFiles()[index];
    const auto size = static_cast<int64_t>(std::filesystem::file_size(SmallExport() / name));
    std::vector<TFileProgress> reports;
    for (const TFileProgress& report : progress) {
      if (report.name == name) reports.push_back(report);
    }
    ASSERT_GE(reports.size(), 2u) << name;
    EXPECT_EQ(reports.front().received, 0);
    EXPECT_EQ(reports.back().received, size);
    EXPECT_EQ(reports.back().total, size);
    for (size_t i = 0; i < reports.size(); ++i) {
      EXPECT_EQ(reports[i].index, index);
      EXPECT_EQ(reports[i].count, 2u);
      if (i > 0) {
        EXPECT_GE(reports[i].received, reports[i - 1].received);
      }
    }
  }
  EXPECT_EQ(server.Events(), (std::vector<std::string>{"GET /CIS_bdpm.txt", "GET /CIS_CIP_bdpm.txt"}));
}

TEST(FetcherTest, TheRealExportArrivesByteForByte) {
  const std::filesystem::path real = quillor::test::RawExportDir("2026-05");
  if (real.empty()) GTEST_SKIP() << "../shared/data/bdpm-raw/2026-05 is not beside the project";
  HttpsServerProcess server(real);
  ExpectEveryFileWhole(FetchAll(From(server), CatalogueNames()), real, CatalogueNames());
}

TEST(FetcherTest, AServerErrorNamesTheFileAndTheStatus) {
  for (const int status : {404, 500}) {
    HttpsServerProcess server(SmallExport(), WithFaults({.status = {{"CIS_CIP_bdpm.txt", status}}}));
    const TFetchOutcome outcome = FetchAll(From(server), TwoFiles());
    EXPECT_EQ(outcome.status, TFetchOutcome::TStatus::kFailed);
    EXPECT_THAT(outcome.reason,
                HasSubstr("CIS_CIP_bdpm.txt : " + Fr("le serveur a répondu ") + std::to_string(status)));
    EXPECT_TRUE(outcome.files.empty()) << "no file of a failed fetch is handed on";
  }
}

TEST(FetcherTest, AFileCutShortIsRefused) {
  HttpsServerProcess server(SmallExport(), WithFaults({.cut = {{"CIS_bdpm.txt", 1000}}}));
  const TFetchOutcome outcome = FetchAll(From(server), TwoFiles());
  EXPECT_EQ(outcome.status, TFetchOutcome::TStatus::kFailed);
  const auto size = std::filesystem::file_size(SmallExport() / "CIS_bdpm.txt");
  EXPECT_EQ(outcome.reason, "CIS_bdpm.txt : " + Fr("fichier incomplet : 1000 octets reçus sur ") +
                                std::to_string(size) + Fr(" annoncés"));
}

TEST(FetcherTest, AServerThatFallsSilentHitsTheReadTimeOut) {
  HttpsServerProcess server(SmallExport(), WithFaults({.stall = {{"CIS_CIP_bdpm.txt", 100}}}));
  TUpdateSettings settings = From(server);
  settings.readTimeout = kShortWait;
  const TFetchOutcome outcome = FetchAll(settings, TwoFiles());
  EXPECT_EQ(outcome.status, TFetchOutcome::TStatus::kFailed);
  EXPECT_EQ(outcome.reason,
            "CIS_CIP_bdpm.txt : " + Fr("le serveur n'envoie plus rien depuis 400 ms (100 octets reçus)"));
}

TEST(FetcherTest, AConnectionNeverMadeHitsTheConnectTimeOut) {
  quillor::test::StalledListener listener;
  TUpdateSettings settings;
  settings.source = {TUpdateSource::TKind::kWeb,
                     "https://127.0.0.1:" + std::to_string(listener.Port()) + "/"};
  settings.connectTimeout = kShortWait;
  const TFetchOutcome outcome = FetchAll(settings, TwoFiles());
  EXPECT_EQ(outcome.status, TFetchOutcome::TStatus::kFailed);
  EXPECT_EQ(outcome.reason, "CIS_bdpm.txt : " + Fr("pas de connexion au serveur 127.0.0.1 en 400 ms"));
}

TEST(FetcherTest, ACertificateTheSystemDoesNotTrustIsRefused) {
  HttpsServerProcess server(SmallExport());
  TUpdateSettings settings = From(server);
  settings.caCertificateFile.clear();  // the system's authorities, which never signed the test CA
  const TFetchOutcome outcome = FetchAll(settings, TwoFiles());
  EXPECT_EQ(outcome.status, TFetchOutcome::TStatus::kFailed);
  EXPECT_THAT(outcome.reason,
              HasSubstr("CIS_bdpm.txt : " + Fr("certificat du serveur 127.0.0.1 non reconnu")));
  EXPECT_TRUE(outcome.files.empty());
}

TEST(FetcherTest, ACertificateForAnotherNameIsRefused) {
  HttpsServerProcess::Options options;
  options.certificateName = "autre.quillor.test";
  HttpsServerProcess server(SmallExport(), options);
  const TFetchOutcome outcome = FetchAll(From(server), TwoFiles());
  EXPECT_EQ(outcome.status, TFetchOutcome::TStatus::kFailed);
  EXPECT_THAT(outcome.reason, HasSubstr(Fr("certificat du serveur 127.0.0.1 non reconnu")));
}

TEST(FetcherTest, ARedirectToPlainHttpIsRefusedBeforeAnyRequestGoesThere) {
  HttpsServerProcess::Options plainOptions;
  plainOptions.plain = true;
  HttpsServerProcess plain(SmallExport(), plainOptions);
  const std::string elsewhere = "http://localhost:" + std::to_string(plain.Port()) + "/CIS_bdpm.txt";
  HttpsServerProcess server(SmallExport(), WithFaults({.redirect = {{"CIS_bdpm.txt", elsewhere}}}));
  const TFetchOutcome outcome = FetchAll(From(server), TwoFiles());
  EXPECT_EQ(outcome.status, TFetchOutcome::TStatus::kFailed);
  EXPECT_EQ(outcome.reason, "CIS_bdpm.txt : " + Fr("redirection refusée vers ") + elsewhere +
                                Fr(" (seule une adresse https:// est suivie)"));
  EXPECT_TRUE(plain.Events().empty()) << "the plain server was asked for a file";
}

TEST(FetcherTest, ARedirectToHttpsIsFollowed) {
  TempDir root;
  root.Write("CIS_CIP_bdpm.txt", TempDir::Read(SmallExport() / "CIS_CIP_bdpm.txt"));
  root.Write("ailleurs/CIS_bdpm.txt", "");  // not served: names with '/' are refused
  root.Write("copie.txt", TempDir::Read(SmallExport() / "CIS_bdpm.txt"));
  HttpsServerProcess server(root.Path(), WithFaults({.redirect = {{"CIS_bdpm.txt", "/copie.txt"}}}));
  ExpectEveryFileWhole(FetchAll(From(server), TwoFiles()), SmallExport());
  EXPECT_THAT(server.Events(), ::testing::Contains("GET /copie.txt"));
}

TEST(FetcherTest, ACancelInTheMiddleEndsTheFetchAndHandsOnNothing) {
  HttpsServerProcess server(SmallExport(), WithFaults({.stall = {{"CIS_CIP_bdpm.txt", 500}}}));
  bool cancelled = false;
  const TFetchOutcome outcome =
      FetchAll(From(server), TwoFiles(), nullptr, [&](TFetcher& fetcher, const TFileProgress& report) {
        if (report.name == "CIS_CIP_bdpm.txt" && report.received > 0 && !cancelled) {
          cancelled = true;
          fetcher.Cancel();
        }
      });
  EXPECT_TRUE(cancelled) << "the stalled file never started";
  EXPECT_EQ(outcome.status, TFetchOutcome::TStatus::kCancelled);
  EXPECT_TRUE(outcome.files.empty());
}

TEST(FetcherTest, FilesAlreadyDownloadedAreTakenFromTheirFolder) {
  TUpdateSettings settings;
  settings.source = {TUpdateSource::TKind::kFolder, SmallExport().string()};
  std::vector<TFileProgress> progress;
  ExpectEveryFileWhole(FetchAll(settings, TwoFiles(), &progress), SmallExport());
  ASSERT_FALSE(progress.empty());
  EXPECT_EQ(progress.back().name, "CIS_CIP_bdpm.txt");
  EXPECT_EQ(progress.back().received, progress.back().total);

  TempDir partial;
  partial.Write("CIS_bdpm.txt", TempDir::Read(SmallExport() / "CIS_bdpm.txt"));
  settings.source.location = partial.Path().string();
  const TFetchOutcome outcome = FetchAll(settings, TwoFiles());
  EXPECT_EQ(outcome.status, TFetchOutcome::TStatus::kFailed);
  EXPECT_EQ(outcome.reason, "CIS_CIP_bdpm.txt : " + Fr("absent du dossier ") + partial.Path().string());
}

TEST(FetcherTest, ACaFileWithoutACertificateIsNamed) {
  HttpsServerProcess server(SmallExport());
  TempDir dir;
  TUpdateSettings settings = From(server);
  settings.caCertificateFile = dir.Write("vide.pem", "pas un certificat\n").string();
  const TFetchOutcome outcome = FetchAll(settings, TwoFiles());
  EXPECT_EQ(outcome.status, TFetchOutcome::TStatus::kFailed);
  EXPECT_EQ(outcome.reason, Fr("aucun certificat d'autorité lisible dans ") + settings.caCertificateFile);
  EXPECT_TRUE(server.Events().empty());
}

TEST(FetcherTest, DestroyingAFetcherThatRunsCallsNothingBack) {
  HttpsServerProcess server(SmallExport(), WithFaults({.stall = {{"CIS_bdpm.txt", 10}}}));
  bool called = false;
  {
    TFetcher fetcher;
    fetcher.Start(
        From(server), TwoFiles(), [&](const TFileProgress&) {}, [&](TFetchOutcome) { called = true; });
    ASSERT_TRUE(SpinUntil([&] {
      const std::vector<std::string> events = server.Events();
      return std::find(events.begin(), events.end(), "stalled CIS_bdpm.txt") != events.end();
    }));
  }
  for (int i = 0; i < 10; ++i) QCoreApplication::processEvents();
  EXPECT_FALSE(called);
}

}  // namespace
}  // namespace quillor::update::test
