// Test helpers for the trace facility: record the error boxes that would have
// been shown, and the trace lines that a trace window would have held.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "trace/TraceUnit.h"

namespace quillor::test {

// Installs a reporter that records every error box for as long as it lives,
// and opens a trace window whose lines it can read; restores both after.
class TraceRecorder {
 public:
  TraceRecorder();
  ~TraceRecorder();
  TraceRecorder(const TraceRecorder&) = delete;
  TraceRecorder& operator=(const TraceRecorder&) = delete;

  // The box texts, each "*ERROR*" + message, in order.
  const std::vector<std::string>& Boxes() const;
  // The messages of the boxes (without the "*ERROR*" prefix).
  std::vector<std::string> Errors() const;
  // Every trace line written while recording (error frames included).
  std::vector<std::string> Lines() const;
  // Trace lines that are warnings, without the "Warning : " prefix.
  std::vector<std::string> Warnings() const;
  void Clear();

 private:
  struct Recording;
  std::shared_ptr<Recording> recording_;
  std::unique_ptr<TraceReporter> previous_reporter_;
  TTraceForm form_;
  TTraceForm* previous_form_;
};

}  // namespace quillor::test
