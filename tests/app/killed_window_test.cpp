// The order being composed survives a kill: the window runs as a real
// process (window_process_main.cpp), the order is typed into it, the process
// is killed with SIGKILL, and the next start shows the order. So does an
// order whose sending the kill interrupted, as one that may have arrived.
#include <gmock/gmock.h>
#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "app/OrderDraft.h"
#include "mail/SmtpClient.h"
#include "tests/app/WindowFixture.h"
#include "tests/support/ScriptedSmtpServer.h"
#include "tests/support/ServerProcesses.h"
#include "tests/support/TempDir.h"

namespace quillor::test {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

// Bounds on waits for the child; generous, since they only stop a test that
// went wrong.
constexpr auto kChildTimeout = std::chrono::seconds(60);
constexpr auto kPoll = std::chrono::milliseconds(20);

fs::path ChildProgram() {
  return fs::read_symlink("/proc/self/exe").parent_path() / "quillor_window_process";
}

// The child process, with its output in files; killed if still running at
// the end.
class WindowProcess {
 public:
  WindowProcess(const fs::path& outputDir, const std::vector<std::string>& args)
      : fStdout(outputDir / "stdout.txt"), fStderr(outputDir / "stderr.txt") {
    std::vector<std::string> command{ChildProgram().string()};
    command.insert(command.end(), args.begin(), args.end());
    fPid = SpawnProcess(command, fStdout, fStderr);
  }
  ~WindowProcess() {
    if (fPid <= 0) return;
    ::kill(fPid, SIGKILL);
    ::waitpid(fPid, nullptr, 0);
  }
  WindowProcess(const WindowProcess&) = delete;
  WindowProcess& operator=(const WindowProcess&) = delete;

  std::string Output() const { return ReadIfPresent(fStdout); }
  std::string Errors() const { return ReadIfPresent(fStderr); }

  bool WaitForOutput(const std::string& text) const {
    const auto deadline = std::chrono::steady_clock::now() + kChildTimeout;
    while (Output().find(text) == std::string::npos) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(kPoll);
    }
    return true;
  }
  // Waits for the end; the wait status, or -1 when it did not end in time.
  int WaitForEnd() {
    int status = 0;
    if (!WaitForExit(fPid, kChildTimeout, &status)) return -1;
    fPid = -1;
    return status;
  }
  int Kill() {
    ::kill(fPid, SIGKILL);
    return WaitForEnd();
  }

 private:
  fs::path fStdout;
  fs::path fStderr;
  pid_t fPid = -1;
};

class KilledWindowTest : public WindowTest {
 protected:
  KilledWindowTest() {
    WriteArticles({"CIP;Designation;Prix", "3400001;ASPIRINE UPSA 500 MG;2,18"});
    WriteSettings("1", "2");
    WriteDataFile("AdressePharmacie.txt", "Pharmacie du Port\r\n");
  }
};

TEST_F(KilledWindowTest, AWindowKilledWithSigkillShowsTheTypedOrderAtTheNextStart) {
  fs::create_directories(fDir.Path() / "first");
  fs::create_directories(fDir.Path() / "second");
  const std::string order = "2  3400001  ASPIRINE UPSA 500 MG\nlivrer avant midi";
  {
    WindowProcess first(fDir.Path() / "first", {"type", order, "3 quai Est"});
    ASSERT_TRUE(first.WaitForOutput("typed\n")) << first.Errors();
    // Killed once the order is on disk, which the window does by itself
    // shortly after the typing.
    const fs::path draft = UserDataPath() / "Brouillon.txt";
    bool kept = false;
    for (auto deadline = std::chrono::steady_clock::now() + kChildTimeout;
         !kept && std::chrono::steady_clock::now() < deadline; std::this_thread::sleep_for(kPoll)) {
      std::string ignored;
      const std::optional<TOrderDraft> onDisk = LoadOrderDraft(draft.string(), &ignored);
      kept = onDisk && onDisk->message && onDisk->message->find("midi") != std::string::npos &&
             onDisk->address.find("3 quai Est") != std::string::npos;
    }
    ASSERT_TRUE(kept) << first.Errors();
    const int status = first.Kill();
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGKILL);
    EXPECT_EQ(first.Errors().find("box:"), std::string::npos) << first.Errors();
  }
  WindowProcess second(fDir.Path() / "second", {"show"});
  const int status = second.WaitForEnd();
  ASSERT_TRUE(WIFEXITED(status)) << second.Errors();
  EXPECT_EQ(second.Output(), "Bonjour,\nVeuillez trouver ci-dessous notre commande :\n\n" + order +
                                 "\n--\nPharmacie du Port\n3 quai Est")
      << second.Errors();
  EXPECT_EQ(second.Errors().find("box:"), std::string::npos) << second.Errors();
}

TEST_F(KilledWindowTest, AWindowKilledAfterTheFinalDotShowsItsOrderAsOneToVerify) {
  fs::create_directories(fDir.Path() / "first");
  fs::create_directories(fDir.Path() / "second");
  const std::string order = "4  3400001  ASPIRINE UPSA 500 MG";
  ScriptedSmtpServer server;
  server.Reply("220 quillor-test ESMTP").Expect("ehlo " + TSmtpClient::LocalHostName()).Reply("250 HELP");
  server.Expect("Rset").Reply("250 ok").ExpectAny().Reply("250 ok").ExpectAny().Reply("250 ok");
  // The whole order and its final dot, then silence: a server that stored it
  // and never said so.
  server.Expect("Data").Reply("354 go").ReadData();
  server.Start();
  const fs::path mark = UserDataPath() / "EnvoiEnCours.txt";
  {
    WindowProcess first(fDir.Path() / "first", {"send", std::to_string(server.Port()), order});
    ASSERT_TRUE(first.WaitForOutput("sending\n")) << first.Errors();
    bool dotReceived = false;
    for (auto deadline = std::chrono::steady_clock::now() + kChildTimeout;
         !dotReceived && std::chrono::steady_clock::now() < deadline; std::this_thread::sleep_for(kPoll)) {
      const std::vector<std::string> lines = server.Received();
      dotReceived = std::find(lines.begin(), lines.end(), ".") != lines.end();
    }
    ASSERT_TRUE(dotReceived) << first.Errors();
    EXPECT_TRUE(fs::exists(mark)) << "no mark of the sending under way";
    const int status = first.Kill();
    ASSERT_TRUE(WIFSIGNALED(status));
  }
  EXPECT_TRUE(fs::exists(mark)) << "the kill took the mark with it";
  EXPECT_EQ(server.DataLines().back(), order);

  WindowProcess second(fDir.Path() / "second", {"show"});
  const int status = second.WaitForEnd();
  ASSERT_TRUE(WIFEXITED(status)) << second.Errors();
  EXPECT_EQ(second.Output(), "Bonjour,\nVeuillez trouver ci-dessous notre commande :\n\n" + order +
                                 "\n--\nPharmacie du Port\n")
      << second.Errors();
  EXPECT_THAT(second.Errors(), HasSubstr("box: Quillor s'est arr\xEAt\xE9 pendant l'envoi d'une commande"));
  EXPECT_THAT(second.Errors(), HasSubstr("v\xE9rifiez aupr\xE8s du fournisseur"));
  EXPECT_EQ(second.Output().find("mailto:"), std::string::npos) << "handed over on a guess";
  EXPECT_FALSE(fs::exists(mark));
  std::vector<fs::path> journal;
  for (const auto& entry : fs::directory_iterator(UserDataPath() / "Commandes"))
    journal.push_back(entry.path());
  ASSERT_EQ(journal.size(), 1u);
  EXPECT_THAT(journal[0].filename().string(), ::testing::EndsWith("_a-verifier.eml"));
  const std::string copy = TempDir::Read(journal[0]);
  EXPECT_THAT(copy, ::testing::StartsWith("X-Quillor-Etat: a verifier\r\n"));
  EXPECT_THAT(copy, HasSubstr(order + "\r\n"));
}

}  // namespace
}  // namespace quillor::test
