// What an update changed: articles added, withdrawn, prices changed.
#include <gtest/gtest.h>

#include "tests/update/UpdateFixtures.h"
#include "update/CatalogueChanges.h"

namespace quillor::update::test {
namespace {

TEST(CatalogueChangesTest, AddedWithdrawnAndRepricedArticlesAreCountedByCip) {
  const std::vector<TArticleRow> before = {{"3000001", "ASPIRINE 500MG CPR B/20", "2,10"},
                                           {"3000002", "DOLIPRANE 1000MG CPR B/8", "1,16"},
                                           {"3000003", "RETIRE 10MG CPR B/30", "4,00"},
                                           {"3000004", "SANS PRIX GEL T/50G", ""}};
  const std::vector<TArticleRow> after = {{"3000002", "DOLIPRANE 1000MG CPR B/8", "1,20"},
                                          {"3000001", "ASPIRINE 500MG CPR B/20 (NOUVEAU NOM)", "2,10"},
                                          {"3000004", "SANS PRIX GEL T/50G", "3,50"},
                                          {"3000005", "NOUVEAU 5MG CPR B/28", "9,99"}};
  const TCatalogueChanges changes = CompareCatalogues(before, after);
  EXPECT_EQ(changes.before, 4u);
  EXPECT_EQ(changes.after, 4u);
  EXPECT_EQ(changes.added, 1u);
  EXPECT_EQ(changes.withdrawn, 1u);
  EXPECT_EQ(changes.pricesChanged, 2u) << "a renamed article at the same price is no change of price";
  EXPECT_EQ(changes.addedExamples, (std::vector<std::string>{"NOUVEAU 5MG CPR B/28"}));
  EXPECT_EQ(changes.withdrawnExamples, (std::vector<std::string>{"RETIRE 10MG CPR B/30"}));
  EXPECT_EQ(changes.priceExamples,
            (std::vector<std::string>{"DOLIPRANE 1000MG CPR B/8 : 1,16 -> 1,20",
                                      "SANS PRIX GEL T/50G : " + Fr("sans prix") + " -> 3,50"}));
  EXPECT_EQ(ChangeLines(changes),
            (std::vector<std::string>{Fr("Articles : 4 avant, 4 maintenant"), Fr("Articles ajoutés : 1"),
                                      Fr("Articles retirés : 1"), Fr("Prix modifiés : 2"),
                                      Fr("Ruptures en cours : 0")}));
}

TEST(CatalogueChangesTest, ShortagesAreCountedPerArticleOfTheNewCatalogue) {
  const std::vector<TArticleRow> articles = {{"3000001", "A", "1"},
                                             {"3000002", "B", "1"},
                                             {"3000003", "C", "1"},
                                             {"3000004", "D", "1"},
                                             {"3000004", "D", "1"}};
  const std::vector<TArticleSpeciality> specialities = {
      {"3000001", "61111111"}, {"3000002", "62222222"}, {"3000003", "63333333"}, {"3000004", "64444444"}};
  auto line = [](const char* cis, const char* cip7, TAvailabilityStatus status) {
    return TAvailabilityRecord{cis, cip7, status, 20260101, 20260201, kNoDate, ""};
  };
  TAvailabilityFile before;
  before.records = {line("61111111", "", TAvailabilityStatus::kShortage),
                    line("62222222", "", TAvailabilityStatus::kShortage),
                    line("64444444", "", TAvailabilityStatus::kTension)};
  TAvailabilityFile after;
  after.records = {line("62222222", "", TAvailabilityStatus::kShortage),         // still
                   line("63333333", "3000003", TAvailabilityStatus::kShortage),  // started, this presentation
                   line("64444444", "", TAvailabilityStatus::kShortage),         // from tension to shortage
                   line("61111111", "", TAvailabilityStatus::kBackInStock)};     // ended
  TCatalogueChanges changes;
  CompareShortages(articles, specialities, &before, after, changes);
  EXPECT_TRUE(changes.shortagesCompared);
  EXPECT_EQ(changes.shortagesNow, 3u);
  EXPECT_EQ(changes.shortagesStarted, 2u);
  EXPECT_EQ(changes.shortagesEnded, 1u);
  const std::vector<std::string> lines = ChangeLines(changes);
  EXPECT_EQ(std::vector<std::string>(lines.end() - 2, lines.end()),
            (std::vector<std::string>{Fr("Ruptures commencées : 2"), Fr("Ruptures terminées : 1")}));
  // Without the availability before, only the shortages now are known.
  CompareShortages(articles, specialities, nullptr, after, changes);
  EXPECT_FALSE(changes.shortagesCompared);
  EXPECT_EQ(changes.shortagesNow, 3u);
  EXPECT_EQ(ChangeLines(changes).back(), Fr("Ruptures en cours : 3"));
}

TEST(CatalogueChangesTest, ACodeListedTwiceCountsOnceAndExamplesStayFew) {
  std::vector<TArticleRow> after;
  for (int i = 0; i < 10; ++i)
    after.push_back({std::to_string(4000000 + i), "ARTICLE " + std::to_string(i), "1"});
  after.push_back(after.front());
  const TCatalogueChanges changes = CompareCatalogues({}, after);
  EXPECT_EQ(changes.before, 0u);
  EXPECT_EQ(changes.after, 10u);
  EXPECT_EQ(changes.added, 10u);
  EXPECT_EQ(changes.addedExamples.size(), kExamples);
  const TCatalogueChanges none = CompareCatalogues(after, after);
  EXPECT_EQ(none.added + none.withdrawn + none.pricesChanged, 0u);
}

}  // namespace
}  // namespace quillor::update::test
