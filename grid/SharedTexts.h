// Texts that a table and the grids showing it share without copying: one
// field's values in record order, made once and never changed (TSharedTexts),
// and a run of grid rows read from them through a list of record numbers
// (TColumnRows). A search that puts 20,000 rows into the grid then hands over
// two pointers instead of 20,000 strings.
//
// What a grid computes over every row of such a column is kept with the texts
// (the width of each text, a rewrite of each text), since it is the same for
// every search; the caches change no result. GUI thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "grid/IStringGrid.h"

namespace quillor {

// A rewrite of cell texts: `apply` gives the new text, or nullopt to keep
// the text. Rewrites with equal non-empty keys must rewrite every text alike,
// so that their results can be kept; an empty key keeps nothing.
struct TTextRewrite {
  std::string key;
  std::function<std::optional<std::string>(const std::string& text)> apply;
};

class TSharedTexts {
 public:
  explicit TSharedTexts(std::vector<std::string> texts) : texts_(std::move(texts)) {}
  TSharedTexts(const TSharedTexts&) = delete;
  TSharedTexts& operator=(const TSharedTexts&) = delete;

  int32_t Count() const { return static_cast<int32_t>(texts_.size()); }
  // The empty text outside 0 .. Count() - 1.
  const std::string& Text(int32_t index) const;

  // canvas.TextWidth of every text, kept while the canvas's MeasureKey stays
  // the same. REQUIRES: canvas.MeasureKey() != 0.
  const std::vector<int32_t>& Widths(IGridCanvas& canvas) const;

  // Every text through `rewrite`: the texts after it (unchanged ones too)
  // and which of them changed. Kept per rewrite key (a few at a time).
  struct TRewritten {
    std::shared_ptr<const TSharedTexts> texts;
    std::vector<uint8_t> changed;
  };
  std::shared_ptr<const TRewritten> Rewritten(const TTextRewrite& rewrite) const;

 private:
  std::vector<std::string> texts_;
  mutable uint64_t widthsKey_ = 0;
  mutable std::vector<int32_t> widths_;
  mutable std::map<std::string, std::shared_ptr<const TRewritten>> rewrites_;
};

// Grid rows read from shared texts: row k of the run shows
// texts->Text((*order)[k]).
struct TColumnRows {
  std::shared_ptr<const TSharedTexts> texts;
  std::shared_ptr<const std::vector<int32_t>> order;

  int32_t Count() const { return order ? static_cast<int32_t>(order->size()) : 0; }
  const std::string& Text(int32_t k) const { return texts->Text((*order)[static_cast<size_t>(k)]); }
};

}  // namespace quillor
