// The trace facility: the one way in which Quillor's own classes report what
// they find wrong. Three levels:
//   - a trace line goes to the trace window's text, when a trace window is open;
//   - a warning is a trace line prefixed with "Warning : ";
//   - an error writes three trace lines, shows a message box reading "*ERROR*"
//     followed by the text, waits until it is closed, writes "rien", and
//     returns so that the caller carries on with its fallback value.
// Reporting never throws and never ends the program.
//
// The message box goes through a replaceable TraceReporter: the window installs
// one that shows a QMessageBox, tests install one that records, command-line
// tools keep the default one, which writes to stderr.
//
// Texts are Windows-1252 byte strings. GUI thread only.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>

namespace quillor {

// Shows the text of an error report to the user and returns once the user has
// seen it (a modal box returns when closed).
class TraceReporter {
 public:
  virtual ~TraceReporter() = default;
  // `boxText` is "*ERROR*" immediately followed by the caller's message.
  virtual void ShowError(const std::string& boxText) = 0;
};

// Writes each error to stderr, one line each. The default reporter.
class StderrTraceReporter : public TraceReporter {
 public:
  void ShowError(const std::string& boxText) override;
};

// Installs `reporter` as the one that shows error boxes and returns the one it
// replaces. Passing nullptr restores a StderrTraceReporter.
std::unique_ptr<TraceReporter> SetTraceReporter(std::unique_ptr<TraceReporter> reporter);

// The text of a trace window: at most kMaxLines lines remain; when a new line
// makes them more, the oldest kLinesDroppedAtOnce lines are removed at once
// (10001 lines become 9500).
class TraceMemo {
 public:
  static constexpr int kMaxLines = 10000;
  static constexpr int kLinesDroppedAtOnce = 501;

  void Append(const std::string& line);
  int LineCount() const { return static_cast<int>(lines_.size()); }
  const std::string& Line(int i) const { return lines_.at(static_cast<size_t>(i)); }
  const std::deque<std::string>& Lines() const { return lines_; }

 private:
  std::deque<std::string> lines_;
};

// The optional trace window. Quillor never opens one, so trace lines are
// dropped; a developer build or a test may open one to read them.
class TTraceForm {
 public:
  TraceMemo fMemo;
  // Called after a line was appended (to scroll a view to its end) and by
  // TraceRefresh (to repaint it). May be empty.
  std::function<void()> onChanged;
};

// The open trace window, or nullptr (the default, for the whole run).
TTraceForm* TraceForm();
// Opens (non-null) or closes (nullptr) the trace window. Not owned.
void SetTraceForm(TTraceForm* form);

// The shared trace object through which all reports pass. Numbers are written
// in decimal with a leading "-" when negative.
class TTrace {
 public:
  void TraceLine(const std::string& text);
  void TraceWarning(const std::string& text);
  void TraceError(const std::string& text);
  void TraceErrorInt(const std::string& text, int32_t n);
  void TraceErrorIntText(const std::string& text, int32_t n, const std::string& suffix);
  void TraceErrorIntInt(const std::string& text, int32_t n, int32_t m);
  void TraceLineIntInt(const std::string& text, int32_t n, int32_t m);
  void TraceWarningInt(const std::string& text, int32_t n);
  void TraceRefresh();
};

// The one shared trace object.
TTrace& Trace();

}  // namespace quillor
