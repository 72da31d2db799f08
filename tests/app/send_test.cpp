// Whole orders sent from the window to a real SMTP server on a loopback
// port, in each of its modes, with the stored message checked byte for byte.
#include <gmock/gmock.h>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <regex>

#include "SmtpServerProcess.h"
#include "WidgetText.h"
#include "WindowFixture.h"

namespace quillor::test {
namespace {

using ::testing::ElementsAre;

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
  EXPECT_EQ(stored[0].mailFrom, SmtpServerProcess::kUser);
  EXPECT_THAT(stored[0].rcptTos, ElementsAre("reception@quillor.test"));
  const std::string masked =
      std::regex_replace(stored[0].data, std::regex("Date: [^\r]*\r\n"), "Date: *\r\n");
  EXPECT_EQ(masked,
            "From: commandes@quillor.test\r\n"
            "Subject: Commande CD\r\n"
            "To: reception@quillor.test\r\n"
            "Content-Type: text/plain; charset=windows-1252\r\n"
            "MIME-Version: 1.0\r\n"
            "Content-Transfer-Encoding: 8bit\r\n"
            "Date: *\r\n"
            "X-Priority: 3\r\n"
            "X-Library: Quillor Mail 1.0\r\n"
            "\r\n"
            "Pharmacie du Port\r\n"
            "3 quai Est\r\n"
            "\r\n"
            "Bonjour,\r\n"
            "Veuillez trouver ci-dessous notre commande :\r\n"
            "\r\n"
            "3  3400001  ASPIRINE UPSA 500 MG\r\n"
            ".5 bo\xEEtes de gants\r\n");
}

INSTANTIATE_TEST_SUITE_P(ServerModes, SendTest,
                         ::testing::Values(SmtpServerProcess::Mode::kPlain, SmtpServerProcess::Mode::kLogin,
                                           SmtpServerProcess::Mode::kStartTls),
                         [](const auto& info) {
                           switch (info.param) {
                             case SmtpServerProcess::Mode::kPlain:
                               return std::string("Plain");
                             case SmtpServerProcess::Mode::kLogin:
                               return std::string("AuthLogin");
                             case SmtpServerProcess::Mode::kStartTls:
                               return std::string("StartTls");
                           }
                           return std::string("Other");
                         });

TEST_F(WindowTest, WrongPasswordFallsBackToTheMailtoLink) {
  WriteArticles({"CIP;Designation;Prix", "3400001;ASPIRINE UPSA 500 MG;2,18"});
  WriteSettings("1", "2");
  WriteDataFile("AdressePharmacie.txt", "Pharmacie du Port\r\n");
  SmtpServerProcess server(SmtpServerProcess::Mode::kLogin);
  TQuillorOptions options = TestOptions();
  options.sending.port = static_cast<uint16_t>(server.Port());
  options.sending.sender = SmtpServerProcess::kUser;
  options.sending.password = "wrong";
  auto form = Open(options);
  const std::string before = form->MessageText();
  QTest::mouseClick(form->Button2, Qt::LeftButton);
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(fOpenedUrls.size(), 1u);
  EXPECT_EQ(form->MessageText(), before);
  EXPECT_FALSE(form->SmtpClient1.IsOpen());
  EXPECT_TRUE(server.WaitForMessages(1, std::chrono::milliseconds(300)).empty());
}

}  // namespace
}  // namespace quillor::test
