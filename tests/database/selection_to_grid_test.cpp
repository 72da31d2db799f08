#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "database/ArticleSearch.h"
#include "database/CryptManager.h"
#include "database/Database.h"
#include "grid/MyStringGrid.h"
#include "tests/database/TableFixtures.h"
#include "tests/support/MemoryStringGrid.h"
#include "tests/support/TestPaths.h"
#include "tests/support/TraceRecorder.h"
#include "text/StringManager.h"

namespace quillor {
namespace {

using test::MemoryStringGrid;

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class SelectionToGridTest : public ::testing::Test {
 protected:
  SelectionToGridTest() : widget_(4, 4), grid_(&widget_, nullptr) {
    // Set up as the order window sets up its article grid.
    grid_.fNumberRows = false;
    grid_.SetFixedRows(1);
    grid_.SetFixedCols(0);
    table_ = test::TableOf({"CIP;Designation;Prix", "3;DOLIPRANE;1,16", "1;ASPIRINE;2,00", "2;BIAFINE;"});
  }

  std::vector<std::string> Row(int32_t row) const {
    std::vector<std::string> texts;
    for (int32_t c = 0; c < widget_.GetColCount(); ++c) texts.push_back(widget_.GetCells(c, row));
    return texts;
  }

  MemoryStringGrid widget_;
  TMyStringGrid grid_;
  std::unique_ptr<TMyDatabase> table_;
};

TEST_F(SelectionToGridTest, AllFieldsWithTitlesInSelectionOrder) {
  test::TraceRecorder trace;
  table_->QueryAll("Designation");
  table_->SelectionToGrid(grid_, "", true);
  ASSERT_EQ(widget_.GetColCount(), 3);
  ASSERT_EQ(widget_.GetRowCount(), 4);
  EXPECT_THAT(Row(0), ElementsAre("CIP", "Designation", "Prix"));
  EXPECT_THAT(Row(1), ElementsAre("1", "ASPIRINE", "2,00"));
  EXPECT_THAT(Row(2), ElementsAre("2", "BIAFINE", ""));
  EXPECT_THAT(Row(3), ElementsAre("3", "DOLIPRANE", "1,16"));
  EXPECT_EQ(grid_.TableColCount(), 3);
  EXPECT_EQ(grid_.TableRowCount(), 4);
  EXPECT_THAT(trace.Errors(), IsEmpty());
}

TEST_F(SelectionToGridTest, EmptySelectionLeavesOneEmptyRowAndClearsTheOldOnes) {
  test::TraceRecorder trace;
  table_->QueryAll("Designation");
  table_->SelectionToGrid(grid_, "", true);
  table_->Query("Designation", "^Z", 2);
  table_->SelectionToGrid(grid_, "", true);
  ASSERT_EQ(widget_.GetRowCount(), 2);
  EXPECT_THAT(Row(0), ElementsAre("CIP", "Designation", "Prix"));
  EXPECT_THAT(Row(1), ElementsAre("", "", ""));
  EXPECT_THAT(trace.Errors(), IsEmpty());
}

TEST_F(SelectionToGridTest, NamedColumnsInTheirOrderAndUnknownOnesStayEmpty) {
  test::TraceRecorder trace;
  table_->Query("Designation", "^[AB]", 2);
  table_->SelectionToGrid(grid_, "Prix;Designation", false);
  ASSERT_EQ(widget_.GetColCount(), 2);
  EXPECT_THAT(Row(1), ElementsAre("2,00", "ASPIRINE"));
  EXPECT_THAT(Row(2), ElementsAre("", "BIAFINE"));
  EXPECT_THAT(trace.Errors(), IsEmpty());

  table_->SelectionToGrid(grid_, "CIP;Tarif", true);
  EXPECT_THAT(Row(0), ElementsAre("CIP", "Tarif"));
  EXPECT_THAT(Row(1), ElementsAre("1", ""));
  // One report per selected record, as a lookup per cell gives.
  EXPECT_THAT(trace.Errors(), ElementsAre("TMyDatabase.GetFieldPos:impossible de trouver le champ Tarif",
                                          "TMyDatabase.GetFieldPos:impossible de trouver le champ Tarif"));
}

// The written way of a fill: every cell cleared, then every value written,
// one WriteCell at a time.
void WrittenSelectionToGrid(const TMyDatabase& table, TMyStringGrid& grid) {
  std::string columns;
  for (int32_t f = 0; f < table.FieldCount(); ++f) columns += (f > 0 ? ";" : "") + table.FieldName(f);
  for (int32_t c = grid.GetFixedCols(); c < grid.GetColCount(); ++c) {
    for (int32_t r = grid.GetFixedRows(); r < grid.GetRowCount(); ++r) grid.WriteCell(c, r, "");
  }
  grid.SetColCount(table.FieldCount() + grid.GetFixedCols());
  grid.SetRowCount(MaxOf(table.SelectionCount(), 1) + grid.GetFixedRows());
  grid.setTitles(columns);
  for (int32_t k = 0; k < table.SelectionCount(); ++k) {
    for (int32_t f = 0; f < table.FieldCount(); ++f)
      grid.WriteCell(grid.GetFixedCols() + f, grid.GetFixedRows() + k,
                     table.DBGetString(f, table.Selection()[static_cast<size_t>(k)]));
  }
  grid.ResizeCellTables();
}

// What a user sees of a grid: every text, the column widths, the colours.
void ExpectSameGrids(const MemoryStringGrid& a, const TMyStringGrid& ga, const MemoryStringGrid& b,
                     const TMyStringGrid& gb, const std::string& what) {
  ASSERT_EQ(a.GetRowCount(), b.GetRowCount()) << what;
  ASSERT_EQ(a.GetColCount(), b.GetColCount()) << what;
  for (int32_t c = 0; c < a.GetColCount(); ++c) {
    EXPECT_EQ(a.GetColWidth(c), b.GetColWidth(c)) << what << " col " << c;
    for (int32_t r = 0; r < a.GetRowCount(); ++r) {
      ASSERT_EQ(a.GetCells(c, r), b.GetCells(c, r)) << what << " cell " << c << "," << r;
      ASSERT_EQ(ga.GetCellColor(c, r), gb.GetCellColor(c, r)) << what << " colour " << c << "," << r;
    }
  }
}

// A keyed rewrite of the price column, against SetCell of each changed cell.
TTextRewrite HalfPrices() {
  return {"half", [](const std::string& text) -> std::optional<std::string> {
            if (!TStringManager::IsReal(text)) return std::nullopt;
            return text.substr(0, (text.size() + 1) / 2);
          }};
}

TEST(SelectionToGridShortcut, FillsOfTheWholeCatalogueReadAsCellByCellWrites) {
  TStringList lines;
  ASSERT_TRUE(ReadFileLines((test::DataDir() / "BaseDeDonneeArticles.db").string(), lines));
  TCryptManager().DecryptLines(lines);
  auto table = TMyDatabase::CreateFromList(lines);
  // Every line but the header is an article, and there are thousands.
  ASSERT_EQ(static_cast<size_t>(table->RecordCount()), lines.size() - 1);
  ASSERT_GT(table->RecordCount(), 10000);

  MemoryStringGrid fastWidget(3, 2), writtenWidget(3, 2);
  // Editable cells, as in the window.
  for (MemoryStringGrid* widget : {&fastWidget, &writtenWidget})
    widget->SetOptions(goVertLine | goHorzLine | goEditing | goRowSelect);
  TMyStringGrid fast(&fastWidget, nullptr), written(&writtenWidget, nullptr);
  for (TMyStringGrid* grid : {&fast, &written}) {
    grid->fNumberRows = false;
    grid->SetFixedRows(1);
    grid->SetFixedCols(0);
  }
  fastWidget.SetWidth(505);
  writtenWidget.SetWidth(505);

  // Searches of words taken from the catalogue, approximate ones, the whole
  // catalogue, nothing found; the user's edits and the price rewrite between
  // them.
  std::mt19937 random(7);
  std::vector<std::string> queries = {"", "ZZZZZZ", "DOLIPRANE", "ASPIRINE 500"};
  const TIndexList& designations = *table->IndexList(1);
  for (int i = 0; i < 12; ++i) {
    std::istringstream words(designations[random() % designations.size()].fString);
    std::string word;
    words >> word;
    queries.push_back(word);
  }
  test::TraceRecorder trace;
  for (size_t q = 0; q < queries.size(); ++q) {
    const bool approximate = q % 5 == 3;
    if (queries[q].empty()) {
      table->QueryAll("Designation");
    } else {
      SearchArticles(*table, queries[q], approximate);
    }
    table->SelectionToGrid(fast, "", true);
    WrittenSelectionToGrid(*table, written);
    ExpectSameGrids(fastWidget, fast, writtenWidget, written, "fill " + queries[q]);

    if (q % 2 == 0) {
      fast.RewriteColumn(2, HalfPrices());
      for (int32_t r = 1; r < written.GetRowCount(); ++r) {
        const std::string text = written.GetCell(2, r);
        std::optional<std::string> half = HalfPrices().apply(text);
        if (half && *half != text) written.SetCell(2, r, *half);
      }
      ExpectSameGrids(fastWidget, fast, writtenWidget, written, "rewrite " + queries[q]);
    }
    if (q % 3 == 1 && fast.GetRowCount() > 3) {
      for (TMyStringGrid* grid : {&fast, &written}) {
        grid->SetCell(1, 2, "EDITED BY THE USER, MUCH LONGER THAN ANY DESIGNATION OF THE CATALOGUE");
        grid->AutoSizeColumns();
      }
      ExpectSameGrids(fastWidget, fast, writtenWidget, written, "edit " + queries[q]);
    }
  }
  EXPECT_THAT(trace.Errors(), IsEmpty());
}

}  // namespace
}  // namespace quillor
