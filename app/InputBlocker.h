// While it lives, no input reaches a window or any of its controls: keys,
// clicks, the wheel, shortcuts, drops. They are dropped, not queued, so
// nothing typed or clicked meanwhile acts later. Other windows (a progress
// window, a message box) take input as usual. Installed as an application
// event filter, so it also stops events sent straight to a control.
// GUI thread only.
#pragma once

#include <QObject>

class QWidget;

namespace quillor {

class TInputBlocker : public QObject {
 public:
  explicit TInputBlocker(QWidget& window);
  ~TInputBlocker() override;
  TInputBlocker(const TInputBlocker&) = delete;
  TInputBlocker& operator=(const TInputBlocker&) = delete;

  // How many input events were dropped.
  int DroppedCount() const { return fDropped; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget& fWindow;
  int fDropped = 0;
};

}  // namespace quillor
