// The string-grid widget's input translation: Qt's key, mouse, wheel and
// focus events turned into the controller's events (TStringGridEvents), each
// fired before the view acts, and dropped when a handler says so. Keys typed
// into the in-place editor pass through the same handlers first.
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QWheelEvent>

#include "grid/widget/GridText.h"
#include "grid/widget/GridViewParts.h"
#include "grid/widget/StringGridModel.h"
#include "grid/widget/StringGridWidget.h"
#include "grid/widget/VirtualKeys.h"
#include "text/Cp1252.h"

namespace quillor {

namespace {

bool IsRowEndKey(int key) {
  return key == Qt::Key_Home || key == Qt::Key_End;
}

TMouseButton ToMouseButton(Qt::MouseButton button) {
  switch (button) {
    case Qt::RightButton:
      return TMouseButton::mbRight;
    case Qt::MiddleButton:
      return TMouseButton::mbMiddle;
    default:
      return TMouseButton::mbLeft;
  }
}

}  // namespace

// --- keyboard ---------------------------------------------------------------------------------

bool StringGridWidget::FireKeyDown(QKeyEvent* event, QString& replacement) {
  const TShiftState shift = ToShiftState(event->modifiers(), QGuiApplication::mouseButtons());
  if (uint16_t key = ToVirtualKey(*event); key != 0 && events_.OnKeyDown) {
    events_.OnKeyDown(key, shift);
    if (key == 0) return false;
  }
  const QString text = event->text();
  if (text.size() == 1 && events_.OnKeyPress) {
    const int byte = CodePointToCp1252(text.at(0).unicode());
    if (byte >= 0) {
      char typed = static_cast<char>(byte);
      events_.OnKeyPress(typed);
      if (typed == 0) return false;
      if (static_cast<unsigned char>(typed) != byte) replacement = ToQString(std::string(1, typed));
    }
  }
  return true;
}

bool StringGridWidget::event(QEvent* event) {
  // Tab moves the focus before keyPressEvent would see it: the key-down
  // handlers hear of it here first, and may drop it.
  if (event->type() == QEvent::KeyPress && !forwardingKey_) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
      QString replacement;
      if (!FireKeyDown(key, replacement)) {
        event->accept();
        return true;
      }
      forwardingKey_ = true;
      const bool result = QTableView::event(event);
      forwardingKey_ = false;
      return result;
    }
  }
  return QTableView::event(event);
}

void StringGridWidget::keyPressEvent(QKeyEvent* event) {
  if (forwardingKey_) {
    // Back from the editor, which left the key alone: handlers saw it already.
    QTableView::keyPressEvent(event);
    return;
  }
  QString replacement;
  if (!FireKeyDown(event, replacement)) {
    event->accept();
    return;
  }
  QKeyEvent changed(event->type(), event->key(), event->modifiers(), replacement);
  QKeyEvent* use = replacement.isEmpty() ? event : &changed;
  forwardingKey_ = true;
  if (editorOpen()) {
    // A handler opened the editor: the key is typed into it.
    QCoreApplication::sendEvent(editor_, use);
  } else if (IsRowEndKey(use->key()) && (options_ & goRowSelect)) {
    // Whole rows have no column to go to: Home and End pick the first and
    // the last row.
    if (GetRowCount() > model_->FixedRows())
      SetRow(use->key() == Qt::Key_Home ? model_->FixedRows() : GetRowCount() - 1);
    use->accept();
  } else {
    followColumn_ = use->key() == Qt::Key_Left || use->key() == Qt::Key_Right;
    QTableView::keyPressEvent(use);
    followColumn_ = false;
  }
  forwardingKey_ = false;
}

void StringGridWidget::keyReleaseEvent(QKeyEvent* event) {
  if (forwardingKey_) {
    QTableView::keyReleaseEvent(event);
    return;
  }
  uint16_t key = ToVirtualKey(*event);
  if (key != 0 && events_.OnKeyUp) {
    events_.OnKeyUp(key, ToShiftState(event->modifiers(), QGuiApplication::mouseButtons()));
    if (key == 0) {
      event->accept();
      return;
    }
  }
  QTableView::keyReleaseEvent(event);
}

void StringGridWidget::keyboardSearch(const QString&) {
  // Typing never jumps to a matching row: keys edit or do nothing.
}

// --- mouse ------------------------------------------------------------------------------------------

void StringGridWidget::FireMouse(QEvent::Type type, QMouseEvent* event, QPoint widgetPos) {
  lastMouseGlobal_ = event->globalPosition().toPoint();
  hasMousePos_ = true;
  TShiftState shift = ToShiftState(event->modifiers(), event->buttons());
  const TMouseButton button = ToMouseButton(event->button());
  switch (type) {
    case QEvent::MouseButtonPress:
      if (events_.OnMouseDown) events_.OnMouseDown(button, shift, widgetPos.x(), widgetPos.y());
      break;
    case QEvent::MouseButtonDblClick:
      if (events_.OnDblClick) events_.OnDblClick();
      shift |= ssDouble;
      if (events_.OnMouseDown) events_.OnMouseDown(button, shift, widgetPos.x(), widgetPos.y());
      break;
    case QEvent::MouseMove:
      if (events_.OnMouseMove) events_.OnMouseMove(shift, widgetPos.x(), widgetPos.y());
      break;
    case QEvent::MouseButtonRelease:
      if (event->button() == Qt::LeftButton && rect().contains(widgetPos) && events_.OnClick)
        events_.OnClick();
      if (events_.OnMouseUp) events_.OnMouseUp(button, shift, widgetPos.x(), widgetPos.y());
      break;
    default:
      break;
  }
}

void StringGridWidget::mousePressEvent(QMouseEvent* event) {
  FireMouse(QEvent::MouseButtonPress, event, viewport()->mapTo(this, event->position().toPoint()));
  QTableView::mousePressEvent(event);
}

void StringGridWidget::mouseMoveEvent(QMouseEvent* event) {
  FireMouse(QEvent::MouseMove, event, viewport()->mapTo(this, event->position().toPoint()));
  QTableView::mouseMoveEvent(event);
}

void StringGridWidget::mouseReleaseEvent(QMouseEvent* event) {
  FireMouse(QEvent::MouseButtonRelease, event, viewport()->mapTo(this, event->position().toPoint()));
  QTableView::mouseReleaseEvent(event);
}

void StringGridWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  FireMouse(QEvent::MouseButtonDblClick, event, viewport()->mapTo(this, event->position().toPoint()));
  QTableView::mouseDoubleClickEvent(event);
}

void StringGridWidget::wheelEvent(QWheelEvent* event) {
  const int delta = event->angleDelta().y();
  if (delta != 0) {
    lastMouseGlobal_ = event->globalPosition().toPoint();
    hasMousePos_ = true;
    bool handled = false;
    const TShiftState shift = ToShiftState(event->modifiers(), event->buttons());
    const TGridPoint pos{lastMouseGlobal_.x(), lastMouseGlobal_.y()};
    const auto& handler = delta < 0 ? events_.OnMouseWheelDown : events_.OnMouseWheelUp;
    if (handler) handler(shift, pos, handled);
    if (handled) {
      event->accept();
      return;
    }
  }
  QTableView::wheelEvent(event);
}

bool StringGridWidget::eventFilter(QObject* watched, QEvent* event) {
  if (header_ && watched == header_->viewport()) {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        FireMouse(event->type(), mouse, header_->viewport()->mapTo(this, mouse->position().toPoint()));
        break;
      }
      default:
        break;
    }
    return QTableView::eventFilter(watched, event);
  }
  // The event type is tested before editor_ is read: an editor being
  // destroyed still sends events here, and is no longer a QLineEdit then.
  if ((event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) && !forwardingKey_ &&
      editor_ && watched == editor_) {
    // Handlers first; then the editor gets the key (or its replacement) in a
    // nested delivery, so that a key it ignores reaches the view only once.
    auto* key = static_cast<QKeyEvent*>(event);
    QString text = key->text();
    if (event->type() == QEvent::KeyPress) {
      QString replacement;
      if (!FireKeyDown(key, replacement)) return true;
      if (!replacement.isEmpty()) text = replacement;
    } else if (events_.OnKeyUp) {
      uint16_t code = ToVirtualKey(*key);
      if (code != 0) {
        events_.OnKeyUp(code, ToShiftState(key->modifiers(), QGuiApplication::mouseButtons()));
        if (code == 0) return true;
      }
    }
    QKeyEvent delivered(key->type(), key->key(), key->modifiers(), text, key->isAutoRepeat(),
                        static_cast<quint16>(key->count()));
    forwardingKey_ = true;
    QCoreApplication::sendEvent(editor_, &delivered);
    forwardingKey_ = false;
    return true;
  }
  return QTableView::eventFilter(watched, event);
}

// --- focus -----------------------------------------------------------------------------------------

void StringGridWidget::OnFocusChanged(QWidget* old, QWidget* now) {
  auto inside = [this](QWidget* w) { return w && (w == this || isAncestorOf(w)); };
  if (inside(old) && !inside(now) && events_.OnExit) events_.OnExit();
  if (!inside(old) && inside(now) && events_.OnEnter) events_.OnEnter();
}

}  // namespace quillor
