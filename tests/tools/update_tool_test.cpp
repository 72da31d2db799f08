// quillor-catalogue update, run as a separate process exactly as a user runs
// it, against a real HTTPS server on 127.0.0.1 or a folder; and the one rule
// for where the catalogue in use is, which the tool's search follows.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <map>

#include "tests/support/HttpsServerProcess.h"
#include "tests/support/ServerProcesses.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestPaths.h"
#include "tests/tools/ToolRun.h"
#include "text/TextLines.h"
#include "update/ArticleRows.h"

namespace quillor {
namespace {

namespace fs = std::filesystem;
using test::HttpsServerProcess;
using test::Quoted;
using test::Snapshot;
using test::TempDir;
using ::testing::HasSubstr;
using ::testing::Not;

struct ToolResult {
  int status = -1;
  std::string out;
  std::string err;
};

std::string ToolCommand(const std::vector<std::string>& args) {
  std::string command = Quoted(QUILLOR_CATALOGUE_TOOL);
  for (const std::string& arg : args) command += " " + Quoted(arg);
  return command;
}

// The small export cut from the public database: 22 articles to order.
fs::path SmallExport() {
  return test::SourceDir() / "tests" / "catalogue" / "exports" / "2026-05";
}

std::vector<update::TArticleRow> BundledArticles() {
  return update::ReadArticleFile((test::DataDir() / "BaseDeDonneeArticles.db").string()).value();
}

std::string ArticleFile(const std::vector<update::TArticleRow>& rows) {
  std::string plain = "CIP;Designation;Prix\r\n";
  for (const update::TArticleRow& row : rows)
    plain += row.cip + ";" + row.designation + ";" + row.price + "\r\n";
  return update::ScrambledArticleFile(plain);
}

// A user's world: a working folder, the user's data folder, and the tool run
// from the working folder with the user's folders there, in the UTF-8 locale.
class UpdateToolTest : public ::testing::Test {
 protected:
  UpdateToolTest() {
    fs::create_directories(Working());
    fs::create_directories(fRoot.Path() / "home");
  }

  fs::path Working() const { return fRoot.Path() / "travail"; }
  fs::path Data() const { return fRoot.Path() / "donnees"; }

  std::string Environment() const {
    return "LC_ALL=C.UTF-8 HOME=" + Quoted((fRoot.Path() / "home").string()) +
           " XDG_DATA_HOME=" + Quoted((fRoot.Path() / "home" / "share").string());
  }

  // Runs the tool; `wrapper` goes before it (a command that runs another).
  ToolResult Tool(const std::vector<std::string>& args, const std::string& wrapper = "") const {
    const fs::path out = fRoot.Path() / "out";
    const fs::path err = fRoot.Path() / "err";
    const std::string command = "cd " + Quoted(Working().string()) + " && env " + Environment() + " " +
                                wrapper + " " + ToolCommand(args) + " >" + Quoted(out.string()) + " 2>" +
                                Quoted(err.string());
    ToolResult run;
    const int raw = std::system(command.c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = TempDir::Read(out);
    run.err = TempDir::Read(err);
    return run;
  }

  // The designations the tool's search finds for `words`.
  std::vector<std::string> Found(const std::vector<std::string>& searchArgs) const {
    std::vector<std::string> args = {"search"};
    args.insert(args.end(), searchArgs.begin(), searchArgs.end());
    const ToolResult run = Tool(args);
    EXPECT_EQ(run.status, 0) << run.err;
    std::vector<std::string> found;
    for (const std::string& line : SplitLines(run.out)) found.push_back(line.substr(0, line.find(';')));
    return found;
  }

  void WorkingCatalogue(const std::vector<update::TArticleRow>& rows) const {
    fRoot.Write("travail/Data/BaseDeDonneeArticles.db", ArticleFile(rows));
  }

  TempDir fRoot;
};

// Today's catalogue, as the user has it before the update: the bundled one
// from which 10 articles are missing, 5 priced otherwise, with 3 of its own.
struct Yesterday {
  std::vector<update::TArticleRow> rows;
  std::vector<std::string> missingCips;
};

Yesterday YesterdaysCatalogue() {
  Yesterday yesterday;
  yesterday.rows = BundledArticles();
  for (size_t i = 0; i < 10; ++i) yesterday.missingCips.push_back(yesterday.rows[100 + i].cip);
  yesterday.rows.erase(yesterday.rows.begin() + 100, yesterday.rows.begin() + 110);
  for (size_t i = 200; i < 205; ++i)
    yesterday.rows[i].price = yesterday.rows[i].price == "1234,56" ? "1" : "1234,56";
  for (const char* cip : {"9000001", "9000002", "9000003"}) {
    yesterday.rows.push_back({cip, std::string("ARTICLE FICTIF ") + cip, "1,00"});
  }
  return yesterday;
}

TEST_F(UpdateToolTest, AnUpdateFromTheServerReplacesTheDataAndPrintsWhatChanged) {
  const fs::path real = test::RawExportDir("2026-05");
  if (real.empty()) GTEST_SKIP() << "../shared/data/bdpm-raw/2026-05 is not beside the project";
  const Yesterday yesterday = YesterdaysCatalogue();
  WorkingCatalogue(yesterday.rows);
  // Yesterday's availability is the export's own.
  fRoot.Write("travail/Data/Disponibilites.txt", TempDir::Read(test::DataDir() / "Disponibilites.txt"));
  const auto working = Snapshot(Working());
  HttpsServerProcess server(real);

  const ToolResult run =
      Tool({"update", "--from", server.BaseUrl(), "--ca-file", server.CaFile(), "--data", Data().string()});
  ASSERT_EQ(run.status, 0) << run.out << run.err;
  // Yesterday had 10 articles fewer and 3 that are gone today.
  const size_t today = test::BundledArticleCount();
  EXPECT_EQ(run.out, "Catalogue mis à jour : " + std::to_string(today) +
                         " articles (base publique du 27/05/2026)\n"
                         "Articles : " +
                         std::to_string(today - 7) + " avant, " + std::to_string(today) +
                         " maintenant\n"
                         "Articles ajoutés : 10\n"
                         "Articles retirés : 3\n"
                         "Prix modifiés : 5\n"
                         "Ruptures commencées : 0\n"
                         "Ruptures terminées : 0\n");
  // Not a terminal: a line per file, no bar.
  EXPECT_THAT(run.err, HasSubstr("Mise à jour depuis " + server.BaseUrl() + "\n"));
  EXPECT_THAT(run.err, HasSubstr("Téléchargement de CIS_bdpm.txt…\nCIS_bdpm.txt : 3164943 octets reçus\n"));
  EXPECT_THAT(run.err, HasSubstr("CIS_CIP_bdpm.txt : 4150457 octets reçus\n"));
  EXPECT_THAT(run.err, Not(HasSubstr("\r")));
  EXPECT_EQ(Snapshot(Working()), working) << "the data beside the program is never written";

  // The tool now searches the updated catalogue, which is the public database's.
  EXPECT_EQ(Found({"--data", Data().string(), yesterday.missingCips[0]}),
            (std::vector<std::string>{yesterday.missingCips[0]}));
  EXPECT_TRUE(Found({"--data", Data().string(), "FICTIF"}).empty());

  // Undone, the catalogue of yesterday is the one in use again.
  const ToolResult undo = Tool({"update", "--rollback", "--data", Data().string()});
  EXPECT_EQ(undo.status, 0) << undo.err;
  EXPECT_EQ(undo.out, "Catalogue précédent rétabli : Catalogue du dossier Data\n");
  EXPECT_TRUE(Found({"--data", Data().string(), yesterday.missingCips[0]}).empty());
  EXPECT_EQ(Found({"--data", Data().string(), "FICTIF"}).size(), 3u);
  const ToolResult again = Tool({"update", "--rollback", "--data", Data().string()});
  EXPECT_EQ(again.status, 1);
  EXPECT_EQ(again.err, "quillor-catalogue: annulation impossible : aucune mise à jour à annuler\n");
}

TEST_F(UpdateToolTest, FilesAlreadyDownloadedServeAndAMuchSmallerCatalogueNeedsForce) {
  WorkingCatalogue(BundledArticles());
  const ToolResult refused = Tool({"update", "--from", SmallExport().string(), "--data", Data().string()});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.out, "");
  EXPECT_THAT(refused.err,
              HasSubstr("Mise à jour impossible : le nouveau catalogue n'a que 22 articles, 0 % des " +
                        std::to_string(test::BundledArticleCount()) +
                        " d'aujourd'hui\nLe catalogue reste celui d'avant.\n"
                        "(relancez avec --force pour l'installer quand même)\n"));
  EXPECT_FALSE(fs::exists(Data() / "Catalogue" / "Actuel.txt"));

  const ToolResult forced =
      Tool({"update", "--from", SmallExport().string(), "--data", Data().string(), "--force"});
  EXPECT_EQ(forced.status, 0) << forced.err;
  EXPECT_THAT(forced.out,
              HasSubstr("Articles retirés : " + std::to_string(test::BundledArticleCount() - 22) + "\n"));
  EXPECT_EQ(Found({"--data", Data().string(), "--approx", "x"}).size(), 22u);
}

TEST_F(UpdateToolTest, EveryFaultLeavesTheDataInUseAndSaysWhy) {
  WorkingCatalogue(BundledArticles());
  ASSERT_EQ(Tool({"update", "--from", SmallExport().string(), "--data", Data().string(), "--force"}).status,
            0);
  const auto before = Snapshot(Data());

  HttpsServerProcess::Options options;
  options.faults.status = {{"CIS_CIP_bdpm.txt", 500}};
  HttpsServerProcess failing(SmallExport(), options);
  const ToolResult error = Tool({"update", "--from", failing.BaseUrl(), "--ca-file", failing.CaFile(),
                                 "--data", Data().string(), "--force"});
  EXPECT_EQ(error.status, 1);
  EXPECT_THAT(error.err,
              HasSubstr("Mise à jour impossible : téléchargement de CIS_CIP_bdpm.txt : le serveur a "
                        "répondu 500 (Internal Server Error)\nLe catalogue reste celui d'avant.\n"));

  HttpsServerProcess trusted(SmallExport());
  const ToolResult untrusted =
      Tool({"update", "--from", trusted.BaseUrl(), "--data", Data().string(), "--force"});  // no --ca-file
  EXPECT_EQ(untrusted.status, 1);
  EXPECT_THAT(untrusted.err, HasSubstr("certificat du serveur 127.0.0.1 non reconnu"));

  const ToolResult plain = Tool({"update", "--from", "http://127.0.0.1:9/", "--data", Data().string()});
  EXPECT_EQ(plain.status, 2);
  EXPECT_THAT(plain.err, HasSubstr("seules les adresses https:// sont acceptées"));

  // A full disk: no file the tool writes may grow past 700 bytes (the
  // article file has 1033); its messages go through a pipe, which may.
  const fs::path status = fRoot.Path() / "status";
  const std::string command =
      "cd " + Quoted(Working().string()) + " && { env " + Environment() +
      " sh -c 'trap \"\" XFSZ; exec prlimit --fsize=700 -- \"$0\" \"$@\"' " +
      ToolCommand({"update", "--from", SmallExport().string(), "--data", Data().string(), "--force"}) +
      "; echo $? >" + Quoted(status.string()) + "; } 2>&1 | cat >" + Quoted((fRoot.Path() / "full").string());
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(TempDir::Read(status), "1\n");
  EXPECT_THAT(TempDir::Read(fRoot.Path() / "full"),
              HasSubstr("BaseDeDonneeArticles.db : disque plein\nLe catalogue reste celui d'avant.\n"));
  EXPECT_EQ(Snapshot(Data()), before);
}

TEST_F(UpdateToolTest, AReadOnlyDataFolderLeavesTheDataInUseAndSaysWhy) {
  WorkingCatalogue(BundledArticles());
  ASSERT_EQ(Tool({"update", "--from", SmallExport().string(), "--data", Data().string(), "--force"}).status,
            0);
  const auto before = Snapshot(Data());
  // Everyone may read and go through the folders; no one but root may write.
  for (const auto& entry : fs::recursive_directory_iterator(fRoot.Path())) {
    ::chmod(entry.path().c_str(), entry.is_directory() ? 0755 : 0644);
  }
  ::chmod(fRoot.Path().c_str(), 0755);
  for (const fs::path& folder : {Data(), Data() / "Catalogue"}) ::chmod(folder.c_str(), 0555);
  // Root writes anyway: the tool then runs as nobody.
  const std::string unprivileged =
      ::geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups --" : "";
  const ToolResult run =
      Tool({"update", "--from", SmallExport().string(), "--data", Data().string(), "--force"}, unprivileged);
  const ToolResult undo = Tool({"update", "--rollback", "--data", Data().string()}, unprivileged);
  for (const fs::path& folder : {Data(), Data() / "Catalogue"}) ::chmod(folder.c_str(), 0755);
  EXPECT_EQ(run.status, 1);
  EXPECT_THAT(run.err, HasSubstr("mise à jour impossible : impossible d'écrire dans le dossier " +
                                 (Data() / "Catalogue").string() + " : accès refusé"));
  EXPECT_EQ(undo.status, 1);
  EXPECT_THAT(undo.err, HasSubstr("annulation impossible : impossible d'écrire dans le dossier"));
  EXPECT_EQ(Snapshot(Data()), before);
}

TEST_F(UpdateToolTest, ASecondUpdateIsRefusedWhileOneRunsWhichCtrlCCancels) {
  HttpsServerProcess::Options options;
  options.faults.stall = {{"CIS_CIP_bdpm.txt", 200}};
  HttpsServerProcess server(SmallExport(), options);
  const std::vector<std::string> args = {"update",        "--from", server.BaseUrl(), "--ca-file",
                                         server.CaFile(), "--data", Data().string()};
  std::vector<std::string> command = {"/usr/bin/env", "LC_ALL=C.UTF-8", QUILLOR_CATALOGUE_TOOL};
  command.insert(command.end(), args.begin(), args.end());
  pid_t first = test::SpawnProcess(command, fRoot.Path() / "first.out", fRoot.Path() / "first.err");
  ASSERT_TRUE(server.WaitForEvent("stalled CIS_CIP_bdpm.txt"))
      << test::ReadIfPresent(fRoot.Path() / "first.err");

  const ToolResult second = Tool(args);
  EXPECT_EQ(second.status, 1);
  EXPECT_THAT(second.err, HasSubstr("mise à jour impossible : une mise à jour du catalogue est déjà en cours "
                                    "(programme n° " +
                                    std::to_string(first) + ")"));

  ::kill(first, SIGINT);
  int status = 0;
  const bool ended = test::WaitForExit(first, std::chrono::seconds(60), &status);
  if (!ended) test::StopProcess(first);
  ASSERT_TRUE(ended) << "Ctrl+C did not end the update";
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
  EXPECT_THAT(test::ReadIfPresent(fRoot.Path() / "first.err"),
              HasSubstr("Mise à jour annulée : le catalogue reste celui d'avant.\n"));
  EXPECT_FALSE(fs::exists(Data() / "Catalogue" / "Actuel.txt"));
}

TEST_F(UpdateToolTest, SearchUsesTheUpdatedDataElseTheWorkingFoldersAndSaysWhenThereIsNone) {
  // Nothing anywhere: the place looked in is named.
  const ToolResult none = Tool({"search", "--data", Data().string(), "doliprane"});
  EXPECT_EQ(none.status, 1);
  EXPECT_EQ(none.err, "quillor-catalogue: " + (Working() / "Data" / "BaseDeDonneeArticles.db").string() +
                          ": no such file\n");
  // ./Data in the working folder.
  std::vector<update::TArticleRow> rows = {{"9000001", "ARTICLE FICTIF", "1,00"}};
  WorkingCatalogue(rows);
  EXPECT_EQ(Found({"--data", Data().string(), "fictif"}), (std::vector<std::string>{"9000001"}));
  // The user's updated data before it, and by default in the user's own folder.
  const std::string userData = (fRoot.Path() / "home" / "share" / "Quillor" / "Quillor").string();
  ASSERT_EQ(Tool({"update", "--from", SmallExport().string()}).status, 0);
  EXPECT_TRUE(fs::exists(userData + "/Catalogue/Actuel.txt"));
  EXPECT_TRUE(Found({"fictif"}).empty());
  EXPECT_EQ(Found({"--approx", "x"}).size(), 22u);
  // --db names a file and overrides the rule.
  EXPECT_EQ(Found({"--db", (Working() / "Data" / "BaseDeDonneeArticles.db").string(), "fictif"}).size(), 1u);
}

TEST_F(UpdateToolTest, OnATerminalTheProgressIsABarRedrawnInPlace) {
  int terminal = -1;
  const std::string data = Data().string();
  const std::string from = SmallExport().string();
  const pid_t pid = forkpty(&terminal, nullptr, nullptr, nullptr);
  if (pid == 0) {
    setenv("LC_ALL", "C.UTF-8", 1);
    execl(QUILLOR_CATALOGUE_TOOL, QUILLOR_CATALOGUE_TOOL, "update", "--force", "--from", from.c_str(),
          "--data", data.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  ASSERT_GT(pid, 0);
  std::string shown;
  char buffer[4096];
  for (ssize_t n; (n = read(terminal, buffer, sizeof buffer)) > 0;)
    shown.append(buffer, static_cast<size_t>(n));
  int status = 0;
  waitpid(pid, &status, 0);
  close(terminal);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << shown;
  const std::string whole = "[" + std::string(30, '#') + "]";
  EXPECT_THAT(shown, HasSubstr("\rTéléchargement (1/6) CIS_bdpm.txt " + whole + " 5 Ko / 5 Ko"));
  EXPECT_THAT(shown, HasSubstr("\rTéléchargement (2/6) CIS_CIP_bdpm.txt " + whole));
  EXPECT_THAT(shown, HasSubstr("Catalogue mis à jour : 22 articles"));
}

TEST(UpdateToolUsage, BadUpdateOptionsExitWithTwo) {
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"update", "--from"},
                                             {"update", "--data"},
                                             {"update", "--ca-file"},
                                             {"update", "--frobnicate"},
                                             {"update", "--rollback", "--force"},
                                             {"update", "--rollback", "--from", "https://exemple.fr/"},
                                             {"search", "--db", "a.db", "--data", "b", "x"}}) {
    const std::string command = ToolCommand(args) + " >/dev/null 2>&1";
    const int raw = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 2) << ::testing::PrintToString(args);
  }
}

}  // namespace
}  // namespace quillor
