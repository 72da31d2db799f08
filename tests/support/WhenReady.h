// Acting from inside a wait that keeps the caller's events flowing: a
// session's socket waits, or the window's click on the send button, which
// returns only at the outcome. A WhenReady polls from that loop until `ready`
// holds, then runs `action` once, there, as a user's input would arrive.
// Header-only: the test executables that use it link Qt already.
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
