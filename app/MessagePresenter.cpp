#include "app/MessagePresenter.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

#include "app/WidgetText.h"

namespace quillor {

namespace {

std::unique_ptr<MessagePresenter>& CurrentPresenter() {
  static std::unique_ptr<MessagePresenter> presenter = std::make_unique<MessageBoxPresenter>();
  return presenter;
}

QMessageBox::Icon IconOf(TMessageKind kind) {
  switch (kind) {
    case TMessageKind::Error:
      return QMessageBox::Critical;
    case TMessageKind::Warning:
      return QMessageBox::Warning;
    case TMessageKind::Information:
      break;
  }
  return QMessageBox::Information;
}

}  // namespace

size_t MessagePresenter::Ask(TMessageKind kind, const std::string& text, const std::vector<std::string>&,
                             size_t escapeChoice) {
  Show(kind, text);
  return escapeChoice;
}

void MessagePresenter::ShowUnicode(TMessageKind kind, const QString& text) {
  Show(kind, FromQString(text));
}

void MessageBoxPresenter::Show(TMessageKind kind, const std::string& text) {
  ShowUnicode(kind, ToQString(text));
}

void MessageBoxPresenter::ShowUnicode(TMessageKind kind, const QString& text) {
  QMessageBox box(IconOf(kind), QCoreApplication::applicationName(), text, QMessageBox::Ok);
  box.exec();
}

size_t MessageBoxPresenter::Ask(TMessageKind kind, const std::string& text,
                                const std::vector<std::string>& choices, size_t escapeChoice) {
  QMessageBox box(IconOf(kind), QCoreApplication::applicationName(), ToQString(text));
  std::vector<QPushButton*> buttons;
  for (const std::string& choice : choices)
    buttons.push_back(box.addButton(ToQString(choice), QMessageBox::ActionRole));
  box.setEscapeButton(buttons.at(escapeChoice));
  box.setDefaultButton(buttons.front());
  box.exec();
  for (size_t i = 0; i < buttons.size(); ++i)
    if (box.clickedButton() == buttons[i]) return i;
  return escapeChoice;
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

void ShowUnicodeErrorMessage(const QString& text) {
  CurrentPresenter()->ShowUnicode(TMessageKind::Error, text);
}

size_t AskErrorChoice(const std::string& text, const std::vector<std::string>& choices, size_t escapeChoice) {
  return CurrentPresenter()->Ask(TMessageKind::Error, text, choices, escapeChoice);
}

size_t AskWarningChoice(const std::string& text, const std::vector<std::string>& choices,
                        size_t escapeChoice) {
  return CurrentPresenter()->Ask(TMessageKind::Warning, text, choices, escapeChoice);
}

size_t AskQuestion(const std::string& text, const std::vector<std::string>& choices, size_t escapeChoice) {
  return CurrentPresenter()->Ask(TMessageKind::Information, text, choices, escapeChoice);
}

void PresenterTraceReporter::ShowError(const std::string& boxText) {
  ShowErrorMessage(boxText);
}

}  // namespace quillor
