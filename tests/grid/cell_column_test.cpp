// A grid column that shows rows from shared texts must read, row for row,
// exactly as a column whose texts were written one by one. A plain vector of
// strings, written the obvious way, is the oracle; random sequences of every
// operation are run on both.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "grid/CellColumn.h"
#include "tests/support/MemoryStringGrid.h"

namespace quillor {
namespace {

using test::MemoryGridCanvas;
using test::MemoryStringGrid;

// The written way: one string per row.
struct PlainColumn {
  std::vector<std::string> rows;

  void Show(int32_t firstRow, const TColumnRows& shown) {
    for (int32_t k = 0; k < shown.Count() && firstRow + k < static_cast<int32_t>(rows.size()); ++k)
      rows[static_cast<size_t>(firstRow + k)] = shown.Text(k);
  }
  void Clear(int32_t firstRow) {
    for (size_t r = static_cast<size_t>(std::max(firstRow, 0)); r < rows.size(); ++r) rows[r].clear();
  }
  std::vector<int32_t> Rewrite(int32_t firstRow, const TTextRewrite& rewrite) {
    std::vector<int32_t> changed;
    for (size_t r = static_cast<size_t>(std::max(firstRow, 0)); r < rows.size(); ++r) {
      std::optional<std::string> text = rewrite.apply(rows[r]);
      if (text && *text != rows[r]) {
        rows[r] = *text;
        changed.push_back(static_cast<int32_t>(r));
      }
    }
    return changed;
  }
  int32_t WidestText(IGridCanvas& canvas) const {
    int32_t widest = 0;
    for (const std::string& row : rows) widest = std::max(widest, canvas.TextWidth(row));
    return widest;
  }
};

std::shared_ptr<const TSharedTexts> TextsOf(std::mt19937& random, int count) {
  std::vector<std::string> texts;
  for (int i = 0; i < count; ++i) {
    // Short and long texts, some empty, some alike.
    const int length = static_cast<int>(random() % 24);
    texts.push_back(std::string(static_cast<size_t>(length), static_cast<char>('A' + random() % 4)) +
                    std::to_string(random() % 7));
    if (random() % 9 == 0) texts.back().clear();
  }
  return std::make_shared<const TSharedTexts>(std::move(texts));
}

TColumnRows RowsOf(std::mt19937& random, const std::shared_ptr<const TSharedTexts>& texts) {
  std::vector<int32_t> order;
  const int count = static_cast<int>(random() % 40);
  for (int k = 0; k < count; ++k) {
    // Now and then a record number outside the texts, which shows as empty.
    order.push_back(random() % 17 == 0 ? texts->Count() + 3
                                       : static_cast<int32_t>(random() % (texts->Count() + 1)));
  }
  return TColumnRows{texts, std::make_shared<const std::vector<int32_t>>(std::move(order))};
}

TTextRewrite RewriteOf(int which) {
  // Two keyed rewrites (kept with the texts) and one that keeps nothing.
  switch (which) {
    case 0:
      return {"append x", [](const std::string& text) -> std::optional<std::string> {
                if (text.empty() || text.back() == '1') return std::nullopt;
                return text + "x";
              }};
    case 1:
      return {"shorten", [](const std::string& text) -> std::optional<std::string> {
                if (text.size() < 3) return std::nullopt;
                return text.substr(0, text.size() / 2);
              }};
    default:
      return {"", [](const std::string& text) -> std::optional<std::string> {
                return text.find('B') != std::string::npos ? std::optional<std::string>("B") : std::nullopt;
              }};
  }
}

TEST(CellColumn, EveryOperationReadsAsWritingTheTextsOneByOne) {
  std::mt19937 random(20261209);
  MemoryGridCanvas canvas;
  for (int sequence = 0; sequence < 300; ++sequence) {
    const int32_t size = static_cast<int32_t>(random() % 30);
    TCellColumn column(size);
    PlainColumn plain{std::vector<std::string>(static_cast<size_t>(size))};
    const auto texts = TextsOf(random, 1 + static_cast<int>(random() % 25));
    for (int step = 0; step < 40; ++step) {
      const int32_t rows = column.Size();
      const int32_t row = rows > 0 ? static_cast<int32_t>(random() % rows) : 0;
      switch (random() % 7) {
        case 0:
          if (rows > 0) {
            const std::string text = random() % 3 == 0 ? "" : "own" + std::to_string(random() % 5);
            column.Set(row, text);
            plain.rows[static_cast<size_t>(row)] = text;
          }
          break;
        case 1:
        case 2: {
          const TColumnRows shown = RowsOf(random, random() % 4 == 0 ? TextsOf(random, 8) : texts);
          column.Show(row, shown);
          plain.Show(row, shown);
          break;
        }
        case 3:
          column.Clear(row);
          plain.Clear(row);
          break;
        case 4: {
          const int32_t newSize = static_cast<int32_t>(random() % 35);
          column.Resize(newSize);
          plain.rows.resize(static_cast<size_t>(newSize));
          break;
        }
        case 5: {
          const TTextRewrite rewrite = RewriteOf(static_cast<int>(random() % 3));
          std::vector<int32_t> changed;
          column.Rewrite(row, rewrite, changed);
          ASSERT_EQ(changed, plain.Rewrite(row, rewrite)) << sequence << " step " << step;
          break;
        }
        default:
          ASSERT_EQ(column.WidestText(canvas), plain.WidestText(canvas)) << sequence << " step " << step;
          break;
      }
      ASSERT_EQ(column.Size(), static_cast<int32_t>(plain.rows.size()));
      for (int32_t r = 0; r < column.Size(); ++r)
        ASSERT_EQ(column.Get(r), plain.rows[static_cast<size_t>(r)])
            << sequence << " step " << step << " row " << r;
    }
  }
}

TEST(CellColumn, SharedRowsAreMeasuredAndRewrittenOncePerList) {
  std::vector<std::string> values;
  for (int i = 0; i < 1000; ++i) values.push_back("VALUE " + std::to_string(i));
  const auto texts = std::make_shared<const TSharedTexts>(std::move(values));
  std::vector<int32_t> order(1000);
  for (int32_t k = 0; k < 1000; ++k) order[static_cast<size_t>(k)] = 999 - k;
  const TColumnRows rows{texts, std::make_shared<const std::vector<int32_t>>(order)};

  MemoryGridCanvas canvas;
  int rewrites = 0;
  const TTextRewrite rewrite{"lower", [&rewrites](const std::string& text) -> std::optional<std::string> {
                               ++rewrites;
                               return text + ".";
                             }};
  for (int fill = 0; fill < 3; ++fill) {
    TCellColumn column(1001);
    column.Set(0, "TITLE");
    column.Show(1, rows);
    const int64_t measuredBefore = canvas.measured;
    EXPECT_EQ(column.WidestText(canvas), MemoryGridCanvas::kCharWidth * 9);
    // The 1000 shared texts are measured at the first fill only; the title
    // row every time.
    EXPECT_EQ(canvas.measured - measuredBefore, fill == 0 ? 1001 : 1);
    std::vector<int32_t> changed;
    column.Rewrite(1, rewrite, changed);
    EXPECT_EQ(changed.size(), 1000u);
    EXPECT_EQ(column.Get(1), "VALUE 999.");
    EXPECT_EQ(rewrites, 1000) << "rewritten once per list and key";
  }
}

}  // namespace
}  // namespace quillor
