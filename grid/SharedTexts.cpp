#include "grid/SharedTexts.h"

#include <atomic>

namespace quillor {

uint64_t NewMeasureKey() {
  static std::atomic<uint64_t> last{0};
  return ++last;
}

namespace {
const std::string kNoText;
// Rewrites kept per list of texts; the window uses one at a time.
constexpr size_t kKeptRewrites = 4;
}  // namespace

const std::string& TSharedTexts::Text(int32_t index) const {
  if (index < 0 || index >= Count()) return kNoText;
  return texts_[static_cast<size_t>(index)];
}

const std::vector<int32_t>& TSharedTexts::Widths(IGridCanvas& canvas) const {
  const uint64_t key = canvas.MeasureKey();
  if (key != widthsKey_ || widths_.size() != texts_.size()) {
    widths_.resize(texts_.size());
    for (size_t i = 0; i < texts_.size(); ++i) widths_[i] = canvas.TextWidth(texts_[i]);
    widthsKey_ = key;
  }
  return widths_;
}

std::shared_ptr<const TSharedTexts::TRewritten> TSharedTexts::Rewritten(const TTextRewrite& rewrite) const {
  if (!rewrite.key.empty()) {
    auto found = rewrites_.find(rewrite.key);
    if (found != rewrites_.end()) return found->second;
  }
  std::vector<std::string> texts = texts_;
  std::vector<uint8_t> changed(texts.size(), 0);
  for (size_t i = 0; i < texts.size(); ++i) {
    std::optional<std::string> text = rewrite.apply(texts[i]);
    if (text && *text != texts[i]) {
      texts[i] = std::move(*text);
      changed[i] = 1;
    }
  }
  auto result = std::make_shared<TRewritten>();
  result->texts = std::make_shared<const TSharedTexts>(std::move(texts));
  result->changed = std::move(changed);
  if (!rewrite.key.empty()) {
    if (rewrites_.size() >= kKeptRewrites) rewrites_.clear();
    rewrites_[rewrite.key] = result;
  }
  return result;
}

}  // namespace quillor
