// Acting while the window sends: the click on the send button returns only
// at the outcome, and meanwhile the window's event loop runs the sending's
// waits. A DuringSending polls (from that loop) until `ready` holds, then
// runs `action` once, there, as a user's input would arrive.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "app/Quillor_Unit.h"

namespace quillor::test {

class DuringSending {
 public:
  DuringSending(std::function<bool()> ready, std::function<void()> action)
      : fReady(std::move(ready)), fAction(std::move(action)) {
    QObject::connect(&fTimer, &QTimer::timeout, [this] {
      if (fDone || !fReady()) return;
      fDone = true;
      fTimer.stop();
      fAction();
    });
    fTimer.start(5);
  }
  DuringSending(const DuringSending&) = delete;
  DuringSending& operator=(const DuringSending&) = delete;

  bool Done() const { return fDone; }

 private:
  std::function<bool()> fReady;
  std::function<void()> fAction;
  QTimer fTimer;
  bool fDone = false;
};

// The sending's progress window, when one is on screen.
inline QDialog* VisibleProgress(TQuillor_Form& form) {
  auto* progress = form.findChild<QDialog*>(QStringLiteral("SendingProgress"));
  return progress != nullptr && progress->isVisible() ? progress : nullptr;
}

inline QString ProgressStep(QDialog& progress) {
  return progress.findChild<QLabel*>(QStringLiteral("StepLabel"))->text();
}

inline QPushButton* ProgressCancelButton(QDialog& progress) {
  return progress.findChild<QPushButton*>(QStringLiteral("CancelButton"));
}

}  // namespace quillor::test
