#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <sstream>

#include "database/ArticleSearch.h"
#include "database/CryptManager.h"
#include "database/Database.h"
#include "database/ExactSearchMemory.h"
#include "regex/PcreRegEx.h"
#include "tests/database/TableFixtures.h"
#include "tests/support/TestPaths.h"
#include "tests/support/TraceRecorder.h"
#include "text/StringManager.h"

namespace quillor {
namespace {

using test::SelectedValues;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::unique_ptr<TMyDatabase> Catalogue() {
  return test::TableOf({"CIP;Designation;Prix", "1;ASPIRINE UPSA 500 MG;2,10", "2;ASPIRINE 1000 MG;3,00",
                        "3;DOLIPRANE 500 MG;1,16", "4;EFFERALGAN 500 MG;1,50", "5;aspirine 500;1,00",
                        "6;ASPIRINE DU RHONE 500;2,00", "7;ASPIRINE (500);2,00"});
}

TEST(NormaliseSearchText, FoldsAccentsUpperCasesAsciiOnlyAndTrims) {
  EXPECT_EQ(NormaliseSearchText("  \xE9"
                                "fferalgan\t"),
            "EFFERALGAN");
  EXPECT_EQ(NormaliseSearchText("cr\xE8me br\xFBl\xE9"
                                "e"),
            "CREME BRULEE");
  EXPECT_EQ(NormaliseSearchText("\xC9t\xE9 \xE6"), "\xC9TE \xE6");  // upper-case accents and others stay
  EXPECT_EQ(NormaliseSearchText("a  b"), "A  B");
  EXPECT_EQ(NormaliseSearchText(" \x01\x7F"), "\x7F");
  EXPECT_EQ(NormaliseSearchText("   "), "");
}

TEST(SearchArticles, ExactWordsInAnyOrderKeepDesignationOrder) {
  test::TraceRecorder trace;
  auto table = Catalogue();
  ASSERT_TRUE(SearchArticles(*table, NormaliseSearchText("aspirine 500"), false));
  const std::vector<std::string> expected{"ASPIRINE (500)", "ASPIRINE DU RHONE 500", "ASPIRINE UPSA 500 MG"};
  EXPECT_EQ(SelectedValues(*table, 1), expected);
  ASSERT_TRUE(SearchArticles(*table, NormaliseSearchText("500 aspirine"), false));
  EXPECT_EQ(SelectedValues(*table, 1), expected);
  // Two spaces make an empty word, which narrows nothing.
  ASSERT_TRUE(SearchArticles(*table, "ASPIRINE  500", false));
  EXPECT_EQ(SelectedValues(*table, 1), expected);
  ASSERT_TRUE(SearchArticles(*table,
                             NormaliseSearchText("\xE9"
                                                 "fferalgan"),
                             false));
  EXPECT_THAT(SelectedValues(*table, 1), ElementsAre("EFFERALGAN 500 MG"));
  ASSERT_TRUE(SearchArticles(*table, "ZOVIRAX", false));
  EXPECT_EQ(table->SelectionCount(), 0);
  EXPECT_THAT(trace.Errors(), IsEmpty());
}

TEST(SearchArticles, WordsArePatternFragments) {
  auto table = Catalogue();
  ASSERT_TRUE(SearchArticles(*table, "ASPIRINE 5.0", false));
  EXPECT_EQ(table->SelectionCount(), 3);
  ASSERT_TRUE(SearchArticles(*table, "\\(500\\)", false));
  EXPECT_THAT(SelectedValues(*table, 1), ElementsAre("ASPIRINE (500)"));
}

TEST(SearchArticles, InvalidWordStopsWithTheNarrowingSoFar) {
  auto table = Catalogue();
  EXPECT_THROW(SearchArticles(*table, "RHONE (500", false), ERegExError);
  EXPECT_THAT(SelectedValues(*table, 1), ElementsAre("ASPIRINE DU RHONE 500"));
}

TEST(SearchArticles, RunawayWordStopsLikeAnInvalidOneWithTheNarrowingSoFar) {
  auto table = Catalogue();
  try {
    SearchArticles(*table, "RHONE (.+)+[#@]", false);
    ADD_FAILURE() << "the search ended without an error";
  } catch (const ERegExError& e) {
    EXPECT_THAT(e.what(), ::testing::HasSubstr("trop complexe"));
  }
  EXPECT_THAT(SelectedValues(*table, 1), ElementsAre("ASPIRINE DU RHONE 500"));
}

TEST(SearchArticles, EmptyQueryLeavesTheSelectionAlone) {
  auto table = Catalogue();
  table->Query("Designation", "^D", 2);
  EXPECT_FALSE(SearchArticles(*table, NormaliseSearchText("  "), false));
  EXPECT_FALSE(SearchArticles(*table, "", true));
  EXPECT_THAT(SelectedValues(*table, 1), ElementsAre("DOLIPRANE 500 MG"));
}

TEST(SearchArticles, ApproximateListsEveryArticleMostSimilarFirst) {
  test::TraceRecorder trace;
  auto table = Catalogue();
  ASSERT_TRUE(SearchArticles(*table, "ASPIRINE 1000 MG", true));
  ASSERT_EQ(table->SelectionCount(), 7);
  const std::vector<std::string> values = SelectedValues(*table, 1);
  EXPECT_EQ(values.front(), "ASPIRINE 1000 MG");
  for (size_t i = 1; i < values.size(); ++i) {
    EXPECT_GE(TStringManager::StringSimilarity("ASPIRINE 1000 MG", values[i - 1]),
              TStringManager::StringSimilarity("ASPIRINE 1000 MG", values[i]));
  }
  EXPECT_THAT(trace.Errors(), IsEmpty());
}

TEST(ExactResultWithin, KnowsWhichQueriesOnlyNarrowAnother) {
  EXPECT_TRUE(ExactResultWithin("DOLIP", "DOLI"));
  EXPECT_TRUE(ExactResultWithin("DOLIPRANE 1", "DOLIPRANE"));
  EXPECT_TRUE(ExactResultWithin("XDOLIY 500", "DOLI"));
  EXPECT_TRUE(ExactResultWithin("DOLIPRANE 100 (", "DOLIPRANE 100"));  // a bad extra word: still within
  EXPECT_FALSE(ExactResultWithin("DOLI", "DOLIP"));
  EXPECT_FALSE(ExactResultWithin("500 DOLIPRANE", "DOLIPRANE"));
  EXPECT_FALSE(ExactResultWithin("DOLI.", "DOLI"));  // a pattern, not a word
  EXPECT_FALSE(ExactResultWithin("A.C", "A.C"));
  EXPECT_FALSE(ExactResultWithin("DOLIPRANE", ""));
}

// Typing, rubbing out and retyping over the whole catalogue: the search that
// narrows or gives back kept results and the whole search keep the same
// articles, in the same order, and stop alike at a word that is no valid
// pattern.
TEST(ExactSearchMemory, TypingGivesWhatSearchingAfreshGives) {
  TStringList lines;
  ASSERT_TRUE(ReadFileLines((test::DataDir() / "BaseDeDonneeArticles.db").string(), lines));
  TCryptManager().DecryptLines(lines);
  auto remembered = TMyDatabase::CreateFromList(lines);
  auto afresh = TMyDatabase::CreateFromList(lines);
  const TIndexList& designations = *afresh->IndexList(1);
  std::mt19937 random(11);
  std::vector<std::string> typed;
  for (int session = 0; session < 25; ++session) {
    // Two words of a designation typed key by key, some keys rubbed out,
    // sometimes a word changed in the middle.
    std::istringstream words(designations[random() % designations.size()].fString);
    std::string first, second;
    words >> first >> second;
    const std::string text = first + " " + second + (session % 5 == 0 ? " (" : "");
    for (size_t n = 1; n <= text.size(); ++n) {
      typed.push_back(text.substr(0, n));
      if (random() % 4 == 0 && n > 1) typed.push_back(text.substr(0, n - 1));
      if (random() % 9 == 0 && n > 2) typed.push_back(text.substr(0, n - 2) + "X" + text.substr(n - 1, 1));
    }
    // Rubbed out to its first letter, then pasted whole: only the kept
    // result of that letter holds it, and its first word is not the letter.
    for (size_t n = text.size(); n-- > 1;) typed.push_back(text.substr(0, n));
    typed.push_back(text);
  }
  TExactSearchMemory searches;
  for (const std::string& query : typed) {
    const std::string normalised = NormaliseSearchText(query);
    bool rememberedFailed = false;
    bool afreshFailed = false;
    try {
      searches.Search(*remembered, normalised);
    } catch (const ERegExError&) {
      rememberedFailed = true;
    }
    try {
      SearchArticles(*afresh, normalised, false);
    } catch (const ERegExError&) {
      afreshFailed = true;
    }
    ASSERT_EQ(rememberedFailed, afreshFailed) << query;
    ASSERT_EQ(remembered->Selection(), afresh->Selection()) << query;
  }
}

// A kept result is of the table as it was: once a value changes, or another
// table is searched, the search is made again.
TEST(ExactSearchMemory, AChangedOrOtherTableIsSearchedAgain) {
  auto table = Catalogue();
  TExactSearchMemory searches;
  ASSERT_TRUE(searches.Search(*table, "ASPIRINE 500"));
  EXPECT_THAT(SelectedValues(*table, 1),
              ElementsAre("ASPIRINE (500)", "ASPIRINE DU RHONE 500", "ASPIRINE UPSA 500 MG"));
  ASSERT_TRUE(searches.Search(*table, "ASPIRINE"));
  table->SetData(1, 2, "ASPIRINE 500 EFFERVESCENT");  // was DOLIPRANE 500 MG
  ASSERT_TRUE(searches.Search(*table, "ASPIRINE 500"));
  EXPECT_THAT(SelectedValues(*table, 1), ElementsAre("ASPIRINE (500)", "ASPIRINE 500 EFFERVESCENT",
                                                     "ASPIRINE DU RHONE 500", "ASPIRINE UPSA 500 MG"));
  ASSERT_TRUE(searches.Search(*table, "ASPIRINE 500 EFF"));
  EXPECT_THAT(SelectedValues(*table, 1), ElementsAre("ASPIRINE 500 EFFERVESCENT"));

  auto other = test::TableOf({"CIP;Designation;Prix", "9;ASPIRINE 500 OTHER;1"});
  ASSERT_TRUE(searches.Search(*other, "ASPIRINE 500"));
  EXPECT_THAT(SelectedValues(*other, 1), ElementsAre("ASPIRINE 500 OTHER"));
  EXPECT_FALSE(searches.Search(*other, ""));
  EXPECT_THAT(SelectedValues(*other, 1), ElementsAre("ASPIRINE 500 OTHER"));
}

TEST(SelectionSnapshot, GivesBackTheSelectionOnlyWhileTheTableIsUnchanged) {
  auto table = Catalogue();
  auto twin = Catalogue();
  table->QueryAll(kDesignationField);
  table->QueryAnd(kDesignationField, "^.*ASPIRINE.*$", 2);
  const TSelectionSnapshot aspirin = table->SaveSelection();
  table->QueryAnd(kDesignationField, "^.*1000.*$", 2);
  ASSERT_EQ(table->SelectionCount(), 1);
  ASSERT_TRUE(table->RestoreSelection(aspirin));
  EXPECT_EQ(table->Selection(), aspirin.selection);
  EXPECT_EQ(table->StepResult(), aspirin.stepResult);
  EXPECT_FALSE(twin->RestoreSelection(aspirin)) << "a snapshot of another table, even one alike";
  EXPECT_FALSE(TMyDatabase().RestoreSelection(TSelectionSnapshot{})) << "an empty table";
  const std::vector<std::function<void(TMyDatabase&)>> changes = {
      [](TMyDatabase& t) { t.SetData(1, 0, "X"); },
      [](TMyDatabase& t) { t.SetFieldNames("CIP;Designation;Prix"); },
      [](TMyDatabase& t) { t.FreeIndexes(); },
      [](TMyDatabase& t) {
        t.LoadFromList({"CIP;Designation;Prix", "1;A;1"});
      },
  };
  for (const auto& change : changes) {
    auto changed = Catalogue();
    changed->QueryAll(kDesignationField);
    const TSelectionSnapshot before = changed->SaveSelection();
    change(*changed);
    const std::vector<int32_t> selection = changed->Selection();
    EXPECT_FALSE(changed->RestoreSelection(before));
    EXPECT_EQ(changed->Selection(), selection) << "a stale snapshot changes nothing";
  }
}

}  // namespace
}  // namespace quillor
