#include "app/SendingProgress.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/WidgetText.h"

namespace quillor {

TSendingProgress::TSendingProgress(QWidget* owner, std::function<void()> onCancel)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      fOnCancel(std::move(onCancel)) {
  setObjectName(QStringLiteral("SendingProgress"));
  setWindowTitle(QStringLiteral("Envoi de la commande"));
  setWindowModality(Qt::WindowModal);
  fStep = new QLabel(this);
  fStep->setObjectName(QStringLiteral("StepLabel"));
  fStep->setMinimumWidth(260);
  fCancel = new QPushButton(QStringLiteral("Annuler"), this);
  fCancel->setObjectName(QStringLiteral("CancelButton"));
  fCancel->setAutoDefault(false);
  fCancel->setDefault(false);
  fCancel->setFocusPolicy(Qt::NoFocus);
  connect(fCancel, &QPushButton::clicked, this, &TSendingProgress::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(fCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(fStep);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TSendingProgress::SetStep(const std::string& step) {
  fStep->setText(ToQString(step));
  if (!isVisible()) show();
}

void TSendingProgress::keyPressEvent(QKeyEvent* event) {
  // Escape cancels (QDialog turns it into reject); Enter, Space and the
  // rest are swallowed, never handed to a button.
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    QDialog::keyPressEvent(event);
    return;
  }
  event->accept();
}

void TSendingProgress::reject() {
  // Stays up until the sending has ended, which is at once.
  if (!fCancel->isEnabled()) return;
  fCancel->setEnabled(false);
  fStep->setText(ToQString(kCancelling));
  if (fOnCancel) fOnCancel();
}

}  // namespace quillor
