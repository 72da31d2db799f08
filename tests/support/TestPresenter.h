// The message presenter every test installs so that no box ever waits for a
// click: each box and question is handed to a function of the test's (to
// record it, to look at the window at that moment, to print it), and a
// question is answered from a list the test fills, or with its escape choice.
// Header of the quillor::testsupport_app library, for tests that link the
// order window. GUI thread only.
#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/MessagePresenter.h"

namespace quillor::test {

class TestPresenter : public MessagePresenter {
 public:
  using TOnShow = std::function<void(TMessageKind kind, const std::string& text)>;

  // `onShow` may be empty (nothing is kept); `answers` may be null (every
  // question gets its escape choice).
  explicit TestPresenter(TOnShow onShow = {}, std::shared_ptr<std::deque<size_t>> answers = nullptr);

  void Show(TMessageKind kind, const std::string& text) override;
  // Shows `text`, then answers with the next of the answers, which it takes
  // off the list, or with `escapeChoice` when none is left.
  size_t Ask(TMessageKind kind, const std::string& text, const std::vector<std::string>& choices,
             size_t escapeChoice) override;

 private:
  TOnShow fOnShow;
  std::shared_ptr<std::deque<size_t>> fAnswers;
};

// Installs `presenter` for the life of this object, then puts back the one
// it replaced.
class ScopedPresenter {
 public:
  explicit ScopedPresenter(std::unique_ptr<MessagePresenter> presenter);
  ~ScopedPresenter();
  ScopedPresenter(const ScopedPresenter&) = delete;
  ScopedPresenter& operator=(const ScopedPresenter&) = delete;

 private:
  std::unique_ptr<MessagePresenter> fPrevious;
};

}  // namespace quillor::test
