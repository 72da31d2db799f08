// The bundled knowledge files (made from the May 2026 publication) with the
// bundled catalogue: the search by substance and the equivalents, each
// checked against a plain reading of the publication's raw files in
// ../shared made here. A lone clone has no raw files: these tests then skip.
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>

#include "database/Database.h"
#include "knowledge/Knowledge.h"
#include "tests/support/PlainExport.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestPaths.h"
#include "text/TextLines.h"

namespace quillor {
namespace {

using test::RawExportDir;

// --- the plain reading (of the raw files: tests/support/PlainExport.h) ---------------------------

// Upper case without accents, from Windows-1252.
std::string Plain(const std::string& text) {
  static const std::map<unsigned char, char> kLetters = {
      {0xC0, 'A'}, {0xC2, 'A'}, {0xC4, 'A'}, {0xC7, 'C'}, {0xC8, 'E'}, {0xC9, 'E'}, {0xCA, 'E'}, {0xCB, 'E'},
      {0xCE, 'I'}, {0xCF, 'I'}, {0xD4, 'O'}, {0xD6, 'O'}, {0xD9, 'U'}, {0xDB, 'U'}, {0xDC, 'U'}, {0xE0, 'A'},
      {0xE2, 'A'}, {0xE4, 'A'}, {0xE7, 'C'}, {0xE8, 'E'}, {0xE9, 'E'}, {0xEA, 'E'}, {0xEB, 'E'}, {0xEE, 'I'},
      {0xEF, 'I'}, {0xF4, 'O'}, {0xF6, 'O'}, {0xF9, 'U'}, {0xFB, 'U'}, {0xFC, 'U'}};
  std::string plain;
  for (char c : text) {
    const auto found = kLetters.find(static_cast<unsigned char>(c));
    plain += found != kLetters.end() ? found->second
                                     : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  return plain;
}

std::vector<std::string> NameWords(const std::string& name) {
  std::vector<std::string> words(1);
  for (char c : Plain(name)) {
    if (std::string(" '-()[],/").find(c) != std::string::npos) {
      if (!words.back().empty()) words.emplace_back();
    } else {
      words.back() += c;
    }
  }
  if (words.back().empty()) words.pop_back();
  return words;
}

// The dosage's number as written and, for a mass, in milligrams.
struct PlainDosage {
  double number = -1;
  double milligrams = -1;
};

PlainDosage ReadDosage(const std::string& text) {
  static const std::regex kDosage(R"(^\s*(\d+(?: \d{3})*)(?:,(\d+))?\s*([^ (]*))");
  std::smatch match;
  PlainDosage dosage;
  if (!std::regex_search(text, match, kDosage)) return dosage;
  std::string digits = match[1].str();
  digits.erase(std::remove(digits.begin(), digits.end(), ' '), digits.end());
  dosage.number = std::stod(digits + (match[2].matched ? "." + match[2].str() : ""));
  const std::string unit = Plain(match[3].str());
  if (unit == "MG") dosage.milligrams = dosage.number;
  if (unit == "G") dosage.milligrams = dosage.number * 1000;
  if (unit == "MICROGRAMMES" || unit == "\xB5G") dosage.milligrams = dosage.number / 1000;
  return dosage;
}

// The substances of the raw composition file: an SA line and the FT line of
// its element and link number together.
struct PlainSubstance {
  std::string cis;
  std::vector<std::string> words;
  std::vector<PlainDosage> dosages;
};

const std::vector<PlainSubstance>& RawSubstances() {
  static const std::vector<PlainSubstance> substances = [] {
    std::map<std::tuple<std::string, std::string, std::string>, PlainSubstance> byKey;
    for (const auto& row : test::PlainExportRows(RawExportDir("2026-05") / "CIS_COMPO_bdpm.txt")) {
      PlainSubstance& substance = byKey[{row[0], row[1], row[7]}];
      substance.cis = row[0];
      for (const std::string& word : NameWords(row[3])) substance.words.push_back(word);
      substance.dosages.push_back(ReadDosage(row[4]));
    }
    std::vector<PlainSubstance> all;
    for (auto& [key, substance] : byKey) all.push_back(std::move(substance));
    return all;
  }();
  return substances;
}

// A clause: the beginning of a name's word (empty: any) and milligrams, or a
// number as written when `asWritten`.
struct PlainClause {
  std::string word;
  double value = -1;
  bool asWritten = false;
};

bool SubstanceMatches(const PlainSubstance& substance, const PlainClause& clause) {
  const bool named =
      clause.word.empty() || std::any_of(substance.words.begin(), substance.words.end(),
                                         [&](const std::string& w) { return w.rfind(clause.word, 0) == 0; });
  if (!named) return false;
  if (clause.value < 0) return true;
  return std::any_of(substance.dosages.begin(), substance.dosages.end(), [&](const PlainDosage& d) {
    return std::abs(d.milligrams - clause.value) < 1e-9 ||
           (clause.asWritten && std::abs(d.number - clause.value) < 1e-9);
  });
}

// The specialities every clause matches a substance of.
std::set<std::string> PlainMatches(const std::vector<PlainClause>& clauses) {
  std::map<std::string, size_t> matchedClauses;
  for (size_t i = 0; i < clauses.size(); ++i) {
    std::set<std::string> found;
    for (const PlainSubstance& substance : RawSubstances()) {
      if (SubstanceMatches(substance, clauses[i])) found.insert(substance.cis);
    }
    for (const std::string& cis : found) ++matchedClauses[cis];
  }
  std::set<std::string> all;
  for (const auto& [cis, count] : matchedClauses) {
    if (count == clauses.size()) all.insert(cis);
  }
  return all;
}

// --- the bundled catalogue and knowledge ---------------------------------------------------------

struct Bundled {
  std::unique_ptr<TMyDatabase> table;
  TKnowledge knowledge;
  std::map<std::string, std::string> specialityOf;  // CIP7 -> CIS, read plainly from CIS_CIP_bdpm.txt
  std::map<std::string, int32_t> recordOf;          // CIP7 -> record
};

Bundled& TheBundled() {
  static Bundled* bundled = [] {
    auto* made = new Bundled;
    made->table = TMyDatabase::CreateFromList(SplitLines(test::TempDir::Read(test::RealCatalogue())));
    made->knowledge.Load(test::DataDir().string());
    for (const auto& row : test::PlainExportRows(RawExportDir("2026-05") / "CIS_CIP_bdpm.txt"))
      made->specialityOf[row[1]] = row[0];
    for (int32_t record = 0; record < made->table->RecordCount(); ++record)
      made->recordOf[made->table->DBGetString(0, record)] = record;
    return made;
  }();
  return *bundled;
}

std::set<std::string> ArticlesOf(const std::set<std::string>& specialities, const std::string& leftOut = "") {
  std::set<std::string> articles;
  for (const auto& [cip, record] : TheBundled().recordOf) {
    const auto cis = TheBundled().specialityOf.find(cip);
    if (cis != TheBundled().specialityOf.end() && specialities.count(cis->second) && cip != leftOut)
      articles.insert(cip);
  }
  return articles;
}

std::vector<std::string> Searched(const std::string& query) {
  Bundled& bundled = TheBundled();
  EXPECT_TRUE(bundled.knowledge.SearchBySubstance(*bundled.table, query));
  std::vector<std::string> codes;
  for (int32_t record : bundled.table->Selection()) codes.push_back(bundled.table->DBGetString(0, record));
  return codes;
}

std::set<std::string> AsSet(const std::vector<std::string>& codes) {
  return {codes.begin(), codes.end()};
}

std::vector<std::string> Designations(const std::vector<std::string>& codes) {
  std::vector<std::string> designations;
  for (const std::string& code : codes)
    designations.push_back(TheBundled().table->DBGetString(1, TheBundled().recordOf.at(code)));
  return designations;
}

TEST(PublishedData, TheKnowledgeFilesAreReadWhole) {
  QUILLOR_REQUIRE_2026_EXPORT(dir);
  TKnowledge& knowledge = TheBundled().knowledge;
  EXPECT_TRUE(knowledge.SpecialitiesReport().Usable());
  EXPECT_TRUE(knowledge.SpecialitiesReport().badLines.empty());
  EXPECT_TRUE(knowledge.AvailabilityReport().Usable());
  EXPECT_TRUE(knowledge.CompositionsReport().Usable());
  EXPECT_TRUE(knowledge.CompositionsReport().badLines.empty());
  EXPECT_EQ(FormatDayDate(knowledge.CatalogueDate()), "27/05/2026");
  EXPECT_EQ(FormatDayDate(knowledge.AvailabilityDate()), "19/05/2026");
  for (const auto& [cip, record] : TheBundled().recordOf) ASSERT_TRUE(knowledge.KnowsArticle(cip)) << cip;
}

TEST(PublishedData, ParacetamolAt1000MgFindsTheBrandsAndTheGenerics) {
  QUILLOR_REQUIRE_2026_EXPORT(dir);
  const std::vector<std::string> found = Searched("PARACETAMOL 1000");
  EXPECT_EQ(AsSet(found), ArticlesOf(PlainMatches({{"PARACETAMOL", 1000, true}})));
  std::set<std::string> names;
  for (const std::string& designation : Designations(found))
    names.insert(designation.substr(0, designation.find(' ')));
  for (const char* brand : {"DOLIPRANE", "DAFALGAN", "EFFERALGAN", "PARACETAMOL"})
    EXPECT_EQ(names.count(brand), 1u) << brand;
  // In designation order, as the exact search lists.
  const std::vector<std::string> designations = Designations(found);
  EXPECT_TRUE(std::is_sorted(designations.begin(), designations.end()))
      << "designations of plain letters and digits";
  // Grams, milligrams, a unit apart or glued: one dosage.
  EXPECT_EQ(AsSet(Searched("PARACETAMOL 1G")), AsSet(Searched("PARACETAMOL 1000 MG")));
  EXPECT_EQ(AsSet(Searched("PARACETAMOL 1G")), ArticlesOf(PlainMatches({{"PARACETAMOL", 1000, false}})));
  EXPECT_EQ(AsSet(Searched("PARACETAMOL 0,5G")), ArticlesOf(PlainMatches({{"PARACETAMOL", 500, false}})));
  EXPECT_EQ(AsSet(Searched("paracetamol 1000")), AsSet({})) << "the window folds the query first";
}

TEST(PublishedData, ASaltIsFoundByTheFractionItIsExpressedAs) {
  QUILLOR_REQUIRE_2026_EXPORT(dir);
  const std::set<std::string> found = AsSet(Searched("AMLODIPINE 5"));
  EXPECT_EQ(found, ArticlesOf(PlainMatches({{"AMLODIPINE", 5, true}})));
  // BESILATE D'AMLODIPINE, whose 5 mg are written on its fraction's line.
  std::set<std::string> besilate;
  std::set<std::string> ofSalt;
  for (const auto& row : test::PlainExportRows(RawExportDir("2026-05") / "CIS_COMPO_bdpm.txt")) {
    if (Plain(row[3]) == "BESILATE D'AMLODIPINE" && row[6] == "SA" && ReadDosage(row[4]).milligrams != 5)
      ofSalt.insert(row[0]);
  }
  ASSERT_FALSE(ofSalt.empty());
  size_t foundOfSalt = 0;
  for (const std::string& cip : ArticlesOf(ofSalt)) foundOfSalt += found.count(cip);
  EXPECT_GT(foundOfSalt, 20u);
  EXPECT_TRUE(Searched("BESILATE 5").size() >= foundOfSalt);
}

TEST(PublishedData, NumbersBeforeAndAfterWordsAndCombinations) {
  QUILLOR_REQUIRE_2026_EXPORT(dir);
  EXPECT_EQ(AsSet(Searched("PARACETAMOL 500 CODEINE 30")),
            ArticlesOf(PlainMatches({{"PARACETAMOL", 500, true}, {"CODEINE", 30, true}})));
  EXPECT_FALSE(Searched("PARACETAMOL 500 CODEINE 30").empty());
  EXPECT_TRUE(Searched("PARACETAMOL 30 CODEINE 500").empty()) << "each number is its word's substance's";
  // First, a number applies to any substance.
  EXPECT_EQ(AsSet(Searched("30 PARACETAMOL")),
            ArticlesOf(PlainMatches({{"", 30, true}, {"PARACETAMOL", -1, false}})));
  const std::set<std::string> after = AsSet(Searched("PARACETAMOL 1000"));
  const std::set<std::string> before = AsSet(Searched("1000 PARACETAMOL"));
  EXPECT_TRUE(std::includes(before.begin(), before.end(), after.begin(), after.end()));
  EXPECT_EQ(AsSet(Searched("IBUPROFENE 400")), ArticlesOf(PlainMatches({{"IBUPROFENE", 400, true}})));
  EXPECT_EQ(AsSet(Searched("ACIDE ACETYLSALICYLIQUE 75")),
            ArticlesOf(PlainMatches({{"ACIDE", -1, false}, {"ACETYLSALICYLIQUE", 75, true}})));
}

// The articles that stand in a generic group with the article's speciality,
// read plainly from the register.
std::set<std::string> PlainGroupEquivalents(const std::string& cip) {
  const std::string cis = TheBundled().specialityOf.at(cip);
  const auto rows = test::PlainExportRows(RawExportDir("2026-05") / "CIS_GENER_bdpm.txt");
  std::set<std::string> groups;
  for (const auto& row : rows) {
    if (row[2] == cis) groups.insert(row[0]);
  }
  std::set<std::string> members;
  for (const auto& row : rows) {
    if (groups.count(row[0])) members.insert(row[2]);
  }
  return ArticlesOf(members, cip);
}

TEST(PublishedData, TheEquivalentsOfAGenericAreItsGroupsArticlesAvailableFirst) {
  QUILLOR_REQUIRE_2026_EXPORT(dir);
  Bundled& bundled = TheBundled();
  const std::string quetiapine = "3010124";
  ASSERT_EQ(bundled.table->DBGetString(1, bundled.recordOf.at(quetiapine)),
            "QUETIAPINE EVOLUGEN LP 400MG CPR B/30");
  const TEquivalents equivalents = bundled.knowledge.EquivalentsOf(*bundled.table, quetiapine);
  EXPECT_EQ(equivalents.basis, TEquivalents::TBasis::kGroups);
  std::vector<std::string> codes;
  for (int32_t record : equivalents.records) codes.push_back(bundled.table->DBGetString(0, record));
  EXPECT_EQ(AsSet(codes), PlainGroupEquivalents(quetiapine));
  EXPECT_GT(codes.size(), 10u);
  for (const std::string& designation : Designations(codes))
    EXPECT_TRUE(designation.find("400") != std::string::npos) << designation;
  // Ranks never go back, and within a rank designations go up.
  int32_t rank = 0;
  std::string last;
  for (const std::string& code : codes) {
    const int32_t now = AvailabilityRank(bundled.knowledge.AvailabilityOf(code).status);
    ASSERT_GE(now, rank) << code;
    const std::string designation = bundled.table->DBGetString(1, bundled.recordOf.at(code));
    if (now == rank) {
      EXPECT_LE(last, designation);
    }
    rank = now;
    last = designation;
  }
}

TEST(PublishedData, ASpecialityInTwoGroupsHasTheArticlesOfBoth) {
  QUILLOR_REQUIRE_2026_EXPORT(dir);
  Bundled& bundled = TheBundled();
  std::string metformin;
  for (const auto& [cip, cis] : bundled.specialityOf) {
    if (cis == "69448283" && bundled.recordOf.count(cip)) metformin = cip;
  }
  ASSERT_FALSE(metformin.empty()) << "an article of 69448283, in the metformin 500 and 1000 groups";
  const TEquivalents equivalents = bundled.knowledge.EquivalentsOf(*bundled.table, metformin);
  std::set<std::string> codes;
  for (int32_t record : equivalents.records) codes.insert(bundled.table->DBGetString(0, record));
  EXPECT_EQ(codes, PlainGroupEquivalents(metformin));
  bool has500 = false;
  bool has1000 = false;
  for (const std::string& code : codes) {
    const std::string designation = bundled.table->DBGetString(1, bundled.recordOf.at(code));
    has500 = has500 || designation.find(" 500") != std::string::npos;
    has1000 = has1000 || designation.find(" 1000") != std::string::npos;
  }
  EXPECT_TRUE(has500 && has1000);
}

TEST(PublishedData, OutsideAnyGroupEquivalentsShareSubstancesDosagesAndForm) {
  QUILLOR_REQUIRE_2026_EXPORT(dir);
  Bundled& bundled = TheBundled();
  // DOLIPRANE 1000 mg, comprimé: in no generic group.
  const TEquivalents equivalents = bundled.knowledge.EquivalentsOf(*bundled.table, "3595583");
  EXPECT_EQ(equivalents.basis, TEquivalents::TBasis::kComposition);
  ASSERT_FALSE(equivalents.records.empty());
  const std::set<std::string> plain1000 = ArticlesOf(PlainMatches({{"PARACETAMOL", 1000, false}}));
  for (int32_t record : equivalents.records) {
    const std::string code = bundled.table->DBGetString(0, record);
    EXPECT_EQ(plain1000.count(code), 1u) << bundled.table->DBGetString(1, record);
    EXPECT_NE(code, "3595583");
  }
}

}  // namespace
}  // namespace quillor
