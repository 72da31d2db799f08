#include "tests/support/HttpsServerProcess.h"

#include <unistd.h>

#include "tests/support/ServerProcesses.h"

namespace quillor::test {
namespace {

constexpr const char* kPython = "/usr/bin/python3";
constexpr std::chrono::milliseconds kStartTimeout{15000};

}  // namespace

HttpsServerProcess::HttpsServerProcess(const std::filesystem::path& root)
    : HttpsServerProcess(root, Options()) {}

HttpsServerProcess::HttpsServerProcess(const std::filesystem::path& root, Options options)
    : dir_(std::make_unique<TempDir>()), plain_(options.plain) {
  const std::filesystem::path d = dir_->Path();
  std::vector<std::string> args = {
      kPython,     QUILLOR_HTTPS_SERVER_SCRIPT, "--root",   root.string(),
      "--parent",  std::to_string(::getpid()),  "--events", (d / "events.txt").string(),
      "--release", (d / "release").string()};
  if (plain_) {
    args.push_back("--plain");
  } else {
    MakeTestCertificates(d, options.certificateName);
    args.insert(args.end(), {"--cert", (d / "server.pem").string(), "--key", (d / "server.key").string()});
  }
  for (const auto& [name, code] : options.faults.status)
    args.insert(args.end(), {"--status", name + "=" + std::to_string(code)});
  for (const auto& [name, bytes] : options.faults.cut)
    args.insert(args.end(), {"--cut", name + "=" + std::to_string(bytes)});
  for (const auto& [name, bytes] : options.faults.stall)
    args.insert(args.end(), {"--stall", name + "=" + std::to_string(bytes)});
  for (const auto& [name, url] : options.faults.redirect)
    args.insert(args.end(), {"--redirect", name + "=" + url});
  const std::filesystem::path portFile = d / "port.txt";
  pid_ = SpawnProcess(args, portFile, d / "server.log");
  port_ = WaitForPort(pid_, portFile, d / "server.log", kStartTimeout, "the HTTPS test server");
}

HttpsServerProcess::~HttpsServerProcess() {
  StopProcess(pid_);
}

std::string HttpsServerProcess::BaseUrl() const {
  return std::string(plain_ ? "http" : "https") + "://127.0.0.1:" + std::to_string(port_) + "/";
}

std::string HttpsServerProcess::CaFile() const {
  return plain_ ? std::string() : (dir_->Path() / "ca.pem").string();
}

std::vector<std::string> HttpsServerProcess::Events() const {
  return EventLines(dir_->Path() / "events.txt");
}

bool HttpsServerProcess::WaitForEvent(const std::string& event, std::chrono::milliseconds timeout) const {
  return WaitForEventLine(dir_->Path() / "events.txt", event, timeout);
}

void HttpsServerProcess::Release() const {
  dir_->Write("release", "");
}

std::string HttpsServerProcess::ServerLog() const {
  return ReadIfPresent(dir_->Path() / "server.log");
}

}  // namespace quillor::test
