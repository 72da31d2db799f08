#include "MessagePresenter.h"

#include <QCoreApplication>
#include <QMessageBox>

#include "WidgetText.h"

namespace quillor {

namespace {

std::unique_ptr<MessagePresenter>& CurrentPresenter() {
  static std::unique_ptr<MessagePresenter> presenter = std::make_unique<MessageBoxPresenter>();
  return presenter;
}

}  // namespace

void MessageBoxPresenter::Show(TMessageKind kind, const std::string& text) {
  QMessageBox box(kind == TMessageKind::Error ? QMessageBox::Critical : QMessageBox::Information,
                  QCoreApplication::applicationName(), ToQString(text), QMessageBox::Ok);
  box.exec();
}

std::unique_ptr<MessagePresenter> SetMessagePresenter(std::unique_ptr<MessagePresenter> presenter) {
  if (!presenter) presenter = std::make_unique<MessageBoxPresenter>();
  std::swap(presenter, CurrentPresenter());
  return presenter;
}

void ShowMessage(const std::string& text) {
  CurrentPresenter()->Show(TMessageKind::Information, text);
}

void ShowErrorMessage(const std::string& text) {
  CurrentPresenter()->Show(TMessageKind::Error, text);
}

void PresenterTraceReporter::ShowError(const std::string& boxText) {
  ShowErrorMessage(boxText);
}

}  // namespace quillor
