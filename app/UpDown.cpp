#include "app/UpDown.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <algorithm>
#include <charconv>

#include "app/WidgetText.h"

namespace quillor {

TUpDown::TUpDown(QLineEdit* associate, QWidget* parent)
    : QWidget(parent), fAssociate(associate), fUp(new QToolButton(this)), fDown(new QToolButton(this)) {
  for (QToolButton* button : {fUp, fDown}) {
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoRepeat(true);
  }
  fUp->setArrowType(Qt::UpArrow);
  fDown->setArrowType(Qt::DownArrow);
  fUp->setObjectName(QStringLiteral("UpDown1Up"));
  fDown->setObjectName(QStringLiteral("UpDown1Down"));
  connect(fUp, &QToolButton::clicked, this, [this] { Step(+1); });
  connect(fDown, &QToolButton::clicked, this, [this] { Step(-1); });
  fAssociate->installEventFilter(this);
}

void TUpDown::SetRange(int32_t min, int32_t max) {
  fMin = min;
  fMax = std::max(min, max);
  fPosition = std::clamp(fPosition, fMin, fMax);
}

void TUpDown::SetPosition(int32_t position) {
  fPosition = std::clamp(position, fMin, fMax);
  WritePosition();
}

void TUpDown::Step(int direction) {
  // The box may have been typed into since the last step.
  const std::string text = FromQString(fAssociate->text());
  int32_t typed = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), typed);
  if (ec == std::errc() && end == text.data() + text.size()) fPosition = std::clamp(typed, fMin, fMax);
  const int64_t next = static_cast<int64_t>(fPosition) + static_cast<int64_t>(direction) * fIncrement;
  fPosition = static_cast<int32_t>(std::clamp<int64_t>(next, fMin, fMax));
  WritePosition();
}

void TUpDown::WritePosition() {
  fAssociate->setText(QString::number(fPosition));
}

void TUpDown::resizeEvent(QResizeEvent*) {
  const int half = height() / 2;
  fUp->setGeometry(0, 0, width(), half);
  fDown->setGeometry(0, half, width(), height() - half);
}

bool TUpDown::eventFilter(QObject* watched, QEvent* event) {
  if (watched == fAssociate && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
      Step(key == Qt::Key_Up ? +1 : -1);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace quillor
