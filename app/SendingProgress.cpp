#include "SendingProgress.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "WidgetText.h"

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

void TSendingProgress::reject() {
  // Stays up until the sending has ended, which is at once.
  if (!fCancel->isEnabled()) return;
  fCancel->setEnabled(false);
  fStep->setText(ToQString(kCancelling));
  if (fOnCancel) fOnCancel();
}

}  // namespace quillor
