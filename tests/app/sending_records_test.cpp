// Below the window, without one: what the disk holds of a sending (the mark
// while it is under way, the journal's copy for each outcome) and the draft
// keeper working on the order's texts.
#include <gmock/gmock.h>

#include <ctime>
#include <filesystem>

#include "app/DraftKeeper.h"
#include "app/SendingRecords.h"
#include "tests/support/TempDir.h"
#include "text/DurableFile.h"

namespace quillor::test {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::StartsWith;

constexpr std::time_t kMoment = 1767600245;

TSendingMark SampleMark() {
  TSendingMark mark;
  mark.moment = kMoment;
  mark.order.address = "Pharmacie\nfin\n";
  mark.order.message = "Bonjour,\n\ncopie 3\n2  3400001  ASPIRINE";
  mark.message = "From: a@b\r\n\r\nPharmacie\r\n2  3400001  ASPIRINE\r\n";
  return mark;
}

TEST(SendingMarkFormat, AnyTextSurvivesAndACutMarkIsRefused) {
  const TSendingMark mark = SampleMark();
  const std::string bytes = EncodeSendingMark(mark);
  EXPECT_EQ(DecodeSendingMark(bytes), mark);
  for (size_t cut = 0; cut < bytes.size(); ++cut)
    EXPECT_FALSE(DecodeSendingMark(bytes.substr(0, cut))) << cut;
  EXPECT_FALSE(DecodeSendingMark(bytes + "x"));
  EXPECT_FALSE(DecodeSendingMark("Quillor envoi 1\nmoment 2\n-1\nfin\n"));
}

class SendingRecordsTest : public ::testing::Test {
 protected:
  fs::path Mark() const { return dir.Path() / "EnvoiEnCours.txt"; }
  fs::path Journal() const { return dir.Path() / "Commandes"; }
  std::vector<fs::path> JournalFiles() const {
    std::vector<fs::path> files;
    std::error_code missing;
    for (const auto& entry : fs::directory_iterator(Journal(), missing)) files.push_back(entry.path());
    return files;
  }
  // Leaves the mark, then finishes with `outcome`; the one journal file, if any.
  std::optional<std::string> BeginAndFinish(const TSendingOutcome& outcome) {
    std::string error;
    EXPECT_TRUE(records.Begin(mark, &error)) << error;
    EXPECT_EQ(DecodeSendingMark(TempDir::Read(Mark())), mark);
    const TSendingRecords::TFinished finished = records.Finish(outcome, mark);
    EXPECT_EQ(finished.markError, "");
    EXPECT_EQ(finished.journalError, "");
    EXPECT_FALSE(fs::exists(Mark())) << "the mark outlived its sending";
    return finished.journalFile;
  }

  TempDir dir;
  TSendingRecords records{Mark().string(), Journal().string()};
  TSendingMark mark = SampleMark();
};

TEST_F(SendingRecordsTest, EachOutcomeKeepsTheCopyThatFitsIt) {
  TSendingOutcome sent;
  sent.result = TSendingResult::kSent;
  sent.copy.Lines = {"From: a@b", "", "stored"};
  const auto sentFile = BeginAndFinish(sent);
  ASSERT_TRUE(sentFile);
  EXPECT_EQ(fs::path(*sentFile).filename(),
            TOrderJournal::FileNameFor(kMoment, TOrderJournal::TState::kSent));
  EXPECT_EQ(TempDir::Read(*sentFile), "From: a@b\r\n\r\nstored\r\n") << "exactly what the server stored";

  TSendingOutcome notSent;
  notSent.result = TSendingResult::kNotSent;
  notSent.reason = "serveur injoignable (Connection refused)";
  const auto notSentFile = BeginAndFinish(notSent);
  ASSERT_TRUE(notSentFile);
  EXPECT_EQ(TempDir::Read(*notSentFile),
            "X-Quillor-Etat: non envoyee\r\n"
            "X-Quillor-Raison: serveur injoignable (Connection refused)\r\n" +
                mark.message);

  TSendingOutcome unknown;
  unknown.result = TSendingResult::kUnknown;
  unknown.reason = "pas de r\xE9ponse du serveur dans le d\xE9lai";
  unknown.copy.Lines = {"From: a@b", "", "went"};
  const auto unknownFile = BeginAndFinish(unknown);
  ASSERT_TRUE(unknownFile);
  EXPECT_THAT(*unknownFile, HasSubstr("_a-verifier.eml"));
  EXPECT_EQ(TempDir::Read(*unknownFile),
            "X-Quillor-Etat: a verifier\r\n"
            "X-Quillor-Raison: pas de reponse du serveur dans le delai\r\n"
            "From: a@b\r\n\r\nwent\r\n");

  TSendingOutcome cancelled;
  cancelled.result = TSendingResult::kCancelled;
  EXPECT_FALSE(BeginAndFinish(cancelled));
  EXPECT_EQ(JournalFiles().size(), 3u);
}

TEST_F(SendingRecordsTest, AMarkThatCannotBeLeftIsReportedAndAMarkLeftBehindIsFound) {
  dir.Write("blocked", "");
  const TSendingRecords blocked((dir.Path() / "blocked" / "EnvoiEnCours.txt").string(), Journal().string());
  std::string error;
  EXPECT_FALSE(blocked.Begin(mark, &error));
  EXPECT_FALSE(error.empty());

  std::string unreadable;
  EXPECT_FALSE(records.Interrupted(&unreadable)) << "no mark, no interrupted sending";
  ASSERT_TRUE(records.Begin(mark, &error));
  const std::optional<TSendingMark> found = records.Interrupted(&unreadable);
  ASSERT_TRUE(found);
  EXPECT_EQ(*found, mark);
  EXPECT_EQ(unreadable, "");
}

TEST_F(SendingRecordsTest, AnInterruptedSendingKeepsItsMarkUntilTheJournalHoldsIt) {
  std::string error;
  ASSERT_TRUE(records.Begin(mark, &error));
  {
    // The journal cannot take the copy: the mark stays for the next start.
    SetDurableFaultForTesting([](TDurableStep step) { return step == TDurableStep::kSyncFile ? EIO : 0; });
    const TSendingRecords::TFinished finished = records.FinishInterrupted(mark, "arr\xEAt \x80\n");
    SetDurableFaultForTesting({});
    EXPECT_FALSE(finished.journalFile);
    EXPECT_FALSE(finished.journalError.empty());
  }
  EXPECT_TRUE(fs::exists(Mark()));
  const TSendingRecords::TFinished finished = records.FinishInterrupted(mark, "arr\xEAt \x80\n");
  ASSERT_TRUE(finished.journalFile);
  EXPECT_EQ(fs::path(*finished.journalFile).filename(),
            TOrderJournal::FileNameFor(kMoment, TOrderJournal::TState::kToVerify));
  EXPECT_THAT(TempDir::Read(*finished.journalFile),
              StartsWith("X-Quillor-Etat: a verifier\r\nX-Quillor-Raison: arret ? \r\n"));
  EXPECT_FALSE(fs::exists(Mark()));
}

// --- the draft keeper on texts -----------------------------------------------------------------

class DraftKeeperTest : public ::testing::Test {
 protected:
  std::string DraftFile() const { return (dir.Path() / "Brouillon.txt").string(); }
  std::unique_ptr<TDraftKeeper> NewKeeper() {
    return std::make_unique<TDraftKeeper>(
        DraftFile(), [this](const std::string& reason) { failures.push_back(reason); }, [] {});
  }
  std::optional<TOrderDraft> OnDisk() const {
    std::string error;
    return LoadOrderDraft(DraftFile(), &error);
  }

  TempDir dir;
  std::vector<std::string> failures;
  const TOrderTexts baseline{"Pharmacie\n", "Bonjour,\n"};
};

TEST_F(DraftKeeperTest, KeepsWhatDiffersFromTheBaselineAndNothingElse) {
  auto keeper = NewKeeper();
  EXPECT_FALSE(keeper->RestoreAndStart(baseline, kMoment));
  keeper->Changed({"Pharmacie\n", "Bonjour,\n2  3400001  ASPIRINE"});
  keeper->SaveNow();
  ASSERT_TRUE(OnDisk());
  EXPECT_EQ(OnDisk()->message, "Bonjour,\n2  3400001  ASPIRINE");
  keeper->Changed({"Pharmacie\nArles", "Bonjour,\n"});
  keeper->SaveNow();
  ASSERT_TRUE(OnDisk());
  EXPECT_FALSE(OnDisk()->message) << "the opening lines alone are not kept";
  EXPECT_EQ(OnDisk()->address, "Pharmacie\nArles");
  keeper->Changed(baseline);
  keeper->SaveNow();
  EXPECT_FALSE(fs::exists(DraftFile()));

  // After a sending the message on screen is the new baseline.
  keeper->Changed({"Pharmacie\n", "Bonjour,\nsent order"});
  keeper->StartAfresh({"Pharmacie\n", "Bonjour,\nsent order"});
  EXPECT_FALSE(fs::exists(DraftFile()));
  EXPECT_TRUE(failures.empty());

  keeper->Changed({"Pharmacie\n", "next order"});
  keeper->SaveNow();
  auto next = NewKeeper();
  const std::optional<TOrderDraft> restored = next->RestoreAndStart(baseline, kMoment);
  ASSERT_TRUE(restored);
  EXPECT_EQ(restored->message, "next order");
  next->Discard();
  EXPECT_FALSE(fs::exists(DraftFile()));
}

TEST_F(DraftKeeperTest, AFailureToWriteIsHandedOverAndTypingGoesOn) {
  auto keeper = NewKeeper();
  keeper->RestoreAndStart(baseline, kMoment);
  SetDurableFaultForTesting([](TDurableStep step) { return step == TDurableStep::kWrite ? ENOSPC : 0; });
  keeper->Changed({"Pharmacie\n", "x"});
  keeper->SaveNow();
  SetDurableFaultForTesting({});
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_THAT(failures[0], HasSubstr("\xE9"
                                     "criture impossible"));
  keeper->Changed({"Pharmacie\n", "xy"});
  keeper->SaveNow();
  ASSERT_TRUE(OnDisk());
  EXPECT_EQ(OnDisk()->message, "xy");
}

}  // namespace
}  // namespace quillor::test
