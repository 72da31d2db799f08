#include "SmtpServerProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace quillor::test {
namespace {

namespace fs = std::filesystem;

// The Python on PATH may lack aiosmtpd; Debian's own has it.
constexpr const char* kPython = "/usr/bin/python3";
constexpr const char* kOpenSsl = "/usr/bin/openssl";
constexpr auto kPollSlice = std::chrono::milliseconds{50};
constexpr auto kStopTimeout = std::chrono::milliseconds{5000};

pid_t Spawn(const std::vector<std::string>& args, const fs::path& stdoutFile, const fs::path& stderrFile) {
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

// Waits for `pid` to end within `timeout`; true when it did.
bool WaitForExit(pid_t pid, std::chrono::milliseconds timeout, int* status) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    const pid_t done = ::waitpid(pid, status, WNOHANG);
    if (done == pid || (done < 0 && errno == ECHILD)) return true;
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(kPollSlice);
  }
}

std::string ReadIfPresent(const fs::path& file) {
  std::error_code ignored;
  return fs::exists(file, ignored) ? TempDir::Read(file) : std::string();
}

void Run(const std::vector<std::string>& args, const fs::path& logDir) {
  const pid_t pid = Spawn(args, logDir / "openssl.out", logDir / "openssl.err");
  int status = 0;
  if (!WaitForExit(pid, std::chrono::milliseconds{30000}, &status)) {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    throw std::runtime_error("openssl did not finish");
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
    throw std::runtime_error("openssl failed: " + TempDir::Read(logDir / "openssl.err"));
}

}  // namespace

SmtpServerProcess::SmtpServerProcess(Mode mode, const std::string& certificateName)
    : dir_(std::make_unique<TempDir>()), mode_(mode) {
  Start(certificateName, Behaviour{});
}

SmtpServerProcess::SmtpServerProcess(Mode mode, Behaviour behaviour)
    : dir_(std::make_unique<TempDir>()), mode_(mode) {
  Start("127.0.0.1", behaviour);
}

void SmtpServerProcess::Start(const std::string& certificateName, Behaviour behaviour) {
  const fs::path spool = dir_->Path() / "spool";
  fs::create_directories(spool);
  std::vector<std::string> args = {kPython,      QUILLOR_SMTP_SERVER_SCRIPT,
                                   "--spool",    spool.string(),
                                   "--user",     kUser,
                                   "--password", kPassword,
                                   "--parent",   std::to_string(::getpid()),
                                   "--events",   (dir_->Path() / "events.txt").string()};
  if (behaviour.holdMail) args.insert(args.end(), {"--hold-mail", (dir_->Path() / "release").string()});
  if (behaviour.refuseData) args.push_back("--refuse-data");
  switch (mode_) {
    case Mode::kPlain:
      args.insert(args.end(), {"--mode", "plain"});
      break;
    case Mode::kLogin:
      args.insert(args.end(), {"--mode", "login"});
      break;
    case Mode::kStartTls:
      MakeCertificates(certificateName);
      args.insert(args.end(), {"--mode", "starttls", "--cert", (dir_->Path() / "server.pem").string(),
                               "--key", (dir_->Path() / "server.key").string()});
      break;
  }
  const fs::path portFile = dir_->Path() / "port.txt";
  pid_ = Spawn(args, portFile, dir_->Path() / "server.log");
  const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
  while (port_ == 0) {
    const std::string text = ReadIfPresent(portFile);
    if (text.find('\n') != std::string::npos) {
      port_ = std::atoi(text.c_str());
      break;
    }
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      throw std::runtime_error("the SMTP test server ended at start: " + ServerLog());
    }
    if (std::chrono::steady_clock::now() > deadline) {
      const std::string log = ServerLog();
      Stop();
      throw std::runtime_error("the SMTP test server did not start in time: " + log);
    }
    std::this_thread::sleep_for(kPollSlice);
  }
}

SmtpServerProcess::~SmtpServerProcess() {
  Stop();
}

void SmtpServerProcess::Stop() {
  if (pid_ <= 0) return;
  int status = 0;
  ::kill(pid_, SIGTERM);
  if (!WaitForExit(pid_, kStopTimeout, &status)) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, &status, 0);
  }
  pid_ = -1;
}

void SmtpServerProcess::MakeCertificates(const std::string& certificateName) {
  const fs::path d = dir_->Path();
  const std::string curve = "ec_paramgen_curve:prime256v1";
  Run({kOpenSsl,  "req",
       "-x509",   "-newkey",
       "ec",      "-pkeyopt",
       curve,     "-nodes",
       "-keyout", (d / "ca.key").string(),
       "-out",    (d / "ca.pem").string(),
       "-days",   "2",
       "-subj",   "/CN=Quillor Test CA",
       "-addext", "basicConstraints=critical,CA:TRUE",
       "-addext", "keyUsage=critical,keyCertSign,cRLSign"},
      d);
  Run({kOpenSsl, "req", "-new", "-newkey", "ec", "-pkeyopt", curve, "-nodes", "-keyout",
       (d / "server.key").string(), "-out", (d / "server.csr").string(), "-subj", "/CN=" + certificateName},
      d);
  const bool isAddress = certificateName.find_first_not_of("0123456789.") == std::string::npos;
  dir_->Write("server.ext", "subjectAltName=" + std::string(isAddress ? "IP:" : "DNS:") + certificateName +
                                "\nbasicConstraints=CA:FALSE\n"
                                "keyUsage=digitalSignature,keyEncipherment\nextendedKeyUsage=serverAuth\n");
  Run({kOpenSsl, "x509", "-req", "-in", (d / "server.csr").string(), "-CA", (d / "ca.pem").string(), "-CAkey",
       (d / "ca.key").string(), "-CAcreateserial", "-out", (d / "server.pem").string(), "-days", "2",
       "-extfile", (d / "server.ext").string()},
      d);
}

std::string SmtpServerProcess::CaFile() const {
  return mode_ == Mode::kStartTls ? (dir_->Path() / "ca.pem").string() : "";
}

std::string SmtpServerProcess::ServerLog() const {
  return ReadIfPresent(dir_->Path() / "server.log");
}

std::vector<std::string> SmtpServerProcess::Events() const {
  const std::string text = ReadIfPresent(dir_->Path() / "events.txt");
  std::vector<std::string> events;
  size_t start = 0;
  for (size_t lf; (lf = text.find('\n', start)) != std::string::npos; start = lf + 1)
    events.push_back(text.substr(start, lf - start));
  return events;
}

bool SmtpServerProcess::WaitForEvent(const std::string& event, std::chrono::milliseconds timeout) const {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    const std::vector<std::string> events = Events();
    if (std::find(events.begin(), events.end(), event) != events.end()) return true;
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(kPollSlice);
  }
}

bool SmtpServerProcess::IsHolding() const {
  const std::vector<std::string> events = Events();
  return std::find(events.begin(), events.end(), "held") != events.end() &&
         !fs::exists(dir_->Path() / "release");
}

void SmtpServerProcess::Release() const {
  dir_->Write("release", "");
}

std::vector<SmtpServerProcess::StoredMessage> SmtpServerProcess::StoredMessages() const {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(dir_->Path() / "spool"))
    if (entry.path().extension() == ".eml") files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  std::vector<StoredMessage> messages;
  for (const fs::path& file : files) {
    StoredMessage message;
    message.data = TempDir::Read(file);
    fs::path env = file;
    env.replace_extension(".env");
    const std::string envelope = ReadIfPresent(env);
    size_t start = 0;
    for (size_t lf; (lf = envelope.find('\n', start)) != std::string::npos; start = lf + 1) {
      const std::string line = envelope.substr(start, lf - start);
      if (start == 0)
        message.mailFrom = line;
      else
        message.rcptTos.push_back(line);
    }
    messages.push_back(std::move(message));
  }
  return messages;
}

std::vector<SmtpServerProcess::StoredMessage> SmtpServerProcess::WaitForMessages(
    size_t count, std::chrono::milliseconds timeout) const {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    std::vector<StoredMessage> messages = StoredMessages();
    if (messages.size() >= count || std::chrono::steady_clock::now() > deadline) return messages;
    std::this_thread::sleep_for(kPollSlice);
  }
}

}  // namespace quillor::test
