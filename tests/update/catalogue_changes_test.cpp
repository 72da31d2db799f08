// What an update changed: articles added, withdrawn, prices changed.
#include <gtest/gtest.h>

#include "CatalogueChanges.h"
#include "UpdateFixtures.h"

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
                                      Fr("Articles retirés : 1"), Fr("Prix modifiés : 2")}));
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
