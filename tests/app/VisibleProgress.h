// The sending's progress window as a test finds it while the window sends
// (see WhenReady for acting at that moment).
#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include "app/Quillor_Unit.h"

namespace quillor::test {

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
