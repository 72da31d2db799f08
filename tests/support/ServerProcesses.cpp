#include "tests/support/ServerProcesses.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <thread>

#include "tests/support/TempDir.h"

extern char** environ;

namespace quillor::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kOpenSsl = "/usr/bin/openssl";
constexpr auto kPollSlice = std::chrono::milliseconds{50};
constexpr auto kStopTimeout = std::chrono::milliseconds{5000};

void RunOpenSsl(const std::vector<std::string>& args, const fs::path& logDir) {
  std::vector<std::string> command = {kOpenSsl};
  command.insert(command.end(), args.begin(), args.end());
  pid_t pid = SpawnProcess(command, logDir / "openssl.out", logDir / "openssl.err");
  int status = 0;
  if (!WaitForExit(pid, std::chrono::milliseconds{30000}, &status)) {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    throw std::runtime_error("openssl did not finish");
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
    throw std::runtime_error("openssl failed: " + TempDir::Read(logDir / "openssl.err"));
}

void WriteText(const fs::path& file, const std::string& text) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << text;
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

}  // namespace

pid_t SpawnProcess(const std::vector<std::string>& args, const fs::path& stdoutFile,
                   const fs::path& stderrFile) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, stdoutFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, stderrFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  pid_t pid = -1;
  const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) throw std::runtime_error("cannot start " + args[0] + ": " + std::strerror(rc));
  return pid;
}

bool WaitForExit(pid_t pid, std::chrono::milliseconds timeout, int* status) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    const pid_t done = ::waitpid(pid, status, WNOHANG);
    if (done == pid || (done < 0 && errno == ECHILD)) return true;
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(kPollSlice);
  }
}

void StopProcess(pid_t& pid) {
  if (pid <= 0) return;
  int status = 0;
  ::kill(pid, SIGTERM);
  if (!WaitForExit(pid, kStopTimeout, &status)) {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
  }
  pid = -1;
}

int WaitForPort(pid_t& pid, const fs::path& portFile, const fs::path& logFile,
                std::chrono::milliseconds timeout, const std::string& what) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    const std::string text = ReadIfPresent(portFile);
    if (text.find('\n') != std::string::npos) return std::atoi(text.c_str());
    int status = 0;
    if (::waitpid(pid, &status, WNOHANG) == pid) {
      pid = -1;
      throw std::runtime_error(what + " ended at start: " + ReadIfPresent(logFile));
    }
    if (std::chrono::steady_clock::now() > deadline) {
      const std::string log = ReadIfPresent(logFile);
      StopProcess(pid);
      throw std::runtime_error(what + " did not start in time: " + log);
    }
    std::this_thread::sleep_for(kPollSlice);
  }
}

void MakeTestCertificates(const fs::path& d, const std::string& name) {
  const std::string curve = "ec_paramgen_curve:prime256v1";
  RunOpenSsl(
      {"req", "-x509", "-newkey", "ec", "-pkeyopt", curve, "-nodes", "-keyout", (d / "ca.key").string(),
       "-out", (d / "ca.pem").string(), "-days", "2", "-subj", "/CN=Quillor Test CA", "-addext",
       "basicConstraints=critical,CA:TRUE", "-addext", "keyUsage=critical,keyCertSign,cRLSign"},
      d);
  RunOpenSsl({"req", "-new", "-newkey", "ec", "-pkeyopt", curve, "-nodes", "-keyout",
              (d / "server.key").string(), "-out", (d / "server.csr").string(), "-subj", "/CN=" + name},
             d);
  const bool isAddress = name.find_first_not_of("0123456789.") == std::string::npos;
  WriteText(d / "server.ext", "subjectAltName=" + std::string(isAddress ? "IP:" : "DNS:") + name +
                                  "\nbasicConstraints=CA:FALSE\n"
                                  "keyUsage=digitalSignature,keyEncipherment\nextendedKeyUsage=serverAuth\n");
  RunOpenSsl({"x509", "-req", "-in", (d / "server.csr").string(), "-CA", (d / "ca.pem").string(), "-CAkey",
              (d / "ca.key").string(), "-CAcreateserial", "-out", (d / "server.pem").string(), "-days", "2",
              "-extfile", (d / "server.ext").string()},
             d);
}

std::string ReadIfPresent(const fs::path& file) {
  std::error_code ignored;
  return fs::exists(file, ignored) ? TempDir::Read(file) : std::string();
}

std::vector<std::string> EventLines(const fs::path& file) {
  const std::string text = ReadIfPresent(file);
  std::vector<std::string> events;
  size_t start = 0;
  for (size_t lf; (lf = text.find('\n', start)) != std::string::npos; start = lf + 1)
    events.push_back(text.substr(start, lf - start));
  return events;
}

bool WaitForEventLine(const fs::path& file, const std::string& event, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    const std::vector<std::string> events = EventLines(file);
    if (std::find(events.begin(), events.end(), event) != events.end()) return true;
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(kPollSlice);
  }
}

}  // namespace quillor::test
