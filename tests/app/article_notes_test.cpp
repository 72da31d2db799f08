// What the window says of an article from the knowledge, without a window:
// marks, sentences, the question before ordering and its answers, the
// dates of the data and what could not be read.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "app/ArticleNotes.h"
#include "tests/support/TempDir.h"

namespace quillor {
namespace {

using ::testing::HasSubstr;

class ArticleNotesTest : public ::testing::Test {
 protected:
  ArticleNotesTest() {
    TSpecialitiesFile specialities;
    specialities.catalogueDate = *ParseDayDate("27/05/2026");
    specialities.specialities = {
        {"1", false, "CPR"}, {"2", true, "SOL"}, {"3", true, "SOL"}, {"4", false, "CPR"}};
    specialities.articles = {
        {"1000001", "1"}, {"1000002", "2"}, {"1000003", "3"}, {"1000004", "4"}, {"1000005", "4"}};
    TAvailabilityFile availability;
    availability.published = *ParseDayDate("19/05/2026");
    auto line = [](const char* cis, TAvailabilityStatus status, const char* page) {
      return TAvailabilityRecord{cis,
                                 "",
                                 status,
                                 *ParseDayDate("14/04/2026"),
                                 *ParseDayDate("18/05/2026"),
                                 *ParseDayDate("15/05/2026"),
                                 page};
    };
    availability.records = {line("1", TAvailabilityStatus::kShortage, "https://ansm/1"),
                            line("3", TAvailabilityStatus::kEnded, ""),
                            line("4", TAvailabilityStatus::kBackInStock, "")};
    std::string error;
    EXPECT_TRUE(WriteSpecialitiesFile((dir.Path() / kSpecialitiesFileName).string(), specialities, &error));
    EXPECT_TRUE(WriteAvailabilityFile((dir.Path() / kAvailabilityFileName).string(), availability, &error));
    knowledge.Load(dir.Path().string());
  }

  test::TempDir dir;
  TKnowledge knowledge;
};

TEST_F(ArticleNotesTest, EachStatusHasItsWordAndColoursAndHospitalUseIsAdded) {
  TRowMark mark;
  ASSERT_TRUE(ArticleMark(knowledge, "1000001", mark));
  EXPECT_EQ(mark.badge, "RUPTURE");
  EXPECT_EQ(mark.background, 0x00D6D6FFu);
  TRowMark hospital;
  ASSERT_TRUE(ArticleMark(knowledge, "1000002", hospital));
  EXPECT_EQ(hospital.badge, "H\xD4PITAL");
  TRowMark both;
  ASSERT_TRUE(ArticleMark(knowledge, "1000003", both));
  EXPECT_EQ(both.badge, "ARR\xCAT \xB7 H\xD4P") << "the status first, its colours";
  EXPECT_EQ(both.background, 0x00E1E1E1u);
  EXPECT_NE(mark.badgeColor, both.badgeColor);
  EXPECT_NE(hospital.badgeColor, both.badgeColor);
  TRowMark none;
  EXPECT_FALSE(ArticleMark(knowledge, "1000004", none)) << "back in stock is not marked";
  EXPECT_FALSE(ArticleMark(knowledge, "9999999", none));
  EXPECT_FALSE(ArticleMark(knowledge, "", none));
}

TEST_F(ArticleNotesTest, SentencesAndTooltipsSayWhatAndSinceWhen) {
  EXPECT_EQ(AvailabilitySentence(knowledge.AvailabilityOf("1000001")),
            "Rupture de stock depuis le 14/04/2026");
  EXPECT_EQ(AvailabilitySentence(knowledge.AvailabilityOf("1000003")),
            "Arr\xEAt de commercialisation depuis le 14/04/2026");
  EXPECT_EQ(AvailabilitySentence(knowledge.AvailabilityOf("1000004")),
            "Remis \xE0 disposition le 15/05/2026");
  EXPECT_EQ(AvailabilitySentence(knowledge.AvailabilityOf("1000002")), "Disponible");
  EXPECT_EQ(ArticleTooltip(knowledge, "1000001"),
            "Rupture de stock depuis le 14/04/2026 (ANSM, mise \xE0 jour du 18/05/2026)\n"
            "https://ansm/1\n"
            "\xC9quivalents : F4 ou clic droit");
  EXPECT_EQ(ArticleTooltip(knowledge, "1000002"),
            "R\xE9serv\xE9 \xE0 l'usage hospitalier\n\xC9quivalents : F4 ou clic droit");
}

TEST_F(ArticleNotesTest, TheQuestionCountsTheEquivalentsAndItsChoicesMapToAnswers) {
  const std::string question =
      OrderQuestion("1000001", "ARTICLE 1", knowledge.AvailabilityOf("1000001"), 3, 1);
  EXPECT_THAT(question, HasSubstr("1000001  ARTICLE 1\n\nRupture de stock depuis le 14/04/2026.\n"));
  EXPECT_THAT(question, HasSubstr("3 \xE9quivalents, dont 1 disponible."));
  EXPECT_THAT(OrderQuestion("1", "A", {}, 1, 0), HasSubstr("1 \xE9quivalent, dont 0 disponibles."));
  EXPECT_THAT(OrderQuestion("1", "A", {}, 0, 0), HasSubstr("Aucun \xE9quivalent connu."));

  EXPECT_EQ(OrderChoices(2).size(), 3u);
  EXPECT_EQ(OrderAnswerOf(0, 2), TOrderAnswer::kShowEquivalents) << "the default adds nothing";
  EXPECT_EQ(OrderAnswerOf(1, 2), TOrderAnswer::kAdd);
  EXPECT_EQ(OrderAnswerOf(2, 2), TOrderAnswer::kCancel);
  EXPECT_EQ(OrderChoices(0).size(), 2u);
  EXPECT_EQ(OrderAnswerOf(0, 0), TOrderAnswer::kAdd);
  EXPECT_EQ(OrderAnswerOf(1, 0), TOrderAnswer::kCancel);
}

TEST_F(ArticleNotesTest, TheDatesAndWhatCouldNotBeRead) {
  EXPECT_EQ(DataDates(knowledge), "Catalogue du 27/05/2026 \x97 disponibilit\xE9s du 19/05/2026");
  EXPECT_EQ(KnowledgeProblems(knowledge), "");
  EXPECT_THAT(CompositionsProblem(knowledge), HasSubstr("Compositions.txt absent"));

  std::filesystem::remove(dir.Path() / kAvailabilityFileName);
  knowledge.Load(dir.Path().string());
  EXPECT_EQ(DataDates(knowledge), "Catalogue du 27/05/2026");
  EXPECT_THAT(KnowledgeProblems(knowledge),
              HasSubstr("Disponibilites.txt absent : les ruptures de stock ne sont pas signal\xE9"
                        "es."));

  std::filesystem::remove(dir.Path() / kSpecialitiesFileName);
  knowledge.Load(dir.Path().string());
  EXPECT_EQ(DataDates(knowledge), "");
  const std::string problems = KnowledgeProblems(knowledge);
  EXPECT_THAT(problems, HasSubstr("Specialites.txt absent : ni disponibilit\xE9s"));
  EXPECT_THAT(problems, ::testing::Not(HasSubstr("Disponibilites.txt"))) << "one sentence says it all";
  EXPECT_EQ(CompositionsProblem(knowledge), "");
}

TEST_F(ArticleNotesTest, TheCaptionOfAnEquivalentsListSaysWhatItIsAndTheWayBack) {
  TEquivalents groups{TEquivalents::TBasis::kGroups, {1, 2}};
  EXPECT_EQ(EquivalentsCaption("1000001", "ARTICLE 1", groups),
            "\xC9quivalents de 1000001 ARTICLE 1 (groupe g\xE9n\xE9rique), disponibles d'abord \x97 \xC9"
            "chap : retour");
  TEquivalents none{TEquivalents::TBasis::kComposition, {}};
  EXPECT_THAT(EquivalentsCaption("1000001", "ARTICLE 1", none),
              HasSubstr("Aucun \xE9quivalent connu de 1000001"));
  TEquivalents unknown;
  EXPECT_THAT(EquivalentsCaption("1000001", "ARTICLE 1", unknown), HasSubstr("inconnu"));
}

}  // namespace
}  // namespace quillor
