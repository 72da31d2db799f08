// A port on 127.0.0.1 where a connection attempt is never completed: a
// listening socket that never accepts, with its accept queue filled by
// connections of its own, so the kernel drops further handshakes and the
// connecting side waits until its own time-out. For testing connect
// time-outs without leaving the machine. Closes everything at destruction.
#pragma once

#include <vector>

namespace quillor::test {

class StalledListener {
 public:
  StalledListener();  // throws std::runtime_error
  ~StalledListener();
  StalledListener(const StalledListener&) = delete;
  StalledListener& operator=(const StalledListener&) = delete;

  int Port() const { return port_; }

 private:
  int listenFd_ = -1;
  int port_ = 0;
  std::vector<int> fillers_;
};

}  // namespace quillor::test
