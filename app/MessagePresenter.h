// The one way the order window shows a modal message: error reports of the
// trace facility, exceptions caught by the general error handler, the
// confirmation of a sent order and the question about an order whose fate
// is unknown all go through the current presenter.
//
// The default presenter opens a QMessageBox and returns when it is closed.
// Tests install a recording presenter so that nothing ever waits on a box.
// Texts are Windows-1252 byte strings; the presenter converts them for the
// screen. GUI thread only.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "trace/TraceUnit.h"

class QString;

namespace quillor {

enum class TMessageKind { Information, Warning, Error };

class MessagePresenter {
 public:
  virtual ~MessagePresenter() = default;
  // Shows `text` and returns once the user has seen it.
  virtual void Show(TMessageKind kind, const std::string& text) = 0;
  // Shows `text` with one button per choice and returns the index of the
  // one pressed, or `escapeChoice` when the box is left otherwise. The
  // default shows the text with Show() and answers `escapeChoice`.
  // REQUIRES: escapeChoice < choices.size().
  virtual size_t Ask(TMessageKind kind, const std::string& text, const std::vector<std::string>& choices,
                     size_t escapeChoice);
  // Shows a text that may hold characters Windows-1252 lacks (to name them).
  // The default shows its Windows-1252 form ("?" for those) with Show().
  virtual void ShowUnicode(TMessageKind kind, const QString& text);
};

// A modal QMessageBox with an OK button, titled with the application's name.
class MessageBoxPresenter : public MessagePresenter {
 public:
  void Show(TMessageKind kind, const std::string& text) override;
  size_t Ask(TMessageKind kind, const std::string& text, const std::vector<std::string>& choices,
             size_t escapeChoice) override;
  void ShowUnicode(TMessageKind kind, const QString& text) override;
};

// Installs `presenter` and returns the one it replaces; nullptr restores a
// MessageBoxPresenter.
std::unique_ptr<MessagePresenter> SetMessagePresenter(std::unique_ptr<MessagePresenter> presenter);

// Shows through the current presenter.
void ShowMessage(const std::string& text);
void ShowErrorMessage(const std::string& text);
void ShowUnicodeErrorMessage(const QString& text);
size_t AskErrorChoice(const std::string& text, const std::vector<std::string>& choices, size_t escapeChoice);
size_t AskWarningChoice(const std::string& text, const std::vector<std::string>& choices,
                        size_t escapeChoice);
size_t AskQuestion(const std::string& text, const std::vector<std::string>& choices, size_t escapeChoice);

// Shows the trace facility's error reports through the current presenter.
class PresenterTraceReporter : public TraceReporter {
 public:
  void ShowError(const std::string& boxText) override;
};

}  // namespace quillor
