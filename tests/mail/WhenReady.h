// Acting from inside a session's wait: the socket stream's waits keep the
// caller's events flowing, so a timer can do what a user's click would. A
// WhenReady polls from that loop until `ready` holds, then runs `action`
// once, there.
#pragma once

#include <QTimer>
#include <functional>

namespace quillor::test {

class WhenReady {
 public:
  WhenReady(std::function<bool()> ready, std::function<void()> action)
      : ready_(std::move(ready)), action_(std::move(action)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      if (done_ || !ready_()) return;
      done_ = true;
      timer_.stop();
      action_();
    });
    timer_.start(5);
  }
  WhenReady(const WhenReady&) = delete;
  WhenReady& operator=(const WhenReady&) = delete;

  bool Done() const { return done_; }

 private:
  std::function<bool()> ready_;
  std::function<void()> action_;
  QTimer timer_;
  bool done_ = false;
};

}  // namespace quillor::test
