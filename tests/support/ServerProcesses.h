// What the loopback test servers share: starting a server script as a child
// process and reading the port it prints, stopping it, and a test
// certificate authority with a server certificate made by the openssl
// command. Used by SmtpServerProcess and HttpsServerProcess.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace quillor::test {

// Starts `args` (args[0] a full path) with standard input from /dev/null and
// the outputs into the two files. Throws std::runtime_error when it cannot.
pid_t SpawnProcess(const std::vector<std::string>& args, const std::filesystem::path& stdoutFile,
                   const std::filesystem::path& stderrFile);

// Waits for `pid` to end within `timeout`; true when it did.
bool WaitForExit(pid_t pid, std::chrono::milliseconds timeout, int* status);

// Ends `pid` (SIGTERM, then SIGKILL after a few seconds) and reaps it; sets
// it to -1. Does nothing for -1.
void StopProcess(pid_t& pid);

// Waits until the started server wrote its port as the first line of
// `portFile`. Throws std::runtime_error, naming `what` and holding the
// server's log, when it ends or `timeout` passes first (it is then stopped).
int WaitForPort(pid_t& pid, const std::filesystem::path& portFile, const std::filesystem::path& logFile,
                std::chrono::milliseconds timeout, const std::string& what);

// Makes, in `dir`, ca.pem (a test CA), server.pem and server.key (a server
// certificate signed by it, for the one name `name`: an IP address or a DNS
// name). Throws std::runtime_error when openssl fails.
void MakeTestCertificates(const std::filesystem::path& dir, const std::string& name);

// The whole file, or "" when it does not exist.
std::string ReadIfPresent(const std::filesystem::path& file);

// The complete lines of a server's events file, in order.
std::vector<std::string> EventLines(const std::filesystem::path& file);
// Whether `event` is among them once it is, or `timeout` passed.
bool WaitForEventLine(const std::filesystem::path& file, const std::string& event,
                      std::chrono::milliseconds timeout);

}  // namespace quillor::test
