// The similarity measure is checked against a loop-for-loop transcription of
// the greedy algorithm (cubic, obviously right) on random pairs chosen so that
// ties and repeated letters are frequent, and on the real catalogue.
#include "text/Similarity.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "tests/support/TestPaths.h"
#include "tests/support/TraceRecorder.h"
#include "text/Link.h"
#include "text/StringManager.h"
#include "text/TextLines.h"
#include "text/TranscribedSimilarity.h"

namespace quillor {
namespace {

std::string RandomText(std::mt19937& random, int alphabet, int maxLength) {
  std::uniform_int_distribution<int> length(0, maxLength);
  std::uniform_int_distribution<int> letter(0, alphabet - 1);
  std::string text(static_cast<size_t>(length(random)), ' ');
  for (char& c : text) c = static_cast<char>('a' + letter(random));
  return text;
}

TEST(StringSimilarity, SmallCasesByHand) {
  test::TraceRecorder trace;
  EXPECT_EQ(TStringManager::StringSimilarity("abc", "abc"), 100.0);
  EXPECT_EQ(TStringManager::StringSimilarity("aa", "a"), 200.0 / 3.0);
  EXPECT_EQ(TStringManager::StringSimilarity("", "abc"), 0.0);
  EXPECT_EQ(TStringManager::StringSimilarity("abc", ""), 0.0);
  EXPECT_EQ(TStringManager::StringSimilarity("", ""), 100.0);
  EXPECT_EQ(TStringManager::StringSimilarity("abc", "xyz"), 0.0);
  // Byte comparison: case and accents count, high bytes are ordinary bytes.
  EXPECT_EQ(TStringManager::StringSimilarity("abc", "ABC"), 0.0);
  EXPECT_EQ(TStringManager::StringSimilarity("cr\xE8me", "cr\xE8me"), 100.0);
  EXPECT_EQ(TStringManager::StringSimilarity("\xE9", "e"), 0.0);
  EXPECT_TRUE(trace.Boxes().empty());
}

TEST(StringSimilarity, IsGreedyNotTheLongestCommonSubsequence) {
  // "ab" / "bab": links (1,2) (2,1) (2,3) with first counts 2, 3, 2. The
  // first minimum in list order, (1,2), is chosen; (2,3) lies after it and
  // follows: two links.
  EXPECT_EQ(TStringManager::StringSimilarity("ab", "bab"), 200.0 * 2 / 5);
  // "acbab" / "babc": the first counts are (1,2):4 (2,4):6 (3,1):5 (3,3):6
  // (4,2):5 (5,1):7 (5,3):4. (1,2) wins the tie with (5,3) by list order and
  // leaves (2,4) (3,3) (5,3), whose totals become 9, 9, 7: (5,3) ends it.
  // Two links, where the longest common subsequence "bab" has three.
  EXPECT_EQ(TStringManager::StringSimilarity("acbab", "babc"), 200.0 * 2 / 9);
  EXPECT_EQ(TranscribedSimilarity("acbab", "babc"), 200.0 * 2 / 9);
}

TEST(StringSimilarity, ArgumentOrderCanChangeTheResult) {
  // Values from the transcription: the first text breaks the ties.
  EXPECT_EQ(TranscribedSimilarity("bbccb", "ccbc"), 200.0 * 2 / 9);
  EXPECT_EQ(TranscribedSimilarity("ccbc", "bbccb"), 200.0 * 3 / 9);
  EXPECT_EQ(TStringManager::StringSimilarity("bbccb", "ccbc"), 200.0 * 2 / 9);
  EXPECT_EQ(TStringManager::StringSimilarity("ccbc", "bbccb"), 200.0 * 3 / 9);
}

// Random pairs, both argument orders, in shards so that ctest can run them in
// parallel. Alphabets of one to six letters make ties and repeats the rule;
// lengths go to 40, but the smallest alphabets mostly stay shorter: their
// pairs have up to length x length / letters links and the transcription is
// cubic in them.
class RandomPairs : public ::testing::TestWithParam<int> {};

TEST_P(RandomPairs, MatchTheTranscription) {
  struct Mix {
    int alphabet;
    int maxLength;
  };
  static constexpr Mix kMixes[] = {{1, 6},  {1, 14}, {2, 8},  {2, 20}, {2, 32},  {3, 12}, {3, 28},
                                   {3, 34}, {4, 24}, {4, 40}, {6, 40}, {26, 40}, {2, 4},  {3, 6}};
  std::mt19937 random(static_cast<unsigned>(1000 + GetParam()));
  std::uniform_int_distribution<size_t> pickMix(0, std::size(kMixes) - 1);
  const int kPairs = 12500;
  int failures = 0;
  for (int n = 0; n < kPairs && failures < 10; ++n) {
    const Mix mix = kMixes[pickMix(random)];
    const std::string a = RandomText(random, mix.alphabet, mix.maxLength);
    const std::string b = RandomText(random, mix.alphabet, mix.maxLength);
    for (int order = 0; order < 2; ++order) {
      const std::string& first = order == 0 ? a : b;
      const std::string& second = order == 0 ? b : a;
      const double expected = TranscribedSimilarity(first, second);
      const double actual = TStringManager::StringSimilarity(first, second);
      if (actual != expected) {
        ++failures;
        ADD_FAILURE() << "\"" << first << "\" / \"" << second << "\": " << actual << " instead of "
                      << expected;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Shards, RandomPairs, ::testing::Range(0, 8));

TEST(StringSimilarity, LongTextsUseWiderCountersAndStayExact) {
  // Past a few hundred links the running totals no longer fit 16 bits.
  std::mt19937 random(42);
  for (int n = 0; n < 6; ++n) {
    const std::string a = std::string(50 + n, 'a') + RandomText(random, 2, 30);
    const std::string b = RandomText(random, 2, 30) + std::string(60, 'a');
    EXPECT_EQ(TStringManager::StringSimilarity(a, b), TranscribedSimilarity(a, b));
    EXPECT_EQ(TStringManager::StringSimilarity(b, a), TranscribedSimilarity(b, a));
  }
}

TEST(SimilarityScorer, EveryCounterWidthGivesTheSameResult) {
  // The widest counters serve only texts too long for the transcription, so
  // they are forced here on small ones.
  std::mt19937 random(11);
  for (const auto counters :
       {SimilarityScorer::Counters::k16, SimilarityScorer::Counters::k32, SimilarityScorer::Counters::k64}) {
    for (int n = 0; n < 200; ++n) {
      const std::string query = RandomText(random, 3, 12);
      SimilarityScorer scorer(query, counters);
      for (int m = 0; m < 3; ++m) {
        const std::string value = RandomText(random, 3, 12);
        ASSERT_EQ(scorer.Score(value), TranscribedSimilarity(query, value)) << query << " / " << value;
      }
    }
  }
}

TEST(SimilarityScorer, ReusedAcrossValuesOfEveryLength) {
  // Buffers grown for a long value must not leak into a shorter one, in a
  // scorer or in the one the static operation keeps between calls.
  std::mt19937 random(3);
  SimilarityScorer scorer("abcab");
  for (int n = 0; n < 300; ++n) {
    const std::string value = RandomText(random, 3, n % 3 == 0 ? 60 : 8);
    const double expected = TranscribedSimilarity("abcab", value);
    ASSERT_EQ(scorer.Score(value), expected) << value;
    ASSERT_EQ(TStringManager::StringSimilarity("abcab", value), expected) << value;
  }
  SimilarityScorer empty("");
  EXPECT_EQ(empty.Score(""), 100.0);
  EXPECT_EQ(empty.Score("abc"), 0.0);
}

std::vector<std::string> CatalogueDesignations() {
  TStringList lines;
  if (!ReadFileLines(test::RealCatalogue().string(), lines)) return {};
  std::vector<std::string> designations;
  for (size_t n = 1; n < lines.size(); ++n) {
    const std::string& line = lines[n];
    const size_t first = line.find(';');
    if (first == std::string::npos) continue;
    const size_t second = line.find(';', first + 1);
    designations.push_back(
        line.substr(first + 1, second == std::string::npos ? std::string::npos : second - first - 1));
  }
  return designations;
}

const std::vector<std::string>& Designations() {
  static const std::vector<std::string> designations = CatalogueDesignations();
  return designations;
}

class CatalogueQueries : public ::testing::TestWithParam<const char*> {};

TEST_P(CatalogueQueries, EveryDesignationMatchesTheTranscription) {
  const std::vector<std::string>& designations = Designations();
  ASSERT_GT(designations.size(), 17000u) << test::RealCatalogue();
  SimilarityScorer scorer(GetParam());
  int failures = 0;
  for (const std::string& designation : designations) {
    const double expected = TranscribedSimilarity(GetParam(), designation);
    const double actual = scorer.Score(designation);
    if (actual != expected && ++failures <= 10) {
      ADD_FAILURE() << designation << ": " << actual << " instead of " << expected;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Real, CatalogueQueries,
                         ::testing::Values("DOLIPRANE", "ASPIRINE 500", "AMOXICILLINE", "EFFERALGAN 1G",
                                           "IBUPROFENE 400 MG", "DOL", "MG ", "IBUPROFE", "SPASFON ",
                                           "PARACETAMOL 500", "CREME DERMIQUE 1", "KETOPROFENE GEL"));

}  // namespace
}  // namespace quillor
