#include "tests/support/ScriptedSmtpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace quillor::test {
namespace {

// Waits are cut into slices so that a destructor's stop request is seen soon.
constexpr int kPollSliceMs = 50;

std::string Base64(const std::string& text) {
  static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string result;
  for (size_t i = 0; i < text.size(); i += 3) {
    unsigned value = static_cast<unsigned char>(text[i]) << 16;
    if (i + 1 < text.size()) value |= static_cast<unsigned char>(text[i + 1]) << 8;
    if (i + 2 < text.size()) value |= static_cast<unsigned char>(text[i + 2]);
    result += kAlphabet[(value >> 18) & 63];
    result += kAlphabet[(value >> 12) & 63];
    result += i + 1 < text.size() ? kAlphabet[(value >> 6) & 63] : '=';
    result += i + 2 < text.size() ? kAlphabet[value & 63] : '=';
  }
  return result;
}

}  // namespace

ScriptedSmtpServer::ScriptedSmtpServer() {
  listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listenFd_ < 0) throw std::runtime_error(std::string("socket: ") + std::strerror(errno));
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof address;
  if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listenFd_, 1) != 0 ||
      ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    const std::string reason = std::strerror(errno);
    ::close(listenFd_);
    throw std::runtime_error("listen on 127.0.0.1: " + reason);
  }
  port_ = ntohs(address.sin_port);
}

ScriptedSmtpServer::~ScriptedSmtpServer() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  if (thread_.joinable()) thread_.join();
  if (listenFd_ >= 0) ::close(listenFd_);
}

ScriptedSmtpServer& ScriptedSmtpServer::Reply(const std::string& line) {
  return SendRaw(line + "\r\n");
}

ScriptedSmtpServer& ScriptedSmtpServer::SendRaw(const std::string& bytes) {
  script_.push_back({Step::kSend, bytes, {}});
  return *this;
}

ScriptedSmtpServer& ScriptedSmtpServer::Expect(const std::string& line) {
  script_.push_back({Step::kExpect, line, {}});
  return *this;
}

ScriptedSmtpServer& ScriptedSmtpServer::ExpectAny() {
  script_.push_back({Step::kExpectAny, "", {}});
  return *this;
}

ScriptedSmtpServer& ScriptedSmtpServer::ReadData() {
  script_.push_back({Step::kReadData, "", {}});
  return *this;
}

ScriptedSmtpServer& ScriptedSmtpServer::Pause(std::chrono::milliseconds pause) {
  script_.push_back({Step::kPause, "", pause});
  return *this;
}

ScriptedSmtpServer& ScriptedSmtpServer::Close() {
  script_.push_back({Step::kClose, "", {}});
  return *this;
}

ScriptedSmtpServer& ScriptedSmtpServer::AcceptOrder(const std::string& localHostName, const std::string& from,
                                                    const std::string& to, const std::string& user,
                                                    const std::string& password) {
  Reply("220 quillor-test ESMTP")
      .Expect("ehlo " + localHostName)
      .Reply("250-quillor-test")
      .Reply("250-SIZE 1000000");
  if (user.empty()) {
    Reply("250 HELP");
  } else {
    Reply("250-AUTH LOGIN PLAIN").Reply("250 HELP");
    Expect("auth LOGIN").Reply("334 VXNlcm5hbWU6").Expect(Base64(user)).Reply("334 UGFzc3dvcmQ6");
    Expect(Base64(password)).Reply("235 2.7.0 Authentication successful");
  }
  Expect("Rset").Reply("250 ok");
  Expect("Mail from:<" + from + ">").Reply("250 ok");
  Expect("RCPT to:<" + to + ">").Reply("250 ok");
  Expect("Data").Reply("354 End data with <CR><LF>.<CR><LF>");
  return ReadData().Reply("250 2.0.0 queued").Expect("Quit");
}

void ScriptedSmtpServer::Start() {
  thread_ = std::thread([this] { Run(); });
}

bool ScriptedSmtpServer::WaitDone(std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(mutex_);
  return doneChanged_.wait_for(lock, timeout, [this] { return done_; });
}

std::vector<std::string> ScriptedSmtpServer::Received() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return lines_;
}

std::string ScriptedSmtpServer::ReceivedBytes() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return bytes_;
}

std::vector<std::string> ScriptedSmtpServer::DataLines() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return dataLines_;
}

std::vector<std::string> ScriptedSmtpServer::Mismatches() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return mismatches_;
}

void ScriptedSmtpServer::Note(const std::string& mismatch) {
  std::lock_guard<std::mutex> lock(mutex_);
  mismatches_.push_back(mismatch);
}

bool ScriptedSmtpServer::ReadLine(int fd, std::string& line) {
  const auto deadline = std::chrono::steady_clock::now() + kStepTimeout;
  for (;;) {
    const size_t lf = pending_.find('\n');
    if (lf != std::string::npos) {
      line = pending_.substr(0, lf);
      pending_.erase(0, lf + 1);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      std::lock_guard<std::mutex> lock(mutex_);
      lines_.push_back(line);
      return true;
    }
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (stop_) return false;
    }
    if (std::chrono::steady_clock::now() > deadline) {
      Note("time-out waiting for a client line");
      return false;
    }
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, kPollSliceMs) <= 0) continue;
    char chunk[4096];
    const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
    if (n <= 0) return false;
    pending_.append(chunk, static_cast<size_t>(n));
    std::lock_guard<std::mutex> lock(mutex_);
    bytes_.append(chunk, static_cast<size_t>(n));
  }
}

void ScriptedSmtpServer::Run() {
  int fd = -1;
  const auto acceptDeadline = std::chrono::steady_clock::now() + kStepTimeout;
  while (fd < 0) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (stop_) break;
    }
    if (std::chrono::steady_clock::now() > acceptDeadline) {
      Note("time-out waiting for the client to connect");
      break;
    }
    pollfd p{listenFd_, POLLIN, 0};
    if (::poll(&p, 1, kPollSliceMs) > 0) fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
  }
  if (fd >= 0) {
    // A client that stops reading must not hold a sending step for ever.
    const timeval sendLimit{static_cast<time_t>(kStepTimeout.count() / 1000), 0};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &sendLimit, sizeof sendLimit);
    bool open = true;
    std::string line;
    for (const Step& step : script_) {
      if (!open) {
        Note("client closed before the script ended");
        break;
      }
      switch (step.kind) {
        case Step::kSend:
          if (::send(fd, step.text.data(), step.text.size(), MSG_NOSIGNAL) < 0) open = false;
          break;
        case Step::kExpect:
          open = ReadLine(fd, line);
          if (!open)
            Note("expected \"" + step.text + "\", got nothing");
          else if (line != step.text)
            Note("expected \"" + step.text + "\", got \"" + line + "\"");
          break;
        case Step::kExpectAny:
          open = ReadLine(fd, line);
          if (!open) Note("expected a line, got nothing");
          break;
        case Step::kReadData:
          while ((open = ReadLine(fd, line)) && line != ".") {
            std::lock_guard<std::mutex> lock(mutex_);
            dataLines_.push_back(line);
          }
          if (!open) Note("the data ended without its \".\" line");
          break;
        case Step::kPause:
          std::this_thread::sleep_for(step.pause);
          break;
        case Step::kClose:
          ::shutdown(fd, SHUT_RDWR);
          ::close(fd);
          fd = -1;
          open = false;
          break;
      }
      if (step.kind == Step::kClose) break;
    }
    // Record what the client still says (its "Quit") until it closes.
    while (fd >= 0 && open && ReadLine(fd, line)) {
    }
    if (fd >= 0) ::close(fd);
  }
  std::lock_guard<std::mutex> lock(mutex_);
  done_ = true;
  doneChanged_.notify_all();
}

}  // namespace quillor::test
