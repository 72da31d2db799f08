// Scanning boxes into the search field: every form of a box's code finds its
// article alone, unreadable codes say so, and scan, quantity, Enter, next
// scan works with key events alone. The codes are real ones of the public
// drug database's 2026 export.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>

#include "app/WidgetText.h"
#include "database/ArticleSearch.h"
#include "tests/app/WindowFixture.h"

namespace quillor::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

// DOLIPRANE 1000 mg, 8 tablets, and an article of the 300xxxx block, whose
// CIP7 has no check digit of its own.
constexpr const char* kDolipraneCip13 = "3400935955838";
constexpr const char* kOtherCip13 = "3400930076514";
const std::string kDolipraneMatrix =
    "]d2010340093595583817271130"
    "10AB12-C~21XK29QP3";

class ScanTest : public WindowTest {
 protected:
  ScanTest() {
    WriteArticles({"CIP;Designation;Prix", "3595583;DOLIPRANE 1000MG CPR B/8;1,16",
                   "3007651;OROCAL 500MG CPR A SUCER B/60;3,20", "3400001;ASPIRINE UPSA 500 MG;2,18",
                   "3595590;DOLIPRANE 500MG GELU B/16;1,50"});
    WriteSettings("1", "2");
    WriteDataFile("AdressePharmacie.txt", "Pharmacie du Port\r\n");
  }

  static void Scan(TQuillor_Form& form, const std::string& code) {
    form.Edit1->setText(QString::fromLatin1(code.c_str()));
    PressEnter(form);
  }

  // The order message below its opening lines and the empty line.
  static std::vector<std::string> OrderLines(TQuillor_Form& form) {
    std::vector<std::string> lines = MessageLines(form);
    return std::vector<std::string>(lines.begin() + 3, lines.end());
  }
};

TEST_F(ScanTest, EveryFormOfABoxCodeFindsItsArticleAloneInEitherMode) {
  auto form = Open();
  form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  const std::string gs = "\x1D";
  for (QRadioButton* mode : {form->RadioButton1, form->RadioButton3, form->RadioButton4}) {
    mode->setChecked(true);
    for (const std::string& code :
         {std::string("3595583"), std::string(kDolipraneCip13), kDolipraneMatrix,
          std::string("]E0") + kDolipraneCip13,  // a scanner that prefixes its bar codes
          std::string("0103400935955838172711301") + "0LOT7" + gs + "21SN1",  // no prefix, byte 29
          std::string("]d217271130") + "10LOT7<GS>" + "0103400935955838",     // product code last
          std::string("  ") + kDolipraneCip13 + " "}) {
      Scan(*form, code);
      EXPECT_THAT(Column(*form, 0), ElementsAre("3595583")) << code;
      EXPECT_THAT(Column(*form, 2), ElementsAre("1,16")) << code;
      EXPECT_EQ(form->ArticleGrid->GetRow(), 1);
      EXPECT_EQ(QApplication::focusWidget(), form->Edit2) << code;
      EXPECT_EQ(form->Edit2->selectedText(), form->Edit2->text()) << "the quantity is ready to be typed over";
      form->Edit1->setFocus();
    }
    // A code the CIP7 check digit cannot read is still found by its CIP13.
    Scan(*form, kOtherCip13);
    EXPECT_THAT(Column(*form, 1), ElementsAre("OROCAL 500MG CPR A SUCER B/60"));
    form->Edit1->setFocus();
  }
  EXPECT_EQ(ErrorCount(), 0);
}

TEST_F(ScanTest, UnreadableCodesSayWhyOnEnterAndLeaveTheGrid) {
  auto form = Open();
  // Typed key by key, a wrong code shows nothing while it grows (its first
  // digits are searched as any text is).
  Type(*form, "3400935955839");
  EXPECT_EQ(ErrorCount(), 0);
  const std::vector<std::string> shown = Column(*form, 0);
  PressEnter(*form);
  ASSERT_EQ(ErrorCount(), 1);
  EXPECT_THAT(Messages().back().text, HasSubstr("Code illisible : 3400935955839 (cl\xE9 de contr\xF4le"));
  EXPECT_EQ(Column(*form, 0), shown);

  Scan(*form, "]d20103400935955838");
  ASSERT_THAT(Column(*form, 0), ElementsAre("3595583"));
  for (const char* unreadable : {"]d20103400935955830", "]d2017", "]d21727113010LOT7<GS>21SN1"}) {
    Scan(*form, unreadable);
    EXPECT_THAT(Messages().back().text, HasSubstr(std::string("Code illisible : ") + unreadable))
        << unreadable;
    EXPECT_THAT(Column(*form, 0), ElementsAre("3595583")) << unreadable;
  }
  EXPECT_THAT(Messages().back().text, HasSubstr("pas de code produit"));
  EXPECT_EQ(ErrorCount(), 4);
  // A bar code's prefix with anything but an EAN-13 after it.
  Scan(*form, "]E0359558");
  EXPECT_THAT(Messages().back().text, HasSubstr("Code illisible : ]E0359558 (code-barres EAN-13 attendu"));
  EXPECT_EQ(ErrorCount(), 5);
}

TEST_F(ScanTest, AValidCodeThatNoArticleHoldsFindsNothing) {
  auto form = Open();
  form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  for (const char* code : {"3400930000113", "3401560123456", "]d20104012345678901"}) {
    form->Edit1->setFocus();
    Scan(*form, code);
    EXPECT_EQ(form->ArticleGrid->GetRowCount(), 2) << code;
    EXPECT_EQ(form->ArticleGrid->GetCell(1, 1), "Aucune correspondance") << code;
    EXPECT_NE(QApplication::focusWidget(), form->Edit2) << code;
  }
  EXPECT_EQ(ErrorCount(), 0);
}

TEST_F(ScanTest, ScanQuantityEnterNextScanWithKeysAlone) {
  auto form = Open();
  form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  form->Edit1->setFocus();
  ASSERT_TRUE(WaitUntil([&] { return QApplication::focusWidget() == form->Edit1; }));
  // The DataMatrix as a scanner types it: its group separator as Ctrl+].
  QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("]d2010340093595583817271130") + "10AB12-C");
  QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_BracketRight, QString(QChar(0x1D)),
                      Qt::ControlModifier);
  QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("21XK29QP3"));
  EXPECT_EQ(FromQString(form->Edit1->text()),
            "]d2010340093595583817271130"
            "10AB12-C\x1D"
            "21XK29QP3");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  ASSERT_EQ(QApplication::focusWidget(), form->Edit2);
  QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("3"));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_THAT(OrderLines(*form), ElementsAre("3  3595583  DOLIPRANE 1000MG CPR B/8"));
  EXPECT_TRUE(form->Edit1->text().isEmpty());
  ASSERT_EQ(QApplication::focusWidget(), form->Edit1) << "ready for the next scan";

  // The next box, by its EAN-13 bar code.
  QTest::keyClicks(QApplication::focusWidget(), QString::fromLatin1(kOtherCip13));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("12"));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
  EXPECT_THAT(OrderLines(*form), ElementsAre("3  3595583  DOLIPRANE 1000MG CPR B/8",
                                             "12  3007651  OROCAL 500MG CPR A SUCER B/60"));
  // A quantity that adds nothing stays to be mended.
  QTest::keyClicks(QApplication::focusWidget(), QString::fromLatin1(kDolipraneCip13));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("x"));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_EQ(OrderLines(*form).size(), 2u);
  EXPECT_EQ(QApplication::focusWidget(), form->Edit2);
  EXPECT_EQ(ErrorCount(), 0);
}

TEST_F(WindowTest, DesignationSearchesGiveWhatTheyGaveBefore) {
  UseBundledData();
  auto form = Open();
  auto table = TMyDatabase::CreateFromList([&] {
    std::vector<std::string> lines;
    lines.push_back(form->ArticleTable->FieldName(0) + ";" + form->ArticleTable->FieldName(1) + ";" +
                    form->ArticleTable->FieldName(2));
    for (int32_t r = 0; r < form->ArticleTable->RecordCount(); ++r)
      lines.push_back(form->ArticleTable->DBGetString(0, r) + ";" + form->ArticleTable->DBGetString(1, r) +
                      ";" + form->ArticleTable->DBGetString(2, r));
    return lines;
  }());
  // Numbers that are no codes, and words: searched as designations.
  for (const char* text : {"doliprane", "1000", "500 mg", "2000", "cpr b/30", "3400934", "12345678"}) {
    form->Edit1->setText(QString::fromLatin1(text));
    PressEnter(*form);
    SearchArticles(*table, NormaliseSearchText(text), false);
    std::vector<std::string> expected;
    for (int32_t record : table->Selection()) expected.push_back(table->DBGetString(0, record));
    if (expected.empty()) expected.push_back("");
    EXPECT_EQ(Column(*form, 0), expected) << text;
  }
  EXPECT_EQ(ErrorCount(), 0);
}

}  // namespace
}  // namespace quillor::test
