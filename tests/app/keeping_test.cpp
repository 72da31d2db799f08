// What the window keeps across runs and how it lets go: the draft of the
// order kept as the user types and shown at the next start, cleared by a
// sending, let go by a close; the closing path when the address cannot be
// saved; and the files underneath (the draft's format, the journal's names).
#include <gmock/gmock.h>

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>
#include <cerrno>

#include "app/DraftKeeper.h"
#include "app/MessagePresenter.h"
#include "app/OrderDraft.h"
#include "app/OrderJournal.h"
#include "app/UnsendableCharacters.h"
#include "app/WidgetText.h"
#include "tests/app/WindowFixture.h"
#include "tests/support/SmtpServerProcess.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestPresenter.h"
#include "text/DurableFile.h"

namespace quillor::test {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

constexpr const char* kOpening = "Bonjour,\r\nVeuillez trouver ci-dessous notre commande :\r\n\r\n";

class KeepingTest : public WindowTest {
 protected:
  KeepingTest() {
    WriteArticles({"CIP;Designation;Prix", "3400001;ASPIRINE UPSA 500 MG;2,18"});
    WriteSettings("1", "2");
    WriteDataFile("AdressePharmacie.txt", "Pharmacie du Port\r\n3 quai Est\r\n");
  }
  fs::path DraftPath() const { return UserDataPath() / "Brouillon.txt"; }
  // The draft as kept on disk, once `holds` is true of it (bounded wait).
  std::optional<TOrderDraft> KeptDraft(const std::function<bool(const TOrderDraft&)>& holds) {
    std::optional<TOrderDraft> draft;
    for (int i = 0; i < 1000; ++i) {
      std::string ignored;
      draft = LoadOrderDraft(DraftPath().string(), &ignored);
      if (draft && holds(*draft)) return draft;
      QTest::qWait(10);
    }
    return draft;
  }
};

TEST_F(KeepingTest, TheOrderIsKeptAsTypedAndTheNextStartShowsIt) {
  {
    auto form = Open();
    form->ArticleGrid->SetRow(1);
    form->SpeedButton1Click();
    // Characters the sending would refuse are kept too.
    form->Message_Memo->moveCursor(QTextCursor::End);
    QTest::keyClicks(form->Message_Memo, QStringLiteral("livraison "));
    form->Message_Memo->insertPlainText(QStringLiteral("\u2192"));  // as an input method gives it
    QTest::keyClicks(form->Message_Memo, QStringLiteral(" demain"));
    form->Adresse_Memo->moveCursor(QTextCursor::End);
    QTest::keyClicks(form->Adresse_Memo, QStringLiteral("13200 Arles"));
    const auto draft = KeptDraft([](const TOrderDraft& d) {
      return d.message && d.message->find("demain") != std::string::npos &&
             d.address.find("Arles") != std::string::npos;
    });
    ASSERT_TRUE(draft);
    // The window is then lost without a close (a crash, a kill).
  }
  auto next = Open();
  EXPECT_EQ(MemoUnicodeText(*next->Message_Memo),
            QStringLiteral("Bonjour,\nVeuillez trouver ci-dessous notre commande :\n\n"
                           "1  3400001  ASPIRINE UPSA 500 MG\nlivraison \u2192 demain"));
  EXPECT_EQ(next->AddressText(), "Pharmacie du Port\r\n3 quai Est\r\n13200 Arles");
  EXPECT_EQ(ErrorCount(), 0);
  // The address typed before the crash reaches the user's copy at this close.
  EXPECT_TRUE(next->close());
  EXPECT_EQ(TempDir::Read(UserAddressPath()), "Pharmacie du Port\r\n3 quai Est\r\n13200 Arles");
  EXPECT_FALSE(fs::exists(DraftPath())) << "a close lets the draft go";
}

TEST_F(KeepingTest, OnlyTheOpeningLinesKeepNoMessage) {
  {
    auto form = Open();
    // Typed and taken back: the message is its opening lines again.
    form->Message_Memo->moveCursor(QTextCursor::End);
    QTest::keyClicks(form->Message_Memo, QStringLiteral("x"));
    QTest::keyClick(form->Message_Memo, Qt::Key_Backspace);
    form->Adresse_Memo->moveCursor(QTextCursor::End);
    QTest::keyClicks(form->Adresse_Memo, QStringLiteral("Arles"));
    const auto draft =
        KeptDraft([](const TOrderDraft& d) { return d.address.find("Arles") != std::string::npos; });
    ASSERT_TRUE(draft);
    EXPECT_FALSE(draft->message);
    // The address taken back too: nothing is left worth keeping.
    for (int i = 0; i < 5; ++i) QTest::keyClick(form->Adresse_Memo, Qt::Key_Backspace);
    for (int i = 0; i < 1000 && fs::exists(DraftPath()); ++i) QTest::qWait(10);
    EXPECT_FALSE(fs::exists(DraftPath()));
  }
  auto next = Open();
  EXPECT_EQ(next->MessageText(), kOpening);
}

TEST_F(KeepingTest, ASuccessfulSendingClearsTheKeptOrder) {
  SmtpServerProcess server(SmtpServerProcess::Mode::kPlain);
  TQuillorOptions options = TestOptions();
  options.sending.port = static_cast<uint16_t>(server.Port());
  auto form = Open(options);
  form->ArticleGrid->SetRow(1);
  form->SpeedButton1Click();
  ASSERT_TRUE(KeptDraft([](const TOrderDraft& d) { return d.message.has_value(); }));
  // What a crash while the confirmation is on screen would leave.
  std::optional<bool> keptAtConfirmation;
  {
    ScopedPresenter atConfirmation(
        std::make_unique<TestPresenter>([&, draft = DraftPath()](TMessageKind, const std::string& text) {
          if (text.rfind("Commande envoy", 0) == 0) keptAtConfirmation = fs::exists(draft);
        }));
    QTest::mouseClick(form->Button2, Qt::LeftButton);
  }
  ASSERT_EQ(server.WaitForMessages(1).size(), 1u) << server.ServerLog();
  ASSERT_TRUE(keptAtConfirmation.has_value()) << "no confirmation";
  EXPECT_FALSE(*keptAtConfirmation) << "the sent order was still kept while it was confirmed";
  EXPECT_FALSE(fs::exists(DraftPath())) << "the address was not changed, so nothing is kept";
  form.reset();
  EXPECT_EQ(Open()->MessageText(), kOpening);
}

TEST_F(KeepingTest, ADraftThatCannotBeReadIsSetAsideNeverOverwritten) {
  const std::string unreadable = "Quillor brouillon 1\nadresse 999\ncoup\xC3\xA9";
  fDir.Write("data/Quillor/Quillor/Brouillon.txt", unreadable);
  auto form = Open();
  ASSERT_EQ(ErrorCount(), 1);
  EXPECT_THAT(Messages()[0].text, HasSubstr("brouillon est illisible"));
  EXPECT_THAT(Messages()[0].text, HasSubstr("mis de c\xF4t\xE9 sous le nom"));
  EXPECT_EQ(form->MessageText(), kOpening);
  EXPECT_EQ(form->AddressText(), "Pharmacie du Port\r\n3 quai Est\r\n");
  // Under a dated name, as it was; the next keystroke writes a draft of its own.
  std::vector<fs::path> aside;
  for (const auto& entry : fs::directory_iterator(UserDataPath()))
    if (entry.path().filename().string().rfind("Brouillon-illisible-", 0) == 0) aside.push_back(entry.path());
  ASSERT_EQ(aside.size(), 1u);
  EXPECT_THAT(aside[0].filename().string(),
              ::testing::MatchesRegex(
                  "Brouillon-illisible-[0-9]{4}-[0-9]{2}-[0-9]{2}_[0-9]{2}-[0-9]{2}-[0-9]{2}\\.txt"));
  form->Message_Memo->moveCursor(QTextCursor::End);
  QTest::keyClicks(form->Message_Memo, QStringLiteral("urgent"));
  ASSERT_TRUE(KeptDraft(
      [](const TOrderDraft& d) { return d.message && d.message->find("urgent") != std::string::npos; }));
  EXPECT_EQ(TempDir::Read(aside[0]), unreadable);
}

TEST_F(KeepingTest, ADraftThatCannotBeSetAsideStaysAndNothingIsWrittenOverIt) {
  const std::string unreadable = "pas un brouillon";
  fDir.Write("data/Quillor/Quillor/Brouillon.txt", unreadable);
  // The draft cannot move (a folder that takes no new name).
  SetDurableFaultForTesting([](TDurableStep step) { return step == TDurableStep::kRename ? EACCES : 0; });
  auto form = Open();
  SetDurableFaultForTesting({});
  ASSERT_EQ(ErrorCount(), 1);
  EXPECT_THAT(Messages()[0].text, HasSubstr("n'a pu \xEAtre mis de c\xF4t\xE9"));
  form->Message_Memo->moveCursor(QTextCursor::End);
  QTest::keyClicks(form->Message_Memo, QStringLiteral("urgent"));
  QTest::qWait(TDraftKeeper::kSaveDelayMs + 200);
  EXPECT_EQ(TempDir::Read(DraftPath()), unreadable);
  EXPECT_TRUE(form->close());
  EXPECT_EQ(TempDir::Read(DraftPath()), unreadable) << "not even a close lets it go";
}

// --- closing when the address cannot be saved ----------------------------------------

class AddressNotSavedTest : public KeepingTest {
 protected:
  // A folder where the file should go: every save fails.
  void BlockTheAddressFile() { fs::create_directories(UserAddressPath()); }
  static constexpr size_t kRetry = 0, kQuitWithoutSaving = 1, kStay = 2;
};

TEST_F(AddressNotSavedTest, RetryingOnceTheFolderIsMendedSavesAndCloses) {
  auto form = Open();
  BlockTheAddressFile();
  fAnswers->push_back(kRetry);
  fAnswers->push_back(kStay);
  EXPECT_FALSE(form->close()) << "two failures, then the user stays";
  ASSERT_EQ(Messages().size(), 2u);
  EXPECT_THAT(Messages()[0].text, HasSubstr("quitter sans enregistrer"));

  fs::remove(UserAddressPath());
  fAnswers->push_back(kRetry);
  EXPECT_TRUE(form->close()) << "nothing left to ask";
  EXPECT_EQ(Messages().size(), 2u);
  EXPECT_EQ(TempDir::Read(UserAddressPath()), "Pharmacie du Port\r\n3 quai Est\r\n");
}

TEST_F(AddressNotSavedTest, QuittingWithoutSavingClosesAndWritesNothing) {
  auto form = Open();
  form->ArticleGrid->SetRow(1);
  form->SpeedButton1Click();
  BlockTheAddressFile();
  fAnswers->push_back(kQuitWithoutSaving);
  EXPECT_TRUE(form->close());
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(ErrorCount(), 1);
  EXPECT_TRUE(fs::is_directory(UserAddressPath()));
  EXPECT_FALSE(fs::exists(DraftPath()));
}

// --- the files ---------------------------------------------------------------------------

TEST(OrderDraftFormat, AnyTextSurvivesAndACutOrForeignFileIsRefused) {
  const TOrderDraft draft{"Pharmacie\nmessage 3\n",
                          std::string("\nadresse 2\n\n\xE2\x86\x92 \xF0\x9F\x98\x80\n")};
  const std::string bytes = EncodeOrderDraft(draft);
  EXPECT_EQ(DecodeOrderDraft(bytes), draft);
  const TOrderDraft addressOnly{"", std::nullopt};
  EXPECT_EQ(DecodeOrderDraft(EncodeOrderDraft(addressOnly)), addressOnly);
  for (size_t cut = 0; cut < bytes.size(); ++cut)
    EXPECT_FALSE(DecodeOrderDraft(bytes.substr(0, cut)).has_value()) << cut;
  EXPECT_FALSE(DecodeOrderDraft(bytes + "x"));
  EXPECT_FALSE(DecodeOrderDraft("Quillor brouillon 2\nadresse 0\n\n"));
  EXPECT_FALSE(DecodeOrderDraft("Quillor brouillon 1\nadresse -1\n\n"));
}

TEST(OrderJournalFiles, NamedByTheMomentNeverOverwrittenNoTemporaryLeft) {
  TempDir dir;
  const std::string folder = (dir.Path() / "Commandes").string();
  const TOrderJournal journal(folder);
  setenv("TZ", "Europe/Paris", 1);
  tzset();
  const std::time_t moment = 1767600245;  // 2026-01-05 09:04:05 in Paris
  std::string error;
  const auto first = journal.Save("un", TOrderJournal::TState::kSent, moment, &error);
  const auto second = journal.Save("deux", TOrderJournal::TState::kSent, moment, &error);
  const auto unsent = journal.Save("trois", TOrderJournal::TState::kNotSent, moment, &error);
  unsetenv("TZ");
  tzset();
  ASSERT_TRUE(first && second && unsent) << error;
  EXPECT_EQ(*first, folder + "/2026-01-05_09-04-05.eml");
  EXPECT_EQ(*second, folder + "/2026-01-05_09-04-05_2.eml");
  EXPECT_EQ(*unsent, folder + "/2026-01-05_09-04-05_non-envoyee.eml");
  EXPECT_EQ(TempDir::Read(*first), "un");
  EXPECT_EQ(TempDir::Read(*second), "deux");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 3);

  // A folder that cannot be made: a reason, and nothing written.
  dir.Write("fichier", "");
  const TOrderJournal blocked((dir.Path() / "fichier" / "Commandes").string());
  error.clear();
  EXPECT_FALSE(blocked.Save("x", TOrderJournal::TState::kSent, moment, &error));
  EXPECT_THAT(error, HasSubstr("dossier"));
}

TEST(UnsendableCharacters, OnlyWhatWindows1252LacksCountedByCharacter) {
  const auto found =
      FindUnsendableCharacters(QStringLiteral("\u20AC \u0152 \u00E9 \u2026\n\u2192x\U0001F600y") +
                               QChar(0xD800) + QStringLiteral("z"));
  ASSERT_EQ(found.size(), 3u);
  EXPECT_EQ(found[0].codePoint, U'\u2192');
  EXPECT_EQ(found[0].line, 2);
  EXPECT_EQ(found[0].column, 1);
  EXPECT_EQ(found[1].codePoint, U'\U0001F600');
  EXPECT_EQ(found[1].column, 3);
  EXPECT_EQ(found[2].column, 5) << "a lone surrogate is one character that cannot go";
  EXPECT_TRUE(DescribeUnsendableCharacters({{QStringLiteral("ici"), QStringLiteral("\u00E9t\u00E9 \u20AC")}})
                  .isEmpty());
}

}  // namespace
}  // namespace quillor::test
