// A port on 127.0.0.1 where every connection attempt is refused at once: a
// socket bound to it that never listens. Unlike a port that was free a moment
// ago, nothing else can take it while this object lives. Closes at
// destruction.
#pragma once

namespace quillor::test {

class RefusingPort {
 public:
  RefusingPort();  // throws std::runtime_error
  ~RefusingPort();
  RefusingPort(const RefusingPort&) = delete;
  RefusingPort& operator=(const RefusingPort&) = delete;

  int Port() const { return port_; }

 private:
  int fd_ = -1;
  int port_ = 0;
};

}  // namespace quillor::test
