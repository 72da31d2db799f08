// Which of the agency's lines holds for an article, when they contradict
// each other or repeat.
#include "knowledge/Availability.h"

#include <gtest/gtest.h>

namespace quillor {
namespace {

TAvailabilityRecord Line(const std::string& cis, const std::string& cip7, TAvailabilityStatus status,
                         const char* start, const char* update, const char* back = "") {
  TAvailabilityRecord record;
  record.cis = cis;
  record.cip7 = cip7;
  record.status = status;
  record.start = *ParseDayDate(start);
  record.update = *ParseDayDate(update);
  record.back = *back ? *ParseDayDate(back) : kNoDate;
  record.page = cis + "/" + cip7 + "/" + start;
  return record;
}

using S = TAvailabilityStatus;

TEST(Availability, AnArticleNoLineNamesIsAvailable) {
  const TAvailabilityIndex index({Line("1", "", S::kShortage, "01/01/2026", "02/01/2026")});
  EXPECT_EQ(index.Of("2", "1000001"), TArticleAvailability{});
  EXPECT_EQ(index.Of("2", "1000001").status, S::kAvailable);
  EXPECT_FALSE(index.Names("2", "1000001"));
  EXPECT_TRUE(index.Names("1", "1000001"));
}

TEST(Availability, ASpecialitysLineCoversEachOfItsPresentations) {
  const TAvailabilityIndex index({Line("1", "", S::kShortage, "01/01/2026", "02/01/2026")});
  for (const char* cip : {"1000001", "1000002"}) {
    const TArticleAvailability availability = index.Of("1", cip);
    EXPECT_EQ(availability.status, S::kShortage);
    EXPECT_EQ(FormatDayDate(availability.since), "01/01/2026");
    EXPECT_EQ(FormatDayDate(availability.update), "02/01/2026");
    EXPECT_EQ(availability.page, "1//01/01/2026");
  }
}

TEST(Availability, APresentationsOwnLineHoldsOverItsSpecialitysEvenWhenOlder) {
  const TAvailabilityIndex index({Line("1", "", S::kShortage, "01/03/2026", "10/05/2026"),
                                  Line("1", "1000002", S::kTension, "01/01/2025", "01/02/2025"),
                                  Line("1", "", S::kEnded, "01/01/2026", "01/01/2026")});
  EXPECT_EQ(index.Of("1", "1000002").status, S::kTension);
  EXPECT_EQ(index.Of("1", "1000001").status, S::kShortage);
  // A presentation's line says nothing of its siblings, nor of a presentation
  // of the same code under another speciality code.
  EXPECT_EQ(index.Of("9", "1000002").status, S::kTension);
}

TEST(Availability, TheLineUpdatedLastHoldsThenTheOneThatStartedLastThenTheFirst) {
  // As the agency's file has it for 61951090: a shortage updated after an
  // old tension.
  EXPECT_EQ(TAvailabilityIndex({Line("1", "", S::kTension, "02/11/2024", "04/12/2024"),
                                Line("1", "", S::kShortage, "09/01/2026", "15/04/2026")})
                .Of("1", "1")
                .status,
            S::kShortage);
  EXPECT_EQ(TAvailabilityIndex({Line("1", "", S::kShortage, "09/01/2026", "15/04/2026"),
                                Line("1", "", S::kTension, "02/11/2024", "04/12/2024")})
                .Of("1", "1")
                .status,
            S::kShortage)
      << "whatever their order";
  // As for 68901873: both updated on 07/01/2026; back in stock started last.
  const TArticleAvailability back =
      TAvailabilityIndex({Line("1", "", S::kBackInStock, "29/12/2025", "07/01/2026", "29/12/2025"),
                          Line("1", "", S::kShortage, "12/05/2025", "07/01/2026")})
          .Of("1", "1");
  EXPECT_EQ(back.status, S::kBackInStock);
  EXPECT_EQ(FormatDayDate(back.since), "29/12/2025");
  // The same line twice, or two lines alike in both dates: the first.
  const TArticleAvailability first =
      TAvailabilityIndex({Line("1", "", S::kTension, "27/11/2025", "18/02/2026"),
                          Line("1", "", S::kShortage, "27/11/2025", "18/02/2026")})
          .Of("1", "1");
  EXPECT_EQ(first.status, S::kTension);
  // Among a presentation's own lines, the same rules.
  EXPECT_EQ(TAvailabilityIndex({Line("1", "2", S::kTension, "30/01/2026", "30/04/2026"),
                                Line("1", "2", S::kBackInStock, "19/03/2026", "23/03/2026", "19/03/2026")})
                .Of("1", "2")
                .status,
            S::kTension);
}

TEST(Availability, BackInStockIsSinceTheDayItCameBack) {
  const TArticleAvailability back =
      TAvailabilityIndex({Line("1", "", S::kBackInStock, "15/12/2025", "29/01/2026", "20/12/2025")})
          .Of("1", "2");
  EXPECT_EQ(FormatDayDate(back.since), "20/12/2025");
}

TEST(Availability, WordsRanksAndWhatAsksFirst) {
  EXPECT_STREQ(StatusWord(S::kShortage), "rupture");
  EXPECT_STREQ(StatusWord(S::kTension), "tension");
  EXPECT_STREQ(StatusWord(S::kEnded), "arret");
  EXPECT_STREQ(StatusWord(S::kBackInStock), "remise");
  EXPECT_STREQ(StatusWord(S::kAvailable), "disponible");
  EXPECT_TRUE(AsksBeforeOrdering(S::kShortage));
  EXPECT_TRUE(AsksBeforeOrdering(S::kEnded));
  EXPECT_FALSE(AsksBeforeOrdering(S::kTension));
  EXPECT_FALSE(AsksBeforeOrdering(S::kBackInStock));
  EXPECT_EQ(AvailabilityRank(S::kAvailable), AvailabilityRank(S::kBackInStock));
  EXPECT_LT(AvailabilityRank(S::kBackInStock), AvailabilityRank(S::kTension));
  EXPECT_LT(AvailabilityRank(S::kTension), AvailabilityRank(S::kShortage));
  EXPECT_LT(AvailabilityRank(S::kShortage), AvailabilityRank(S::kEnded));
}

}  // namespace
}  // namespace quillor
