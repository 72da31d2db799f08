#include "trace/TraceUnit.h"

#include <cstdio>

namespace quillor {
namespace {

std::unique_ptr<TraceReporter>& CurrentReporter() {
  static std::unique_ptr<TraceReporter> reporter = std::make_unique<StderrTraceReporter>();
  return reporter;
}

TTraceForm*& CurrentForm() {
  static TTraceForm* form = nullptr;
  return form;
}

}  // namespace

void StderrTraceReporter::ShowError(const std::string& boxText) {
  std::fwrite(boxText.data(), 1, boxText.size(), stderr);
  std::fputc('\n', stderr);
  std::fflush(stderr);
}

std::unique_ptr<TraceReporter> SetTraceReporter(std::unique_ptr<TraceReporter> reporter) {
  if (!reporter) reporter = std::make_unique<StderrTraceReporter>();
  std::swap(CurrentReporter(), reporter);
  return reporter;
}

void TraceMemo::Append(const std::string& line) {
  lines_.push_back(line);
  if (LineCount() > kMaxLines) {
    for (int i = 0; i < kLinesDroppedAtOnce; ++i) lines_.pop_front();
  }
}

TTraceForm* TraceForm() { return CurrentForm(); }
void SetTraceForm(TTraceForm* form) { CurrentForm() = form; }

TTrace& Trace() {
  static TTrace trace;
  return trace;
}

void TTrace::TraceLine(const std::string& text) {
  TTraceForm* form = TraceForm();
  if (form == nullptr) return;
  form->fMemo.Append(text);
  if (form->onChanged) form->onChanged();  // scrolls the view to the newest line
}

void TTrace::TraceWarning(const std::string& text) { TraceLine("Warning : " + text); }

void TTrace::TraceError(const std::string& text) {
  TraceLine("*******ERROR*******");
  TraceLine(text);
  TraceLine("*******************");
  // A reporter must not throw; if one does anyway the caller still gets its
  // fallback value, because reporting never raises.
  try {
    CurrentReporter()->ShowError("*ERROR*" + text);
  } catch (...) {
  }
  Trace().TraceLine("rien");
}

void TTrace::TraceErrorInt(const std::string& text, int32_t n) { TraceError(text + std::to_string(n)); }

void TTrace::TraceErrorIntText(const std::string& text, int32_t n, const std::string& suffix) {
  TraceError(text + std::to_string(n) + suffix);
}

void TTrace::TraceErrorIntInt(const std::string& text, int32_t n, int32_t m) {
  TraceError(text + std::to_string(n) + " " + std::to_string(m));
}

void TTrace::TraceLineIntInt(const std::string& text, int32_t n, int32_t m) {
  TraceLine(text + std::to_string(n) + " " + std::to_string(m));
}

void TTrace::TraceWarningInt(const std::string& text, int32_t n) {
  TraceWarning(text + " " + std::to_string(n));
}

void TTrace::TraceRefresh() {
  TTraceForm* form = TraceForm();
  if (form != nullptr && form->onChanged) form->onChanged();
}

}  // namespace quillor
