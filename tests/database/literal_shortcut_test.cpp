// The exact search answers "^.*word.*$" with a substring test where that
// cannot differ from the pattern engine. These tests run both paths over the
// real catalogue and over awkward values and demand identical results.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "database/Database.h"
#include "database/LiteralPattern.h"
#include "tests/database/TableFixtures.h"
#include "tests/support/TestPaths.h"
#include "tests/support/TraceRecorder.h"

namespace quillor {
namespace {

using ::testing::ElementsAre;

std::vector<int32_t> StepWith(TMyDatabase& table, bool shortcut, const std::string& field,
                              const std::string& text, uint8_t mode) {
  table.SetLiteralShortcutForTesting(shortcut);
  table.QueryStep(field, text, mode);
  table.SetLiteralShortcutForTesting(true);
  return table.StepResult();
}

void ExpectSameBothWays(TMyDatabase& table, const std::string& field, const std::string& text, uint8_t mode) {
  EXPECT_EQ(StepWith(table, true, field, text, mode), StepWith(table, false, field, text, mode))
      << "mode " << int{mode} << " text [" << text << "] on " << field;
}

TEST(LiteralPattern, RecognisesOnlyPlainWordsBetweenTheAffixes) {
  std::string word;
  EXPECT_TRUE(SplitContainsPattern("^.*ASPIRINE.*$", word));
  EXPECT_EQ(word, "ASPIRINE");
  EXPECT_TRUE(SplitContainsPattern("^.*.*$", word));
  EXPECT_EQ(word, "");
  EXPECT_TRUE(SplitContainsPattern("^.*L'EAU, 5%/ML-1 \xC9.*$", word));
  for (const char* pattern : {"^.*A.C.*$", "^.*A(.*$", "^.*A\\d.*$", "^.*A|B.*$", "^.*A{2}.*$", "^.*A+.*$",
                              "^.*$", "^.*A.*", ".*A.*$", "^.*A[B].*$", "^.*A$B.*$", "^.*^.*$"}) {
    EXPECT_FALSE(SplitContainsPattern(pattern, word)) << pattern;
  }
  EXPECT_FALSE(SplitContainsPattern(std::string("^.*A\0B.*$", 9), word));
  EXPECT_TRUE(HoldsLineBreakByte("a\x85"));
  EXPECT_TRUE(HoldsLineBreakByte("a\vb"));
  EXPECT_FALSE(HoldsLineBreakByte("a\tb\x84\x86"));
}

TEST(LiteralPattern, AwkwardValuesGiveThePatternsAnswer) {
  test::TraceRecorder trace;
  auto table = test::TableOf({"Designation;Prix", "AB\\nC;", "AB\x85;1", "AB\r;2", "AB;", "B\fA;3", "\x85;",
                              "A\tB;4", "\xC9TAT;5", " ;6", "AB\x0B;7"});
  for (const char* word : {"", "A", "B", "AB", "C", "\xC9", " ", "NOTEMPTY", "\t", "A\tB"}) {
    for (uint8_t mode : {2, 4}) {
      const std::string text = mode == 2 ? std::string("^.*") + word + ".*$" : std::string(word);
      ExpectSameBothWays(*table, "Designation", text, mode);
      ExpectSameBothWays(*table, "Prix", text, mode);
    }
  }
  for (const char* text : {"AB", "XABY", "", "AB\r\n", "A\tB", "\x85", "1"}) {
    ExpectSameBothWays(*table, "Designation", text, 5);
    ExpectSameBothWays(*table, "Prix", text, 5);
  }
  // The empty word matches every non-empty value and never an empty one.
  EXPECT_THAT(StepWith(*table, true, "Prix", "^.*.*$", 2).size(), 7u);
  // A value that takes a line break later is seen with it: the index, and
  // what it knows of line breaks, are rebuilt.
  table->SetData(0, 3, "AB\n");
  table->SetData(0, 0, "AB");
  for (const char* word : {"A", "AB", "B"})
    ExpectSameBothWays(*table, "Designation", std::string("^.*") + word + ".*$", 2);
  EXPECT_THAT(trace.Errors(), ::testing::IsEmpty());
}

// Whatever byte stands between or around the word's letters, the shortcut
// answers as the pattern engine does.
TEST(LiteralPattern, EveryByteAroundTheWordGivesThePatternsAnswer) {
  std::vector<std::string> lines{"Designation"};
  for (int b = 1; b < 256; ++b) {
    if (b == ';') continue;
    const std::string c(1, static_cast<char>(b));
    lines.push_back("A" + c + "B");
    lines.push_back(c + "AB");
    lines.push_back("AB" + c);
    lines.push_back(c);
  }
  auto table = test::TableOf(lines);
  for (const char* word : {"", "A", "B", "AB", "NOTEMPTY"}) {
    ExpectSameBothWays(*table, "Designation", std::string("^.*") + word + ".*$", 2);
  }
}

TEST(LiteralPattern, RealCatalogueGivesTheSameResultsBothWays) {
  test::TraceRecorder trace;
  std::unique_ptr<TMyDatabase> table = TMyDatabase::CreateFromFile(test::RealCatalogue().string());
  ASSERT_GT(table->RecordCount(), 17000) << test::RealCatalogue();
  std::set<std::string> words;
  const TIndexList& designations = *table->IndexList(table->GetFieldPos("Designation"));
  for (size_t i = 0; i < designations.size(); i += 331) {
    std::istringstream in(designations[i].fString);
    std::string word;
    for (int k = 0; in >> word; ++k) {
      if (k % 3 == 0) words.insert(word);
    }
  }
  for (const char* extra : {"", "NOTEMPTY", "ASPIRINE", "500", "1000", "DOLIPRANE", "(S)", "L'", "\"A\"", ",",
                            "-", "ZZZZZZ", "MG/ML", "\xC9", " "}) {
    words.insert(extra);
  }
  ASSERT_GT(words.size(), 60u);
  for (const std::string& word : words) {
    for (const char* field : {"Designation", "Prix", "CIP"}) {
      const std::string pattern = "^.*" + word + ".*$";
      std::string dummy;
      if (!SplitContainsPattern(pattern, dummy)) continue;  // the pattern path is taken anyway
      ExpectSameBothWays(*table, field, pattern, 2);
    }
  }
  ExpectSameBothWays(*table, "Prix", "1,53 ET 12,50", 5);
  EXPECT_THAT(trace.Errors(), ::testing::IsEmpty());
}

}  // namespace
}  // namespace quillor
