#include "tests/support/TestPresenter.h"

namespace quillor::test {

TestPresenter::TestPresenter(TOnShow onShow, std::shared_ptr<std::deque<size_t>> answers)
    : fOnShow(std::move(onShow)), fAnswers(std::move(answers)) {}

void TestPresenter::Show(TMessageKind kind, const std::string& text) {
  if (fOnShow) fOnShow(kind, text);
}

size_t TestPresenter::Ask(TMessageKind kind, const std::string& text, const std::vector<std::string>&,
                          size_t escapeChoice) {
  Show(kind, text);
  if (!fAnswers || fAnswers->empty()) return escapeChoice;
  const size_t answer = fAnswers->front();
  fAnswers->pop_front();
  return answer;
}

ScopedPresenter::ScopedPresenter(std::unique_ptr<MessagePresenter> presenter)
    : fPrevious(SetMessagePresenter(std::move(presenter))) {}

ScopedPresenter::~ScopedPresenter() {
  SetMessagePresenter(std::move(fPrevious));
}

}  // namespace quillor::test
