#include "app/InputBlocker.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace quillor {

namespace {

bool IsInput(QEvent::Type type) {
  switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::InputMethod:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TabletMove:
    case QEvent::NativeGesture:
    case QEvent::Gesture:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
      return true;
    default:
      return false;
  }
}

}  // namespace

TInputBlocker::TInputBlocker(QWidget& window) : fWindow(window) {
  QCoreApplication::instance()->installEventFilter(this);
}

TInputBlocker::~TInputBlocker() {
  QCoreApplication::instance()->removeEventFilter(this);
}

bool TInputBlocker::eventFilter(QObject* watched, QEvent* event) {
  if (!IsInput(event->type())) return false;
  bool blocked = false;
  if (auto* widget = qobject_cast<QWidget*>(watched)) {
    // isAncestorOf stops at window boundaries: dialogs owned by the window
    // are windows of their own and stay usable.
    blocked = widget == &fWindow || fWindow.isAncestorOf(widget);
  } else if (auto* window = qobject_cast<QWindow*>(watched)) {
    blocked = window == fWindow.windowHandle();
  }
  if (blocked) ++fDropped;
  return blocked;
}

}  // namespace quillor
