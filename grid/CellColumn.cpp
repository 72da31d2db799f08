#include "grid/CellColumn.h"

#include <algorithm>

namespace quillor {

void TCellColumn::NoteOwnText(int32_t row, const std::string& text) {
  if (!text.empty()) ownEnd_ = std::max(ownEnd_, row + 1);
}

void TCellColumn::Resize(int32_t rows) {
  rows = std::max(rows, 0);
  if (rows < Size()) {
    ClipRun(rows);
    ownEnd_ = std::min(ownEnd_, rows);
  }
  own_.resize(static_cast<size_t>(rows));
}

const std::string& TCellColumn::Get(int32_t row) const {
  if (Shown(row)) return shown_.Text(row - shownFirst_);
  return own_[static_cast<size_t>(row)];
}

void TCellColumn::Set(int32_t row, std::string text) {
  if (InRun(row)) {
    if (overridden_.empty()) overridden_.assign(static_cast<size_t>(shownCount_), 0);
    overridden_[static_cast<size_t>(row - shownFirst_)] = 1;
  }
  NoteOwnText(row, text);
  own_[static_cast<size_t>(row)] = std::move(text);
}

void TCellColumn::Materialise(int32_t from, int32_t to) {
  from = std::max(from, shownFirst_);
  to = std::min(to, shownFirst_ + shownCount_);
  for (int32_t row = from; row < to; ++row) {
    if (!Shown(row)) continue;
    own_[static_cast<size_t>(row)] = shown_.Text(row - shownFirst_);
    NoteOwnText(row, own_[static_cast<size_t>(row)]);
  }
}

void TCellColumn::ClipRun(int32_t row) {
  if (shownCount_ == 0 || row >= shownFirst_ + shownCount_) return;
  shownCount_ = std::max(row - shownFirst_, 0);
  if (shownCount_ == 0) {
    shown_ = TColumnRows();
    overridden_.clear();
  } else if (!overridden_.empty()) {
    overridden_.resize(static_cast<size_t>(shownCount_));
  }
}

void TCellColumn::CutRun(int32_t row) {
  Materialise(row, shownFirst_ + shownCount_);
  ClipRun(row);
}

void TCellColumn::Show(int32_t firstRow, TColumnRows rows) {
  const int32_t count = std::clamp(rows.Count(), 0, std::max(Size() - firstRow, 0));
  // Rows of the old run that the new one does not cover keep what they show.
  if (shownCount_ > 0) {
    Materialise(shownFirst_, std::min(firstRow, shownFirst_ + shownCount_));
    Materialise(std::max(firstRow + count, shownFirst_), shownFirst_ + shownCount_);
  }
  // The rows of the new run read from it: their own texts are dropped.
  for (int32_t row = firstRow; row < std::min(ownEnd_, firstRow + count); ++row)
    own_[static_cast<size_t>(row)].clear();
  overridden_.clear();
  if (count == 0) {
    shown_ = TColumnRows();
    shownFirst_ = 0;
    shownCount_ = 0;
    return;
  }
  shown_ = std::move(rows);
  shownFirst_ = firstRow;
  shownCount_ = count;
}

void TCellColumn::Clear(int32_t firstRow) {
  firstRow = std::max(firstRow, 0);
  // The cleared rows of the run need no copy: they become empty.
  ClipRun(firstRow);
  for (int32_t row = firstRow; row < std::min(ownEnd_, Size()); ++row) own_[static_cast<size_t>(row)].clear();
  ownEnd_ = std::min(ownEnd_, firstRow);
}

int32_t TCellColumn::WidestText(IGridCanvas& canvas) const {
  int32_t widest = 0;
  // Empty texts all have one width, measured once: after a clear most rows
  // are empty.
  bool anyEmpty = false;
  auto measure = [&](const std::string& text) {
    if (text.empty()) {
      anyEmpty = true;
    } else {
      widest = std::max(widest, canvas.TextWidth(text));
    }
  };
  // Own texts outside the run: none at or after ownEnd_ is a text.
  auto measureOwnRows = [&](int32_t from, int32_t to) {
    for (int32_t row = from; row < std::min(to, ownEnd_); ++row) measure(own_[static_cast<size_t>(row)]);
    if (std::max(from, ownEnd_) < to) anyEmpty = true;
  };
  if (shownCount_ == 0) {
    measureOwnRows(0, Size());
  } else {
    measureOwnRows(0, shownFirst_);
    measureOwnRows(shownFirst_ + shownCount_, Size());
    const std::vector<int32_t>& order = *shown_.order;
    const int32_t textCount = shown_.texts->Count();
    const std::vector<int32_t>* widths = canvas.MeasureKey() != 0 ? &shown_.texts->Widths(canvas) : nullptr;
    for (int32_t k = 0; k < shownCount_; ++k) {
      if (!overridden_.empty() && overridden_[static_cast<size_t>(k)] != 0) {
        measure(own_[static_cast<size_t>(shownFirst_ + k)]);
        continue;
      }
      const int32_t index = order[static_cast<size_t>(k)];
      if (index < 0 || index >= textCount) {
        anyEmpty = true;  // a record number outside the texts shows the empty text
      } else if (widths != nullptr) {
        widest = std::max(widest, (*widths)[static_cast<size_t>(index)]);
      } else {
        measure(shown_.texts->Text(index));
      }
    }
  }
  if (anyEmpty) widest = std::max(widest, canvas.TextWidth(std::string()));
  return widest;
}

void TCellColumn::Rewrite(int32_t firstRow, const TTextRewrite& rewrite, std::vector<int32_t>& changedRows) {
  firstRow = std::max(firstRow, 0);
  // A run that starts before firstRow keeps its head as it is: its tail
  // becomes own texts, rewritten one by one below.
  if (shownCount_ > 0 && firstRow > shownFirst_) CutRun(firstRow);
  // What is left of the run lies wholly before firstRow or wholly after it.
  const bool runRewritten = shownCount_ > 0 && shownFirst_ >= firstRow;
  std::shared_ptr<const TSharedTexts::TRewritten> rewritten;
  if (runRewritten) rewritten = shown_.texts->Rewritten(rewrite);

  auto rewriteOwn = [&](int32_t row) {
    std::string& text = own_[static_cast<size_t>(row)];
    std::optional<std::string> result = rewrite.apply(text);
    if (!result || *result == text) return;
    text = std::move(*result);
    NoteOwnText(row, text);
    changedRows.push_back(row);
  };
  for (int32_t row = firstRow; row < Size(); ++row) {
    if (!Shown(row)) {
      rewriteOwn(row);
      continue;
    }
    const int32_t index = (*shown_.order)[static_cast<size_t>(row - shownFirst_)];
    if (index >= 0 && index < static_cast<int32_t>(rewritten->changed.size())) {
      if (rewritten->changed[static_cast<size_t>(index)] != 0) changedRows.push_back(row);
    } else {
      // Shown as the empty text, which is rewritten as such.
      std::optional<std::string> result = rewrite.apply(std::string());
      if (result && !result->empty()) {
        Set(row, std::move(*result));
        changedRows.push_back(row);
      }
    }
  }
  if (runRewritten) shown_.texts = rewritten->texts;
}

}  // namespace quillor
