// Whole orders sent from the window to a real SMTP server on a loopback
// port, in each of its modes, with the stored message and its copy in the
// journal checked byte for byte; and what the window does while a held
// server keeps it waiting: no stray input, one message or one link, a
// progress window whose "Annuler" ends it all.
#include <gmock/gmock.h>

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QWindow>
#include <algorithm>

#include "app/OrderJournal.h"
#include "app/SendingProgress.h"
#include "app/WidgetText.h"
#include "mail/MailtoLink.h"
#include "tests/app/VisibleProgress.h"
#include "tests/app/WindowFixture.h"
#include "tests/support/OrderHeaders.h"
#include "tests/support/SmtpServerProcess.h"
#include "tests/support/TempDir.h"
#include "tests/support/WhenReady.h"

namespace quillor::test {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

// The journal's files, oldest name first.
std::vector<std::filesystem::path> JournalFiles(const std::filesystem::path& dataFolder) {
  std::vector<std::filesystem::path> files;
  std::error_code missing;
  for (const auto& entry : std::filesystem::directory_iterator(dataFolder / "Commandes", missing))
    files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

class SendTest : public WindowTest, public ::testing::WithParamInterface<SmtpServerProcess::Mode> {
 protected:
  SendTest() {
    WriteArticles(
        {"CIP;Designation;Prix", "3400001;ASPIRINE UPSA 500 MG;2,18", "3400002;GANTS NITRILE;9,90"});
    WriteSettings("1", "2");
    WriteDataFile("AdressePharmacie.txt", "Pharmacie du Port\r\n3 quai Est\r\n");
  }

  static TQuillorOptions OptionsFor(const SmtpServerProcess& server) {
    TQuillorOptions options = TestOptions();
    options.sending.port = static_cast<uint16_t>(server.Port());
    options.sending.sender = SmtpServerProcess::kUser;
    options.sending.password = SmtpServerProcess::kPassword;
    options.sending.caCertificateFile = server.CaFile();
    return options;
  }
};

TEST_P(SendTest, OrderReachesTheMailboxAndTheMessageStartsAfresh) {
  SmtpServerProcess server(GetParam());
  auto form = Open(OptionsFor(server));
  form->ArticleGrid->SetRow(1);
  form->Edit2->setText(QStringLiteral("3"));
  form->SpeedButton1Click();
  // A line starting with a dot must come through unchanged.
  SetMemoText(*form->Message_Memo, form->MessageText() + ".5 bo\xEEtes de gants\r\n");

  QTest::mouseClick(form->Button2, Qt::LeftButton);

  ASSERT_EQ(Messages().size(), 1u) << server.ServerLog();
  EXPECT_EQ(Messages()[0].kind, TMessageKind::Information);
  EXPECT_EQ(Messages()[0].text,
            "Commande envoy\xE9"
            "e");
  EXPECT_TRUE(fOpenedUrls.empty());
  EXPECT_EQ(form->MessageText(), "Bonjour,\r\nVeuillez trouver ci-dessous notre commande :\r\n\r\n");
  EXPECT_EQ(form->AddressText(), "Pharmacie du Port\r\n3 quai Est\r\n");
  EXPECT_FALSE(form->SmtpClient1.IsOpen());

  const auto stored = server.WaitForMessages(1);
  ASSERT_EQ(stored.size(), 1u) << server.ServerLog();
  // The journal keeps exactly what the server stored.
  const auto journal = JournalFiles(UserDataPath());
  ASSERT_EQ(journal.size(), 1u);
  EXPECT_THAT(journal[0].filename().string(),
              ::testing::MatchesRegex("[0-9]{4}-[0-9]{2}-[0-9]{2}_[0-9]{2}-[0-9]{2}-[0-9]{2}\\.eml"));
  EXPECT_EQ(TempDir::Read(journal[0]), stored[0].data);
  EXPECT_EQ(stored[0].mailFrom, SmtpServerProcess::kUser);
  EXPECT_THAT(stored[0].rcptTos, ElementsAre("reception@quillor.test"));
  EXPECT_EQ(MaskDate(stored[0].data), OrderHeaders("commandes@quillor.test", "reception@quillor.test") +
                                          "Pharmacie du Port\r\n"
                                          "3 quai Est\r\n"
                                          "\r\n"
                                          "Bonjour,\r\n"
                                          "Veuillez trouver ci-dessous notre commande :\r\n"
                                          "\r\n"
                                          "3  3400001  ASPIRINE UPSA 500 MG\r\n"
                                          ".5 bo\xEEtes de gants\r\n");
}

// A server that asks for the password over a plain connection gets it only
// from a build made for a trusted local relay (QUILLOR_SMTP_PLAIN_SIGN_IN).
INSTANTIATE_TEST_SUITE_P(ServerModes, SendTest,
                         ::testing::Values(SmtpServerProcess::Mode::kPlain,
                                           SmtpServerProcess::Mode::kStartTls),
                         [](const auto& info) {
                           return std::string(info.param == SmtpServerProcess::Mode::kPlain ? "Plain"
                                                                                            : "StartTls");
                         });

TEST_F(SendTest, APlainSignInGoesOnlyToATrustedRelay) {
  SmtpServerProcess server(SmtpServerProcess::Mode::kLogin);
  TQuillorOptions options = OptionsFor(server);
  auto form = Open(options);
  QTest::mouseClick(form->Button2, Qt::LeftButton);
  EXPECT_EQ(fOpenedUrls.size(), 1u) << "no password in clear: the mail program takes the order";
  EXPECT_TRUE(Messages().empty());
  EXPECT_THAT(form->SendingStatus(), HasSubstr("pas de connexion s\xE9"
                                               "curis\xE9"
                                               "e"));
  EXPECT_TRUE(server.WaitForMessages(1, std::chrono::milliseconds(300)).empty());
  form.reset();

  options.sending.allowPlainSignIn = true;
  form = Open(options);
  QTest::mouseClick(form->Button2, Qt::LeftButton);
  EXPECT_EQ(fOpenedUrls.size(), 1u);
  ASSERT_EQ(Messages().size(), 1u) << server.ServerLog();
  EXPECT_EQ(Messages()[0].text,
            "Commande envoy\xE9"
            "e");
  EXPECT_EQ(server.WaitForMessages(1).size(), 1u) << server.ServerLog();
}

TEST_F(WindowTest, WrongPasswordFallsBackToTheMailtoLink) {
  WriteArticles({"CIP;Designation;Prix", "3400001;ASPIRINE UPSA 500 MG;2,18"});
  WriteSettings("1", "2");
  WriteDataFile("AdressePharmacie.txt", "Pharmacie du Port\r\n");
  SmtpServerProcess server(SmtpServerProcess::Mode::kStartTls);
  TQuillorOptions options = TestOptions();
  options.sending.port = static_cast<uint16_t>(server.Port());
  options.sending.sender = SmtpServerProcess::kUser;
  options.sending.password = "wrong";
  options.sending.caCertificateFile = server.CaFile();
  auto form = Open(options);
  const std::string before = form->MessageText();
  QTest::mouseClick(form->Button2, Qt::LeftButton);
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(fOpenedUrls.size(), 1u);
  EXPECT_EQ(form->MessageText(), before);
  EXPECT_FALSE(form->SmtpClient1.IsOpen());
  EXPECT_TRUE(server.WaitForMessages(1, std::chrono::milliseconds(300)).empty());
  // Kept in the journal too, marked as not sent.
  const auto journal = JournalFiles(UserDataPath());
  ASSERT_EQ(journal.size(), 1u);
  EXPECT_THAT(journal[0].filename().string(), HasSubstr("_non-envoyee.eml"));
  const std::string copy = TempDir::Read(journal[0]);
  EXPECT_EQ(copy.rfind("X-Quillor-Etat: non envoyee\r\nX-Quillor-Raison: authentification refusee (535", 0),
            0u)
      << copy;
  EXPECT_THAT(copy, HasSubstr(")\r\nFrom: commandes@quillor.test\r\n"));
  // The reason is told in the window's status line, without a box.
  EXPECT_THAT(form->SendingStatus(), HasSubstr("authentification refus\xE9"
                                               "e (535"));
  EXPECT_THAT(copy, HasSubstr("\r\n\r\nPharmacie du Port\r\n\r\nBonjour,\r\n"));
}

// A server that holds the order at MAIL FROM until the test lets it go.
class HeldSendTest : public SendTest {
 protected:
  std::unique_ptr<TQuillor_Form> OpenFor(const SmtpServerProcess& server) {
    TQuillorOptions options = OptionsFor(server);
    // The hold ends when the test says so; no reply time-out may come first.
    options.sending.replyTimeoutMs = 120000;
    auto form = Open(options);
    form->ArticleGrid->SetRow(1);
    form->Edit2->setText(QStringLiteral("2"));
    form->SpeedButton1Click();
    form->Edit1->setFocus();
    return form;
  }
  static bool HeldWithProgress(const SmtpServerProcess& server, TQuillor_Form& form) {
    return server.IsHolding() && VisibleProgress(form) != nullptr;
  }
  // A user's impatience: the send button again, by a click sent to it and by
  // one through the window system, and keys for the search field.
  static void Fidget(TQuillor_Form& form) {
    QTest::mouseClick(form.Button2, Qt::LeftButton);
    QTest::mouseClick(form.windowHandle(), Qt::LeftButton, {}, form.Button2->geometry().center());
    QTest::keyClicks(form.Edit1, QStringLiteral("xyz"));
    QTest::keyClick(form.windowHandle(), Qt::Key_A);
    QTest::keyClick(form.Button2, Qt::Key_Space);
    // Nor can the window be closed under the sending.
    EXPECT_FALSE(form.close());
    EXPECT_TRUE(form.isVisible());
  }
};

TEST_F(HeldSendTest, ClickingAgainDuringASlowSendingDeliversExactlyOneMessage) {
  SmtpServerProcess server(SmtpServerProcess::Mode::kPlain, SmtpServerProcess::Behaviour{.holdMail = true});
  auto form = OpenFor(server);
  QString step;
  WhenReady impatience([&] { return HeldWithProgress(server, *form); },
                       [&] {
                         step = ProgressStep(*VisibleProgress(*form));
                         EXPECT_TRUE(form->IsSending());
                         Fidget(*form);
                         server.Release();
                       });

  QTest::mouseClick(form->Button2, Qt::LeftButton);
  ASSERT_TRUE(impatience.Done());
  EXPECT_EQ(step, ToQString(TSendingProgress::kSending));
  EXPECT_FALSE(form->IsSending());
  EXPECT_EQ(VisibleProgress(*form), nullptr);
  QCoreApplication::processEvents();  // nothing held back acts now either

  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].text,
            "Commande envoy\xE9"
            "e");
  EXPECT_TRUE(fOpenedUrls.empty());
  EXPECT_EQ(form->Edit1->text(), QString()) << "keys typed meanwhile reached the search";
  EXPECT_EQ(server.WaitForMessages(1).size(), 1u) << server.ServerLog();
  // Nothing more comes, however long one waits.
  EXPECT_EQ(server.WaitForMessages(2, std::chrono::milliseconds(500)).size(), 1u);
  const std::vector<std::string> events = server.Events();
  EXPECT_EQ(std::count(events.begin(), events.end(), "connect"), 1);
  EXPECT_EQ(JournalFiles(UserDataPath()).size(), 1u);
}

TEST_F(HeldSendTest, ClickingAgainDuringASlowFailingSendingHandsOverExactlyOneLink) {
  SmtpServerProcess server(SmtpServerProcess::Mode::kPlain,
                           SmtpServerProcess::Behaviour{.holdMail = true, .refuseData = true});
  auto form = OpenFor(server);
  const std::string before = form->MessageText();
  WhenReady impatience([&] { return HeldWithProgress(server, *form); },
                       [&] {
                         Fidget(*form);
                         server.Release();
                       });

  QTest::mouseClick(form->Button2, Qt::LeftButton);
  ASSERT_TRUE(impatience.Done());
  QCoreApplication::processEvents();
  ASSERT_EQ(fOpenedUrls.size(), 1u);
  EXPECT_EQ(fOpenedUrls[0], BuildMailtoLink("reception@quillor.test", "Commande",
                                            {"Pharmacie du Port", "3 quai Est", "Bonjour,",
                                             "Veuillez trouver ci-dessous notre commande :", "",
                                             "2  3400001  ASPIRINE UPSA 500 MG"}));
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(form->MessageText(), before);
  EXPECT_EQ(form->Edit1->text(), QString());
  EXPECT_TRUE(server.WaitForMessages(1, std::chrono::milliseconds(300)).empty());
  const auto journal = JournalFiles(UserDataPath());
  ASSERT_EQ(journal.size(), 1u);
  EXPECT_THAT(journal[0].filename().string(), HasSubstr("_non-envoyee"));
}

TEST_F(HeldSendTest, AnnulerClosesTheConnectionAtOnceAndSendsNothing) {
  SmtpServerProcess server(SmtpServerProcess::Mode::kPlain, SmtpServerProcess::Behaviour{.holdMail = true});
  auto form = OpenFor(server);
  const std::string message = form->MessageText();
  const std::string address = form->AddressText();
  WhenReady cancel([&] { return HeldWithProgress(server, *form); },
                   [&] { QTest::mouseClick(ProgressCancelButton(*VisibleProgress(*form)), Qt::LeftButton); });

  QTest::mouseClick(form->Button2, Qt::LeftButton);
  ASSERT_TRUE(cancel.Done());
  // The server sees the connection end while it still holds the order.
  EXPECT_TRUE(server.WaitForEvent("lost")) << server.ServerLog();
  EXPECT_TRUE(server.IsHolding());
  server.Release();
  EXPECT_THAT(server.Events(), Not(Contains("quit")));
  EXPECT_TRUE(server.WaitForMessages(1, std::chrono::milliseconds(500)).empty());
  EXPECT_FALSE(form->SmtpClient1.IsOpen());
  EXPECT_FALSE(form->IsSending());
  EXPECT_TRUE(fOpenedUrls.empty()) << "nothing handed to the mail program";
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(form->MessageText(), message);
  EXPECT_EQ(form->AddressText(), address);
  EXPECT_TRUE(JournalFiles(UserDataPath()).empty());

  // The window is usable again, and the next sending goes through.
  QTest::keyClicks(form->Edit1, QStringLiteral("asp"));
  EXPECT_EQ(form->Edit1->text(), QStringLiteral("asp"));
}

TEST_F(SendTest, AnUnwritableDataFolderGivesOneBoxAndTheOrderStillSends) {
  SmtpServerProcess server(SmtpServerProcess::Mode::kPlain);
  // A file where the data folder's parent should be: nothing can be made there.
  fDir.Write("blocked", "");
  setenv("XDG_DATA_HOME", (fDir.Path() / "blocked").c_str(), 1);
  auto form = Open(OptionsFor(server));
  form->ArticleGrid->SetRow(1);
  form->SpeedButton1Click();
  // The draft fails first, then the journal: still one box for both.
  QTest::keyClicks(form->Message_Memo, QStringLiteral("urgent"));
  WaitUntil([&] { return ErrorCount() > 0; });

  QTest::mouseClick(form->Button2, Qt::LeftButton);
  EXPECT_EQ(server.WaitForMessages(1).size(), 1u) << server.ServerLog();
  ASSERT_EQ(Messages().size(), 2u);
  EXPECT_EQ(ErrorCount(), 1);
  const RecordedMessage& error = Messages()[0].kind == TMessageKind::Error ? Messages()[0] : Messages()[1];
  EXPECT_THAT(error.text, HasSubstr("Impossible d'enregistrer"));
  EXPECT_THAT(error.text, HasSubstr((fDir.Path() / "blocked").string()));
  EXPECT_EQ(std::count_if(Messages().begin(), Messages().end(),
                          [](const RecordedMessage& m) {
                            return m.text ==
                                   "Commande envoy\xE9"
                                   "e";
                          }),
            1);
  EXPECT_EQ(form->MessageText(), "Bonjour,\r\nVeuillez trouver ci-dessous notre commande :\r\n\r\n");
}

}  // namespace
}  // namespace quillor::test
