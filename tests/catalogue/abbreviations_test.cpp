#include "catalogue/Abbreviations.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "tests/support/TempDir.h"
#include "tests/support/TestPaths.h"
#include "text/TextLines.h"

namespace quillor::catalogue {
namespace {

using enum AbbreviationKind;

// "kUnit" -> "unit" and so on, as data/README.md names the kinds.
std::string_view KindName(AbbreviationKind kind) {
  switch (kind) {
    case kUnit:
      return "unit";
    case kForm:
      return "form";
    case kFormFiller:
      return "form filler";
    case kContainer:
      return "container";
    case kCountUnit:
      return "count";
    case kMaterial:
      return "material";
    case kNameWord:
      return "name";
  }
  return "?";
}

std::string_view AbbreviationOf(std::string_view word, AbbreviationKind kind) {
  const Abbreviation* found = FindAbbreviation(word, kind);
  return found != nullptr ? found->abbreviation : "<none>";
}

TEST(Abbreviations, WordsAreFoundWithoutTheirPluralAndFeminineMarks) {
  EXPECT_EQ(AbbreviationOf("COMPRIME", kForm), "CPR");
  EXPECT_EQ(AbbreviationOf("COMPRIMES", kForm), "CPR");
  EXPECT_EQ(AbbreviationOf("COMPRIME(S)", kForm), "CPR");
  EXPECT_EQ(AbbreviationOf("EFFERVESCENTE", kForm), "EFF");
  EXPECT_EQ(AbbreviationOf("EFFERVESCENT(E)", kForm), "EFF");
  EXPECT_EQ(AbbreviationOf("PROLONGEES", kForm), "LP");
  EXPECT_EQ(AbbreviationOf("PLAQUETTE(S)", kContainer), "B");
  EXPECT_EQ(AbbreviationOf("SUPPOSITOIRE(S)", kCountUnit), "");
  EXPECT_EQ(AbbreviationOf("MICROGRAMMES", kUnit), "MCG");
  // A phrase: each word with its own marks.
  EXPECT_EQ(AbbreviationOf("UNITES INTERNATIONALES", kUnit), "UI");
  EXPECT_EQ(AbbreviationOf("POUR CENT", kUnit), "%");
  // The kind decides: a tablet is a form word and a counted unit, never a container.
  EXPECT_EQ(AbbreviationOf("COMPRIME", kContainer), "<none>");
  EXPECT_EQ(AbbreviationOf("DOLIPRANE", kNameWord), "<none>");
  EXPECT_EQ(AbbreviationOf("", kForm), "<none>");
  // Short words are not stripped into others: "AS" is not "A".
  EXPECT_EQ(AbbreviationOf("AS", kFormFiller), "<none>");
}

TEST(Abbreviations, OneEntryPerWordAndKindInUpperCaseAscii) {
  std::set<std::pair<std::string_view, AbbreviationKind>> seen;
  for (const Abbreviation& entry : AbbreviationTable()) {
    EXPECT_TRUE(seen.emplace(entry.word, entry.kind).second) << entry.word;
    for (char c : entry.word) EXPECT_FALSE(c >= 'a' && c <= 'z') << entry.word;
    for (char c : entry.abbreviation)
      EXPECT_TRUE(c > ' ' && c < 0x7F && !(c >= 'a' && c <= 'z')) << entry.word;
    // An abbreviation shortens (or keeps) the word, it never lengthens it.
    EXPECT_LE(entry.abbreviation.size(), entry.word.size()) << entry.word;
  }
}

// data/README.md documents the table: every row of the table there, and only those.
TEST(Abbreviations, TheReadmeOfTheDataListsExactlyTheTable) {
  TStringList lines;
  ASSERT_TRUE(ReadFileLines((quillor::test::DataDir() / "README.md").string(), lines));
  std::set<std::tuple<std::string, std::string, std::string>> documented;
  bool inTable = false;
  for (const std::string& line : lines) {
    if (line == "<!-- abbreviations -->") {
      inTable = true;
      continue;
    }
    if (line == "<!-- end of abbreviations -->") break;
    if (!inTable || line.rfind("| ", 0) != 0 || line.rfind("| word", 0) == 0 || line.rfind("| ---", 0) == 0) {
      continue;
    }
    std::vector<std::string> cells;
    size_t start = 1;
    while (start < line.size()) {
      const size_t bar = line.find('|', start);
      if (bar == std::string::npos) break;
      std::string cell = line.substr(start, bar - start);
      while (!cell.empty() && cell.front() == ' ') cell.erase(cell.begin());
      while (!cell.empty() && cell.back() == ' ') cell.pop_back();
      cells.push_back(cell);
      start = bar + 1;
    }
    ASSERT_EQ(cells.size(), 3u) << line;
    if (cells[1] == "(left out)") cells[1].clear();
    documented.emplace(cells[0], cells[1], cells[2]);
  }
  std::set<std::tuple<std::string, std::string, std::string>> table;
  for (const Abbreviation& entry : AbbreviationTable()) {
    table.emplace(std::string(entry.word), std::string(entry.abbreviation),
                  std::string(KindName(entry.kind)));
  }
  EXPECT_EQ(documented, table);
}

}  // namespace
}  // namespace quillor::catalogue
