#include "tests/support/StalledListener.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <stdexcept>
#include <thread>

namespace quillor::test {
namespace {

// A backlog of 0 still queues one connection; a few more make sure the
// queue is full whatever the kernel rounds it to.
constexpr int kFillerConnections = 4;

}  // namespace

StalledListener::StalledListener() {
  listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (listenFd_ < 0 || ::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listenFd_, 0) != 0 ||
      ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    const std::string reason = std::strerror(errno);
    if (listenFd_ >= 0) ::close(listenFd_);
    throw std::runtime_error("listen on 127.0.0.1: " + reason);
  }
  port_ = ntohs(address.sin_port);
  for (int i = 0; i < kFillerConnections; ++i) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) continue;
    ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);  // in progress; never completes
    fillers_.push_back(fd);
  }
  // Let the queued handshakes complete before a test connects.
  std::this_thread::sleep_for(std::chrono::milliseconds{100});
}

StalledListener::~StalledListener() {
  for (int fd : fillers_) ::close(fd);
  ::close(listenFd_);
}

}  // namespace quillor::test
