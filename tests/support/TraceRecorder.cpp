#include "tests/support/TraceRecorder.h"

namespace quillor::test {

struct TraceRecorder::Recording {
  std::vector<std::string> boxes;
};

namespace {

class RecordingReporter : public TraceReporter {
 public:
  explicit RecordingReporter(std::shared_ptr<std::vector<std::string>> boxes) : boxes_(std::move(boxes)) {}
  void ShowError(const std::string& boxText) override { boxes_->push_back(boxText); }

 private:
  std::shared_ptr<std::vector<std::string>> boxes_;
};

const std::string kErrorPrefix = "*ERROR*";
const std::string kWarningPrefix = "Warning : ";

}  // namespace

TraceRecorder::TraceRecorder() : recording_(std::make_shared<Recording>()), previous_form_(TraceForm()) {
  auto boxes = std::shared_ptr<std::vector<std::string>>(recording_, &recording_->boxes);
  previous_reporter_ = SetTraceReporter(std::make_unique<RecordingReporter>(boxes));
  SetTraceForm(&form_);
}

TraceRecorder::~TraceRecorder() {
  SetTraceForm(previous_form_);
  SetTraceReporter(std::move(previous_reporter_));
}

const std::vector<std::string>& TraceRecorder::Boxes() const { return recording_->boxes; }

std::vector<std::string> TraceRecorder::Errors() const {
  std::vector<std::string> errors;
  for (const std::string& box : recording_->boxes) {
    errors.push_back(box.rfind(kErrorPrefix, 0) == 0 ? box.substr(kErrorPrefix.size()) : box);
  }
  return errors;
}

std::vector<std::string> TraceRecorder::Lines() const {
  return std::vector<std::string>(form_.fMemo.Lines().begin(), form_.fMemo.Lines().end());
}

std::vector<std::string> TraceRecorder::Warnings() const {
  std::vector<std::string> warnings;
  for (const std::string& line : form_.fMemo.Lines()) {
    if (line.rfind(kWarningPrefix, 0) == 0) warnings.push_back(line.substr(kWarningPrefix.size()));
  }
  return warnings;
}

void TraceRecorder::Clear() {
  recording_->boxes.clear();
  form_.fMemo = TraceMemo();
}

}  // namespace quillor::test
