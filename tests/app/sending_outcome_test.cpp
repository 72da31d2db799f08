// What the window makes of each outcome of a sending, against scripted
// servers on 127.0.0.1: an order the server may hold is said to be so and
// never handed over on a guess; the journal keeps it "à vérifier"; Annuler
// is deliberate and keys typed meanwhile never cancel; a double click on a
// sending that fails at once hands the order over once; the reason of a
// hand-over is told in the status line, not in a box; the confirmation comes
// after the session's close; and a mark on disk tells the next start of a
// sending that never ended.
#include <gmock/gmock.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QWindow>
#include <algorithm>

#include "app/OrderJournal.h"
#include "app/SendingProgress.h"
#include "app/SendingRecords.h"
#include "app/WidgetText.h"
#include "tests/app/VisibleProgress.h"
#include "tests/app/WindowFixture.h"
#include "tests/support/RefusingPort.h"
#include "tests/support/ScriptedSmtpServer.h"
#include "tests/support/SmtpServerProcess.h"
#include "tests/support/TempDir.h"
#include "tests/support/WhenReady.h"

namespace quillor::test {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::StartsWith;

constexpr const char* kOrderLine = "2  3400001  ASPIRINE UPSA 500 MG";
constexpr size_t kKeepOnScreen = 0, kHandOverAnyway = 1;

class OutcomeTest : public WindowTest {
 protected:
  OutcomeTest() {
    WriteArticles({"CIP;Designation;Prix", "3400001;ASPIRINE UPSA 500 MG;2,18"});
    WriteSettings("1", "2");
    WriteDataFile("AdressePharmacie.txt", "Pharmacie du Port\r\n3 quai Est\r\n");
  }

  // The window pointed at `port`, with one order line.
  std::unique_ptr<TQuillor_Form> OpenOn(int port, int replyTimeoutMs = 10000) {
    TQuillorOptions options = TestOptions();
    options.sending.port = static_cast<uint16_t>(port);
    options.sending.replyTimeoutMs = replyTimeoutMs;
    auto form = Open(options);
    form->ArticleGrid->SetRow(1);
    form->Edit2->setText(QStringLiteral("2"));
    form->SpeedButton1Click();
    return form;
  }
  // The server's part of a sending up to the final "." (no sign-in).
  ScriptedSmtpServer& UpToTheDot() {
    server.Reply("220 quillor-test ESMTP").Expect(ehlo).Reply("250-quillor-test").Reply("250 HELP");
    server.Expect("Rset").Reply("250 ok").Expect("Mail from:<commandes@quillor.test>").Reply("250 ok");
    server.Expect("RCPT to:<reception@quillor.test>").Reply("250 ok");
    return server.Expect("Data").Reply("354 go").ReadData();
  }

  std::vector<fs::path> JournalFiles() const {
    std::vector<fs::path> files;
    std::error_code missing;
    for (const auto& entry : fs::directory_iterator(UserDataPath() / "Commandes", missing))
      files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
  }
  fs::path MarkPath() const { return UserDataPath() / "EnvoiEnCours.txt"; }
  static std::string Status(TQuillor_Form& form) { return form.SendingStatus(); }
  static bool OnScreen(TQuillor_Form& form) {
    return form.MessageText().find(kOrderLine) != std::string::npos;
  }

  ScriptedSmtpServer server;
  const std::string ehlo = "ehlo " + TSmtpClient::LocalHostName();
};

// --- sent ---------------------------------------------------------------------------------------

TEST_F(OutcomeTest, TheConfirmationComesAfterQuitAndTheClose) {
  UpToTheDot().Reply("250 2.0.0 queued").Expect("Quit");
  server.Start();
  auto form = OpenOn(server.Port());
  // Looked at while the confirmation is on screen.
  std::vector<std::string> seen;
  bool closed = false, quit = false;
  {
    ScopedPresenter atConfirmation(
        std::make_unique<TestPresenter>([&](TMessageKind, const std::string& text) {
          seen.push_back(text);
          closed = !form->SmtpClient1.IsOpen() && server.WaitDone(std::chrono::seconds(5));
          quit = !server.Received().empty() && server.Received().back() == "Quit";
        }));
    QTest::mouseClick(form->Button2, Qt::LeftButton);
  }
  ASSERT_EQ(seen, std::vector<std::string>{"Commande envoy\xE9"
                                           "e"});
  EXPECT_TRUE(closed) << "the connection was still open under the box";
  EXPECT_TRUE(quit);
  EXPECT_THAT(server.Mismatches(), IsEmpty());
  EXPECT_THAT(Status(*form), StartsWith("Commande envoy\xE9"
                                        "e le "));
  EXPECT_FALSE(fs::exists(MarkPath()));
  const auto journal = JournalFiles();
  ASSERT_EQ(journal.size(), 1u);
  EXPECT_THAT(TempDir::Read(journal[0]), StartsWith("From: commandes@quillor.test\r\n"));
}

TEST_F(OutcomeTest, ATwoHundredFiftyThenADroppedConnectionIsOneConfirmationAndOneCopy) {
  UpToTheDot().Reply("250 2.0.0 queued").Close();
  server.Start();
  auto form = OpenOn(server.Port());
  QTest::mouseClick(form->Button2, Qt::LeftButton);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].text,
            "Commande envoy\xE9"
            "e");
  EXPECT_TRUE(fOpenedUrls.empty());
  EXPECT_EQ(JournalFiles().size(), 1u);
  EXPECT_FALSE(OnScreen(*form));
}

// --- not sent: handed over at once, the reason in the status line -----------------------------

TEST_F(OutcomeTest, ARefusingServerHandsTheOrderOverAtOnceAndTellsWhyInOneLine) {
  server.Reply("421 4.3.2 service busy");
  server.Start();
  auto form = OpenOn(server.Port());
  QTest::mouseClick(form->Button2, Qt::LeftButton);
  EXPECT_TRUE(Messages().empty()) << "no box for a hand-over";
  EXPECT_EQ(fOpenedUrls.size(), 1u);
  EXPECT_EQ(Status(*form),
            "Non envoy\xE9"
            "e, remise \xE0 votre messagerie : refus\xE9"
            "e par le serveur (421 4.3.2 service busy)");
  // Shown whole or cut to the line's width, the whole in its tip.
  const QString shown = form->Label5->text();
  EXPECT_TRUE(ToQString(Status(*form)).startsWith(shown.endsWith(QChar(0x2026)) ? shown.chopped(1) : shown));
  EXPECT_LE(form->Label5->fontMetrics().horizontalAdvance(shown), form->Label5->width());
  EXPECT_EQ(form->Label5->toolTip(), ToQString(Status(*form)));
  EXPECT_TRUE(OnScreen(*form));
  const auto journal = JournalFiles();
  ASSERT_EQ(journal.size(), 1u);
  EXPECT_THAT(journal[0].filename().string(), HasSubstr("_non-envoyee.eml"));
  EXPECT_THAT(TempDir::Read(journal[0]),
              StartsWith("X-Quillor-Etat: non envoyee\r\n"
                         "X-Quillor-Raison: refusee par le serveur (421 4.3.2 service busy)\r\n"
                         "From: "));
  EXPECT_FALSE(fs::exists(MarkPath()));
}

TEST_F(OutcomeTest, AServerOfferingAuthWithoutStartTlsGetsNoPassword) {
  server.Reply("220 quillor-test ESMTP").Expect(ehlo);
  server.Reply("250-quillor-test").Reply("250-AUTH LOGIN PLAIN").Reply("250 HELP");
  server.Start();
  TQuillorOptions options = TestOptions();
  options.sending.port = static_cast<uint16_t>(server.Port());
  options.sending.password = "TorvaLindo52";
  auto form = Open(options);
  QTest::mouseClick(form->Button2, Qt::LeftButton);
  ASSERT_TRUE(server.WaitDone());
  EXPECT_EQ(server.Received(), (std::vector<std::string>{ehlo, "Quit"}));
  EXPECT_THAT(server.ReceivedBytes(), Not(HasSubstr("VG9ydmFMaW5kbzUy")));
  EXPECT_EQ(fOpenedUrls.size(), 1u);
  EXPECT_THAT(Status(*form), HasSubstr("pas de connexion s\xE9"
                                       "curis\xE9"
                                       "e (le serveur n'offre pas STARTTLS)"));
  ASSERT_EQ(JournalFiles().size(), 1u);
  EXPECT_THAT(TempDir::Read(JournalFiles()[0]), HasSubstr("X-Quillor-Raison: pas de connexion securisee"));
}

// --- unknown: said, never guessed ----------------------------------------------------------------

TEST_F(OutcomeTest, NoAnswerToTheDotIsSaidNeverHandedOverAndKeptToVerify) {
  UpToTheDot();  // then silent: the server may have stored the order
  server.Start();
  // Long enough for every earlier reply of a loaded machine; only the last never comes.
  auto form = OpenOn(server.Port(), 5000);
  QTest::mouseClick(form->Button2, Qt::LeftButton);
  EXPECT_TRUE(fOpenedUrls.empty()) << "an order the server may hold went to the mail program";
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].kind, TMessageKind::Warning);
  EXPECT_THAT(Messages()[0].text,
              StartsWith("La commande a \xE9t\xE9 transmise au serveur de commandes, mais il "
                         "n'en a pas confirm\xE9 la r\xE9"
                         "ception (pas de r\xE9"
                         "ponse du serveur dans le d\xE9lai)."));
  EXPECT_THAT(Messages()[0].text,
              HasSubstr("v\xE9rifiez aupr\xE8s du fournisseur avant de l'envoyer \xE0 nouveau"));
  EXPECT_TRUE(OnScreen(*form)) << "kept on screen by default";
  EXPECT_THAT(Status(*form), StartsWith("\xC0 v\xE9rifier"));
  const auto journal = JournalFiles();
  ASSERT_EQ(journal.size(), 1u);
  EXPECT_THAT(journal[0].filename().string(), ::testing::EndsWith("_a-verifier.eml"));
  const std::string copy = TempDir::Read(journal[0]);
  EXPECT_THAT(copy, StartsWith("X-Quillor-Etat: a verifier\r\n"
                               "X-Quillor-Raison: pas de reponse du serveur dans le delai\r\n"
                               "From: commandes@quillor.test\r\n"));
  // What went on the wire, whole.
  EXPECT_THAT(copy, HasSubstr(std::string(kOrderLine) + "\r\n"));
  EXPECT_FALSE(fs::exists(MarkPath()));
  ASSERT_TRUE(server.WaitDone());
  EXPECT_EQ(server.Received().back(), "Quit");
}

TEST_F(OutcomeTest, AnUnknownOrderGoesToTheMailProgramOnlyWhenAsked) {
  UpToTheDot().Close();
  server.Start();
  auto form = OpenOn(server.Port());
  fAnswers->push_back(kHandOverAnyway);
  QTest::mouseClick(form->Button2, Qt::LeftButton);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_THAT(Messages()[0].text, HasSubstr("connexion coup\xE9"
                                            "e par le serveur avant sa r\xE9ponse"));
  EXPECT_EQ(fOpenedUrls.size(), 1u);
  EXPECT_EQ(JournalFiles().size(), 1u) << "one copy, to verify";
  EXPECT_THAT(JournalFiles()[0].filename().string(), HasSubstr("_a-verifier"));
}

TEST_F(OutcomeTest, AnnulerWhileAwaitingTheConfirmationIsUnknownSaidAsSuch) {
  UpToTheDot();
  server.Start();
  auto form = OpenOn(server.Port(), 120000);
  QString step;
  WhenReady cancel(
      [&] {
        QDialog* progress = VisibleProgress(*form);
        return progress != nullptr &&
               ProgressStep(*progress) == ToQString(TSendingProgress::kAwaitingConfirmation);
      },
      [&] {
        step = ProgressStep(*VisibleProgress(*form));
        QTest::mouseClick(ProgressCancelButton(*VisibleProgress(*form)), Qt::LeftButton);
      });
  QTest::mouseClick(form->Button2, Qt::LeftButton);
  ASSERT_TRUE(cancel.Done());
  EXPECT_EQ(step, QStringLiteral("Commande transmise, attente de la confirmation du serveur\u2026"));
  EXPECT_TRUE(fOpenedUrls.empty());
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].kind, TMessageKind::Warning);
  EXPECT_THAT(Messages()[0].text, HasSubstr("Annuler"));
  EXPECT_TRUE(OnScreen(*form));
  ASSERT_EQ(JournalFiles().size(), 1u);
  EXPECT_THAT(JournalFiles()[0].filename().string(), HasSubstr("_a-verifier"));
}

// --- Annuler is deliberate -------------------------------------------------------------------------

class HeldOutcomeTest : public OutcomeTest {
 protected:
  std::unique_ptr<TQuillor_Form> OpenOnHeld(const SmtpServerProcess& held) {
    auto form = OpenOn(held.Port(), 120000);
    form->Message_Memo->setFocus();
    form->Message_Memo->moveCursor(QTextCursor::End);
    return form;
  }
};

TEST_F(HeldOutcomeTest, KeysTypedDuringASendingNeverCancelIt) {
  SmtpServerProcess held(SmtpServerProcess::Mode::kPlain, SmtpServerProcess::Behaviour{.holdMail = true});
  auto form = OpenOnHeld(held);
  bool stillSending = false;
  bool markKept = false;
  bool cancelHadFocus = true;
  WhenReady typing([&] { return held.IsHolding() && VisibleProgress(*form) != nullptr; },
                   [&] {
                     QDialog& progress = *VisibleProgress(*form);
                     cancelHadFocus = QApplication::focusWidget() == ProgressCancelButton(progress);
                     // "2 boites" and Enter, wherever the keyboard is.
                     QTest::keyClicks(&progress, QStringLiteral("2 boites"));
                     QTest::keyClick(&progress, Qt::Key_Return);
                     QTest::keyClick(&progress, Qt::Key_Space);
                     if (QWidget* focused = QApplication::focusWidget()) {
                       QTest::keyClicks(focused, QStringLiteral(" 2 boites"));
                       QTest::keyClick(focused, Qt::Key_Space);
                     }
                     QTest::keyClick(progress.windowHandle(), Qt::Key_Space);
                     stillSending = form->IsSending() && ProgressCancelButton(progress)->isEnabled() &&
                                    !form->SmtpClient1.Cancellation.IsCancelled();
                     const std::string bytes = fs::exists(MarkPath()) ? TempDir::Read(MarkPath()) : "";
                     const auto mark = DecodeSendingMark(bytes);
                     markKept = mark && mark->message.find(kOrderLine) != std::string::npos;
                     held.Release();
                   });
  QTest::mouseClick(form->Button2, Qt::LeftButton);
  ASSERT_TRUE(typing.Done());
  EXPECT_TRUE(stillSending) << "a key cancelled the sending";
  EXPECT_TRUE(markKept) << "no mark of the sending under way";
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].text,
            "Commande envoy\xE9"
            "e");
  EXPECT_EQ(held.WaitForMessages(1).size(), 1u) << held.ServerLog();
  EXPECT_THAT(form->MessageText(), Not(HasSubstr("boites")));
  EXPECT_FALSE(cancelHadFocus);
}

TEST_F(HeldOutcomeTest, EscapeCancelsBeforeTheDotAndTheStatusLineSaysSo) {
  SmtpServerProcess held(SmtpServerProcess::Mode::kPlain, SmtpServerProcess::Behaviour{.holdMail = true});
  auto form = OpenOnHeld(held);
  WhenReady escape([&] { return held.IsHolding() && VisibleProgress(*form) != nullptr; },
                   [&] { QTest::keyClick(VisibleProgress(*form), Qt::Key_Escape); });
  QTest::mouseClick(form->Button2, Qt::LeftButton);
  ASSERT_TRUE(escape.Done());
  held.Release();
  EXPECT_TRUE(Messages().empty());
  EXPECT_TRUE(fOpenedUrls.empty());
  EXPECT_TRUE(JournalFiles().empty());
  EXPECT_FALSE(fs::exists(MarkPath()));
  EXPECT_TRUE(OnScreen(*form));
  EXPECT_THAT(Status(*form), StartsWith("Envoi annul\xE9"));
  EXPECT_TRUE(held.WaitForMessages(1, std::chrono::milliseconds(300)).empty());
}

// --- one hand-over per order ------------------------------------------------------------------------

TEST_F(OutcomeTest, ADoubleClickOnASendingThatFailsAtOnceHandsTheOrderOverOnce) {
  RefusingPort refusing;
  auto form = OpenOn(refusing.Port());
  const QPoint button = form->Button2->geometry().center();
  // Press, release, press, release, as the window system gives a double
  // click: the first click's sending has ended before the second press.
  QTest::mouseDClick(form->windowHandle(), Qt::LeftButton, {}, button);
  QCoreApplication::processEvents();
  EXPECT_EQ(fOpenedUrls.size(), 1u);
  EXPECT_EQ(JournalFiles().size(), 1u);
  EXPECT_TRUE(Messages().empty());
  EXPECT_THAT(Status(*form), HasSubstr("serveur injoignable"));

  // A click of its own, later, is the user's to make.
  QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {}, button);
  EXPECT_EQ(fOpenedUrls.size(), 2u);
}

// --- a sending that never ended ---------------------------------------------------------------------

TEST_F(OutcomeTest, AMarkLeftByAFormerRunShowsItsOrderAsOneToVerify) {
  TSendingMark mark;
  mark.moment = 1767600245;
  mark.order.address = "Pharmacie du Port\n3 quai Est\n";
  mark.order.message = "Bonjour,\nVeuillez trouver ci-dessous notre commande :\n\n5  3400001  ASPIRINE";
  mark.message = "From: commandes@quillor.test\r\n\r\n5  3400001  ASPIRINE\r\n";
  fDir.Write("data/Quillor/Quillor/EnvoiEnCours.txt", EncodeSendingMark(mark));
  auto form = Open();
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].kind, TMessageKind::Warning);
  EXPECT_TRUE(Messages()[0].windowVisible);
  EXPECT_THAT(Messages()[0].text,
              StartsWith("Quillor s'est arr\xEAt\xE9 pendant l'envoi d'une commande, le "));
  EXPECT_THAT(Messages()[0].text,
              HasSubstr("v\xE9rifiez aupr\xE8s du fournisseur avant de l'envoyer \xE0 nouveau"));
  EXPECT_EQ(MemoUnicodeText(*form->Message_Memo), QString::fromStdString(*mark.order.message));
  EXPECT_TRUE(fOpenedUrls.empty());
  EXPECT_FALSE(fs::exists(MarkPath()));
  const auto journal = JournalFiles();
  ASSERT_EQ(journal.size(), 1u);
  EXPECT_EQ(journal[0].filename().string(),
            TOrderJournal::FileNameFor(mark.moment, TOrderJournal::TState::kToVerify));
  EXPECT_THAT(TempDir::Read(journal[0]),
              StartsWith("X-Quillor-Etat: a verifier\r\nX-Quillor-Raison: Quillor s'est "
                         "arrete pendant l'envoi du "));
  // Told once: the next start is an ordinary one.
  form.reset();
  auto next = Open();
  EXPECT_EQ(Messages().size(), 1u);
}

TEST_F(OutcomeTest, AnUnreadableMarkIsSetAsideAndStillTold) {
  fDir.Write("data/Quillor/Quillor/EnvoiEnCours.txt", "Quillor envoi 1\nmoment 3\n12");
  auto form = Open();
  ASSERT_EQ(ErrorCount(), 1);
  EXPECT_THAT(Messages()[0].text, HasSubstr("Un envoi de commande a \xE9t\xE9 interrompu"));
  EXPECT_FALSE(fs::exists(MarkPath()));
  int aside = 0;
  for (const auto& entry : fs::directory_iterator(UserDataPath()))
    aside += entry.path().filename().string().rfind("EnvoiEnCours-illisible-", 0) == 0 ? 1 : 0;
  EXPECT_EQ(aside, 1);
}

TEST(BuildSettings, TimeOutsAndPlainSignInComeFromTheBuild) {
  const TSendingSettings settings = DefaultSendingSettings();
  // The defaults of app/CMakeLists.txt, which this test build keeps.
  EXPECT_EQ(settings.connectTimeoutMs, 20000);
  EXPECT_EQ(settings.replyTimeoutMs, 60000);
  EXPECT_FALSE(settings.allowPlainSignIn);
}

}  // namespace
}  // namespace quillor::test
