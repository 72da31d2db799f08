// The one way the order window shows a modal message: error reports of the
// trace facility, exceptions caught by the general error handler, and the
// confirmation of a sent order all go through the current presenter.
//
// The default presenter opens a QMessageBox and returns when it is closed.
// Tests install a recording presenter so that nothing ever waits on a box.
// Texts are Windows-1252 byte strings; the presenter converts them for the
// screen. GUI thread only.
#pragma once

#include <memory>
#include <string>

#include "TraceUnit.h"

namespace quillor {

enum class TMessageKind { Information, Error };

class MessagePresenter {
 public:
  virtual ~MessagePresenter() = default;
  // Shows `text` and returns once the user has seen it.
  virtual void Show(TMessageKind kind, const std::string& text) = 0;
};

// A modal QMessageBox with an OK button, titled with the application's name.
class MessageBoxPresenter : public MessagePresenter {
 public:
  void Show(TMessageKind kind, const std::string& text) override;
};

// Installs `presenter` and returns the one it replaces; nullptr restores a
// MessageBoxPresenter.
std::unique_ptr<MessagePresenter> SetMessagePresenter(std::unique_ptr<MessagePresenter> presenter);

// Shows through the current presenter.
void ShowMessage(const std::string& text);
void ShowErrorMessage(const std::string& text);

// Shows the trace facility's error reports through the current presenter.
class PresenterTraceReporter : public TraceReporter {
 public:
  void ShowError(const std::string& boxText) override;
};

}  // namespace quillor
