// Order lines and sending from the window: the add button's quantity check,
// the lines it appends, the quantity arrows, and the mailto: fallback when
// the mail server cannot be reached.
#include <gmock/gmock.h>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTest>
#include <QToolButton>

#include "app/UpDown.h"
#include "app/WidgetText.h"
#include "mail/MailtoLink.h"
#include "tests/app/WindowFixture.h"
#include "tests/support/TempDir.h"

namespace quillor::test {
namespace {

class OrderTest : public WindowTest {
 protected:
  OrderTest() {
    WriteArticles(
        {"CIP;Designation;Prix", "3400001;ASPIRINE UPSA 500 MG;2,18", "3400002;EFFERALGAN 1 G;1,95"});
    WriteSettings("1", "2");
    WriteDataFile("AdressePharmacie.txt", "Pharmacie du Port\r\n3 quai Est\r\n");
  }

  // The order message below its opening lines and the empty line.
  static std::vector<std::string> OrderLines(TQuillor_Form& form) {
    std::vector<std::string> lines = MessageLines(form);
    return std::vector<std::string>(lines.begin() + 3, lines.end());
  }

  static void Add(TQuillor_Form& form, const std::string& quantity) {
    form.Edit2->setText(ToQString(quantity));
    QTest::mouseClick(form.SpeedButton1, Qt::LeftButton);
  }
};

TEST_F(OrderTest, OnlyWholeNumbersAddALine) {
  auto form = Open();
  form->ArticleGrid->SetRow(1);
  for (const char* refused : {"", "abc", "01", "1.5", "2,5", " 3", "1234567890123456789"}) {
    Add(*form, refused);
    EXPECT_TRUE(OrderLines(*form).empty()) << refused;
  }
  for (const char* accepted : {"0", "-2", "3", "123456789012345678"}) Add(*form, accepted);
  EXPECT_EQ(OrderLines(*form),
            (std::vector<std::string>{"0  3400001  ASPIRINE UPSA 500 MG", "-2  3400001  ASPIRINE UPSA 500 MG",
                                      "3  3400001  ASPIRINE UPSA 500 MG",
                                      "123456789012345678  3400001  ASPIRINE UPSA 500 MG"}));
  EXPECT_EQ(ErrorCount(), 0);
}

TEST_F(OrderTest, AddingTwiceAppendsTwoLinesAfterTheOpeningLines) {
  auto form = Open();
  form->ArticleGrid->SetRow(2);
  Add(*form, "1");
  Add(*form, "1");
  EXPECT_EQ(form->MessageText(),
            "Bonjour,\r\nVeuillez trouver ci-dessous notre commande :\r\n\r\n"
            "1  3400002  EFFERALGAN 1 G\r\n1  3400002  EFFERALGAN 1 G\r\n");
}

TEST_F(OrderTest, LineCopiesTheCellsAsShownEvenWithoutAMatch) {
  auto form = Open();
  form->Edit1->setText(QStringLiteral("zzz"));
  form->ArticleGrid->SetRow(1);
  Add(*form, "2");
  EXPECT_EQ(OrderLines(*form), std::vector<std::string>{"2    Aucune correspondance"});
}

TEST_F(OrderTest, LineFollowsTextTypedAtTheEndOfTheMessage) {
  auto form = Open();
  form->ArticleGrid->SetRow(1);
  SetMemoText(*form->Message_Memo, "Bonjour,\r\nurgent");
  Add(*form, "4");
  EXPECT_EQ(MessageLines(*form),
            (std::vector<std::string>{"Bonjour,", "urgent", "4  3400001  ASPIRINE UPSA 500 MG"}));
}

// A list long enough to scroll.
class LongListTest : public OrderTest {
 protected:
  LongListTest() {
    std::vector<std::string> lines = {"CIP;Designation;Prix"};
    for (int k = 0; k < 300; ++k) {
      lines.push_back(std::to_string(3500000 + k) + ";ARTICLE " + std::string(k < 150 ? "A" : "B") +
                      std::to_string(1000 + k) + ";1,00");
    }
    WriteArticles(lines);
  }

  static bool RowInSight(TQuillor_Form& form, int32_t row) {
    const int32_t top = form.ArticleGrid->GetTopRow();
    return row >= top && row < top + form.ListeArticles_StringGrid->GetVisibleRowCount();
  }
};

TEST_F(LongListTest, EveryNewListMakesItsFirstRowCurrentSoTheAddButtonTakesWhatIsSeen) {
  auto form = Open();
  EXPECT_EQ(form->ArticleGrid->GetRow(), 1);
  // The user scrolls down and picks a row, then types a new search.
  form->ArticleGrid->SetTopRow(200);
  form->ArticleGrid->SetRow(210);
  ASSERT_TRUE(RowInSight(*form, 210));
  Type(*form, "ARTICLE B");
  EXPECT_EQ(form->ArticleGrid->GetRow(), 1);
  EXPECT_TRUE(RowInSight(*form, 1));
  Add(*form, "2");
  EXPECT_EQ(OrderLines(*form), std::vector<std::string>{"2  3500150  ARTICLE B1150"});

  // Enter scrolls back to the top: the highlighted row is the first one too.
  form->ArticleGrid->SetTopRow(100);
  form->ArticleGrid->SetRow(120);
  PressEnter(*form);
  EXPECT_EQ(form->ArticleGrid->GetRow(), 1);
  EXPECT_TRUE(RowInSight(*form, 1));
}

TEST_F(OrderTest, QuantityArrowsStayWithinTheirBounds) {
  auto form = Open();
  EXPECT_EQ(form->Edit2->text(), QStringLiteral("1"));
  form->UpDown1->Step(+1);
  EXPECT_EQ(form->Edit2->text(), QStringLiteral("2"));
  form->Edit2->setText(QStringLiteral("250"));  // typing is not bounded
  EXPECT_EQ(form->Edit2->text(), QStringLiteral("250"));
  form->UpDown1->Step(+1);
  EXPECT_EQ(form->Edit2->text(), QStringLiteral("100"));
  form->Edit2->setText(QStringLiteral("0"));
  QTest::keyClick(form->Edit2, Qt::Key_Down);
  EXPECT_EQ(form->Edit2->text(), QStringLiteral("0"));
  QTest::keyClick(form->Edit2, Qt::Key_Up);
  EXPECT_EQ(form->Edit2->text(), QStringLiteral("1"));
}

TEST_F(OrderTest, RefusedConnectionOpensTheMailtoLinkAndKeepsTheOrder) {
  // A port that was just free: nothing listens there.
  QTcpServer probe;
  ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
  const uint16_t port = probe.serverPort();
  probe.close();
  TQuillorOptions options = TestOptions();
  options.sending.port = port;
  auto form = Open(options);
  form->ArticleGrid->SetRow(1);
  Add(*form, "3");
  const std::string before = form->MessageText();

  QTest::mouseClick(form->Button2, Qt::LeftButton);
  EXPECT_TRUE(Messages().empty());  // no error text, no confirmation
  ASSERT_EQ(fOpenedUrls.size(), 1u);
  EXPECT_EQ(fOpenedUrls[0], BuildMailtoLink("reception@quillor.test", "Commande",
                                            {"Pharmacie du Port", "3 quai Est", "Bonjour,",
                                             "Veuillez trouver ci-dessous notre commande :", "",
                                             "3  3400001  ASPIRINE UPSA 500 MG"}));
  EXPECT_EQ(form->MessageText(), before);
  EXPECT_FALSE(form->SmtpClient1.IsOpen());
}

TEST_F(OrderTest, WithNoMailProgramABoxSaysTheOrderIsStillHereAndWhereItsCopyIs) {
  QTcpServer probe;
  ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
  TQuillorOptions options = TestOptions();
  options.sending.port = probe.serverPort();
  probe.close();
  fMailProgramPresent = false;
  auto form = Open(options);
  form->ArticleGrid->SetRow(1);
  Add(*form, "3");
  const std::string before = form->MessageText();

  QTest::mouseClick(form->Button2, Qt::LeftButton);
  EXPECT_EQ(fOpenedUrls.size(), 1u);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].kind, TMessageKind::Error);
  const std::string& text = Messages()[0].text;
  EXPECT_NE(text.find("ni remise \xE0 un programme de messagerie"), std::string::npos) << text;
  EXPECT_NE(text.find("toujours \xE0 l'\xE9"
                      "cran"),
            std::string::npos)
      << text;
  // The box names the copy, and the copy is there.
  const size_t start = text.find(UserDataPath().string());
  ASSERT_NE(start, std::string::npos) << text;
  const std::filesystem::path copy = text.substr(start);
  EXPECT_THAT(copy.filename().string(), ::testing::EndsWith("_non-envoyee.eml"));
  EXPECT_NE(TempDir::Read(copy).find("3  3400001  ASPIRINE UPSA 500 MG\r\n"), std::string::npos);
  EXPECT_EQ(form->MessageText(), before);
}

TEST_F(OrderTest, CharactersThatCannotTravelAreNamedAndNothingIsSent) {
  QTcpServer listener;  // would see any connection attempt
  ASSERT_TRUE(listener.listen(QHostAddress::LocalHost));
  TQuillorOptions options = TestOptions();
  options.sending.port = listener.serverPort();
  auto form = Open(options);
  form->Message_Memo->setPlainText(
      QStringLiteral("Bonjour,\n2 bo\u00EEtes \u2192 demain \U0001F600\nEUR \u20AC \u0152uvre"));
  form->Adresse_Memo->setPlainText(QStringLiteral("Pharmacie \u2192 Port"));

  QTest::mouseClick(form->Button2, Qt::LeftButton);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].kind, TMessageKind::Error);
  const std::string& text = Messages()[0].text;
  // Each named once, where it first occurs; what Windows-1252 holds is not named.
  EXPECT_NE(text.find("(U+2192), dans l'adresse, ligne 1, caract\xE8re 11"), std::string::npos) << text;
  EXPECT_NE(text.find("(U+1F600), dans le message, ligne 2, caract\xE8re 19"), std::string::npos) << text;
  EXPECT_EQ(text.find("U+2192", text.find("U+2192") + 1), std::string::npos) << text;
  EXPECT_EQ(text.find("U+20AC"), std::string::npos) << text;
  EXPECT_EQ(text.find("U+0152"), std::string::npos) << text;
  EXPECT_TRUE(fOpenedUrls.empty());
  QCoreApplication::processEvents();
  EXPECT_FALSE(listener.hasPendingConnections()) << "the sending started";
  EXPECT_EQ(MessageLines(*form).back(), "EUR \x80 \x8Cuvre");

  // Mended, the order goes (here to the mail program, the listener never answering SMTP).
  form->Message_Memo->setPlainText(QStringLiteral("Bonjour"));
  form->Adresse_Memo->setPlainText(QStringLiteral("Pharmacie du Port"));
  listener.close();
  QTest::mouseClick(form->Button2, Qt::LeftButton);
  EXPECT_EQ(fOpenedUrls.size(), 1u);
}

}  // namespace
}  // namespace quillor::test
