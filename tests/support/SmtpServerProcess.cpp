#include "tests/support/SmtpServerProcess.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <thread>

#include "tests/support/ServerProcesses.h"

namespace quillor::test {
namespace {

namespace fs = std::filesystem;

// The Python on PATH may lack aiosmtpd; Debian's own has it.
constexpr const char* kPython = "/usr/bin/python3";
constexpr auto kPollSlice = std::chrono::milliseconds{50};

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
  pid_ = SpawnProcess(args, portFile, dir_->Path() / "server.log");
  port_ = WaitForPort(pid_, portFile, dir_->Path() / "server.log", kStartTimeout, "the SMTP test server");
}

SmtpServerProcess::~SmtpServerProcess() {
  Stop();
}

void SmtpServerProcess::Stop() {
  StopProcess(pid_);
}

void SmtpServerProcess::MakeCertificates(const std::string& certificateName) {
  MakeTestCertificates(dir_->Path(), certificateName);
}

std::string SmtpServerProcess::CaFile() const {
  return mode_ == Mode::kStartTls ? (dir_->Path() / "ca.pem").string() : "";
}

std::string SmtpServerProcess::ServerLog() const {
  return ReadIfPresent(dir_->Path() / "server.log");
}

std::vector<std::string> SmtpServerProcess::Events() const {
  return EventLines(dir_->Path() / "events.txt");
}

bool SmtpServerProcess::WaitForEvent(const std::string& event, std::chrono::milliseconds timeout) const {
  return WaitForEventLine(dir_->Path() / "events.txt", event, timeout);
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
