// The order window with the knowledge beside its catalogue, offscreen, on the
// bundled data: the marks of the grid's rows, the question before ordering
// an article in shortage, the equivalents list and the way back, the search
// by substance, the dates in the title; and knowledge files that are
// missing, cut short, of another encoding or with malformed lines.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>

#include "app/ArticleNotes.h"
#include "app/WidgetText.h"
#include "tests/app/WindowFixture.h"
#include "tests/support/TestPaths.h"

namespace quillor::test {
namespace {

using ::testing::Contains;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

// RITONAVIR VIATRIS 100MG CPR FL/30, in shortage since 22/09/2025; of its
// group, NORVIR is available and RITONAVIR ARROW in shortage too.
constexpr const char* kShortArticle = "3012237";
// QUETIAPINE EVOLUGEN LP 400MG CPR B/30, under supply tension.
constexpr const char* kTensionArticle = "3010124";
// TRACRIUM 25MG/2,5ML SOL INJ 5X2,5ML, reserved for hospital use.
constexpr const char* kHospitalArticle = "5651179";
// DOLIPRANE 1000MG CPR B/8, available.
constexpr const char* kAvailableArticle = "3595583";

class KnowledgeWindowTest : public WindowTest {
 protected:
  void UseBundledKnowledge() {
    for (const char* name : {kSpecialitiesFileName, kCompositionsFileName, kAvailabilityFileName}) {
      std::filesystem::copy_file(DataDir() / name, std::filesystem::path("Data") / name,
                                 std::filesystem::copy_options::overwrite_existing);
    }
  }

  std::unique_ptr<TQuillor_Form> OpenBundled() {
    UseBundledData();
    UseBundledKnowledge();
    auto form = Open();
    QApplication::processEvents();
    return form;
  }

  // The grid's row of the article, after an exact search of its code's
  // designation; -1 when it is not listed.
  static int32_t RowOf(TQuillor_Form& form, const std::string& cip7) {
    for (int32_t row = 1; row < form.ArticleGrid->GetRowCount(); ++row) {
      if (form.ArticleGrid->GetCell(0, row) == cip7) return row;
    }
    return -1;
  }

  // The bar code of a box: "34009", the CIP7, the EAN-13 check digit.
  static std::string Cip13Of(const std::string& cip7) {
    const std::string digits = "34009" + cip7;
    int sum = 0;
    for (size_t i = 0; i < digits.size(); ++i) sum += (digits[i] - '0') * (i % 2 == 0 ? 1 : 3);
    return digits + static_cast<char>('0' + (10 - sum % 10) % 10);
  }

  // Lists the article alone, as a scan of its box does, and makes it current.
  static void ListAlone(TQuillor_Form& form, const std::string& cip7) {
    form.Edit1->setText(QString::fromLatin1(Cip13Of(cip7).c_str()));
    PressEnter(form);
    ASSERT_EQ(Column(form, 0), std::vector<std::string>{cip7});
  }

  static QColor PixelAt(TQuillor_Form& form, int32_t col, int32_t row, int dx) {
    const QImage image = form.ListeArticles_StringGrid->grab().toImage();
    const QRect cell = form.ListeArticles_StringGrid->CellRect(col, row);
    const int x = dx >= 0 ? cell.left() + dx : cell.right() + dx;
    return image.pixelColor(static_cast<int>(x * image.devicePixelRatio()),
                            static_cast<int>(cell.center().y() * image.devicePixelRatio()));
  }

  // The order message's lines after its opening lines and the empty line.
  std::vector<std::string> OrderLines(TQuillor_Form& form) {
    std::vector<std::string> lines = MessageLines(form);
    const auto empty = std::find(lines.begin(), lines.end(), std::string());
    return empty == lines.end() ? lines : std::vector<std::string>(empty + 1, lines.end());
  }
};

// --- start-up: dates and notes --------------------------------------------------------------

TEST_F(KnowledgeWindowTest, TheTitleGivesTheCataloguesAndTheAvailabilitysDates) {
  auto form = OpenBundled();
  EXPECT_EQ(FromQString(form->windowTitle()),
            "Quillor \x97 Catalogue du 27/05/2026 \x97 disponibilit\xE9s du 19/05/2026");
  EXPECT_TRUE(form->Label6->toolTip().isEmpty()) << FromQString(form->Label6->toolTip());
  EXPECT_TRUE(form->Label7->toolTip().isEmpty()) << FromQString(form->Label7->toolTip());
  EXPECT_TRUE(Messages().empty());
  EXPECT_TRUE(form->RadioButton1->isChecked());
  EXPECT_EQ(FromQString(form->RadioButton4->text()), "Substance");
}

// --- marks --------------------------------------------------------------------------------------

TEST_F(KnowledgeWindowTest, ArticlesInShortageOrUnderTensionAreMarkedInEveryList) {
  auto form = OpenBundled();
  Type(*form, "quetiapine lp 400");
  QApplication::processEvents();
  // Every QUETIAPINE LP 400 is under tension; row 2 is in view and not the
  // current row, whose colours are the selection's.
  const int32_t tension = 2;
  ASSERT_EQ(form->Knowledge.AvailabilityOf(form->ArticleGrid->GetCell(0, tension)).status,
            TAvailabilityStatus::kTension);
  EXPECT_EQ(PixelAt(*form, 0, tension, 2), QColor(255, 236, 200)) << "the row's light orange";
  EXPECT_EQ(PixelAt(*form, 1, tension, -3), QColor(200, 110, 0)) << "the badge's strong orange";
  EXPECT_THAT(form->ArticleRowTooltip(tension), HasSubstr("Tension d'approvisionnement depuis le "));
  EXPECT_THAT(form->ArticleRowTooltip(RowOf(*form, kTensionArticle)),
              HasSubstr("Tension d'approvisionnement depuis le 16/09/2024"));
  EXPECT_THAT(form->ArticleRowTooltip(tension), HasSubstr("https://ansm.sante.fr/"));

  // The approximate search's list, and an unmarked article.
  form->RadioButton3->setChecked(true);
  form->Edit1->setText(QStringLiteral("ritonavir viatris 100"));
  PressEnter(*form);
  const int32_t shortage = RowOf(*form, kShortArticle);
  ASSERT_GT(shortage, 0);
  if (shortage > 1) {
    EXPECT_EQ(PixelAt(*form, 2, shortage, 2), QColor(255, 214, 214));
  }
  EXPECT_EQ(PixelAt(*form, 1, shortage, -3), QColor(178, 34, 34)) << "the badge, selected or not";
  ListAlone(*form, kAvailableArticle);
  form->ArticleGrid->SetRow(0);
  EXPECT_EQ(PixelAt(*form, 0, 1, 2), QColor(Qt::white));
  EXPECT_EQ(PixelAt(*form, 1, 1, -3), QColor(Qt::white));
  EXPECT_EQ(form->ArticleRowTooltip(1), "\xC9quivalents : F4 ou clic droit") << "every row names the key";
}

TEST_F(KnowledgeWindowTest, HospitalOnlyArticlesAreMarkedToo) {
  auto form = OpenBundled();
  ListAlone(*form, kHospitalArticle);
  form->ArticleGrid->SetRow(0);
  EXPECT_EQ(PixelAt(*form, 0, 1, 2), QColor(220, 235, 255));
  EXPECT_EQ(PixelAt(*form, 1, 1, -3), QColor(30, 80, 160));
  EXPECT_THAT(form->ArticleRowTooltip(1), HasSubstr("R\xE9serv\xE9 \xE0 l'usage hospitalier"));
}

// --- the question before ordering ----------------------------------------------------------------

TEST_F(KnowledgeWindowTest, AddingAnArticleInShortageAsksFirstAndCancelAddsNothing) {
  auto form = OpenBundled();
  ListAlone(*form, kShortArticle);
  const std::vector<std::string> before = OrderLines(*form);
  form->SpeedButton1Click();  // no answer: Escape
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].kind, TMessageKind::Information);
  EXPECT_THAT(Messages()[0].text, HasSubstr("3012237  RITONAVIR VIATRIS 100MG CPR FL/30"));
  EXPECT_THAT(Messages()[0].text, HasSubstr("Rupture de stock depuis le 22/09/2025"));
  EXPECT_THAT(Messages()[0].text, HasSubstr("2 \xE9quivalents, dont 1 disponible"));
  EXPECT_EQ(OrderLines(*form), before);
  EXPECT_FALSE(form->ShowingEquivalents());
}

TEST_F(KnowledgeWindowTest, TheUserMayAddAnywayOrSeeTheEquivalentsInstead) {
  auto form = OpenBundled();
  ListAlone(*form, kShortArticle);
  fAnswers->push_back(1);  // add anyway
  form->SpeedButton1Click();
  EXPECT_THAT(OrderLines(*form), ::testing::ElementsAre("1  3012237  RITONAVIR VIATRIS 100MG CPR FL/30"));

  fAnswers->push_back(0);  // the equivalents
  form->Edit2->setText(QStringLiteral("3"));
  form->SpeedButton1Click();
  EXPECT_EQ(OrderLines(*form).size(), 1u) << "nothing added";
  ASSERT_TRUE(form->ShowingEquivalents());
  EXPECT_EQ(Column(*form, 0), (std::vector<std::string>{"3440751", "3023552"})) << "NORVIR, available, first";
  EXPECT_THAT(FromQString(form->Label6->toolTip()), HasSubstr("\xC9quivalents de 3012237 RITONAVIR VIATRIS"));
  // NORVIR is available: added at once.
  form->ArticleGrid->SetRow(1);
  form->SpeedButton1Click();
  EXPECT_EQ(OrderLines(*form).back(), "3  3440751  NORVIR 100MG CPR FL/30");
  EXPECT_EQ(Messages().size(), 2u);
}

TEST_F(KnowledgeWindowTest, ScanQuantityEnterAsksForAShortageAndKeepsTheScanUntilAnswered) {
  auto form = OpenBundled();
  form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  form->Edit1->setText(QStringLiteral("3400930122372"));  // its CIP13
  PressEnter(*form);
  ASSERT_EQ(QApplication::focusWidget(), form->Edit2);
  QTest::keyClicks(form->Edit2, QStringLiteral("2"));
  QTest::keyClick(form->Edit2, Qt::Key_Return);  // Escape: nothing added
  EXPECT_EQ(Messages().size(), 1u);
  EXPECT_EQ(FromQString(form->Edit1->text()), "3400930122372") << "the search stays for another try";
  // An article under tension is only marked: no question.
  ListAlone(*form, kTensionArticle);
  form->SpeedButton1Click();
  EXPECT_EQ(Messages().size(), 1u);
  EXPECT_EQ(OrderLines(*form).back().substr(0, 12), "2  3010124  ");
}

// --- equivalents ------------------------------------------------------------------------------

TEST_F(KnowledgeWindowTest, TheEquivalentsKeyListsThemAndEscapeReturnsToTheSearch) {
  auto form = OpenBundled();
  form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  Type(*form, "quetiapine lp 400");
  const std::vector<std::string> search = Column(*form, 0);
  const int32_t row = RowOf(*form, kTensionArticle);
  form->ArticleGrid->SetRow(row);
  const QRect list = form->ListeArticles_StringGrid->geometry();
  EXPECT_FALSE(form->Label6->isVisible());
  QTest::keyClick(form->Edit1, Qt::Key_F4);
  ASSERT_TRUE(form->ShowingEquivalents());
  // The caption is a line over the list, which gives way without leaving
  // the window.
  EXPECT_TRUE(form->Label6->isVisible());
  EXPECT_EQ(form->Label6->y(), list.y());
  EXPECT_GT(form->ListeArticles_StringGrid->y(), form->Label6->geometry().bottom());
  EXPECT_LE(form->ListeArticles_StringGrid->geometry().bottom(), list.bottom());
  EXPECT_LE(QFontMetrics(form->Label6->font()).horizontalAdvance(form->Label6->text()),
            form->Label6->width());
  // Too long for the line, the caption gives up its end but not the way back.
  EXPECT_THAT(FromQString(form->Label6->text()), HasSubstr("\x85"));
  EXPECT_THAT(FromQString(form->Label6->text()), EndsWith("\xC9" "chap : retour"));
  const std::vector<std::string> listed = Column(*form, 0);
  EXPECT_EQ(std::count(listed.begin(), listed.end(), kTensionArticle), 0);
  EXPECT_GT(listed.size(), 20u);
  for (const std::string& designation : Column(*form, 1)) EXPECT_THAT(designation, HasSubstr("400"));
  EXPECT_THAT(Column(*form, 1), Contains("XEROQUEL LP 400MG CPR 3X10"));
  EXPECT_THAT(FromQString(form->Label6->toolTip()), HasSubstr("(groupe g\xE9n\xE9rique)"));

  QTest::keyClick(form->ListeArticles_StringGrid, Qt::Key_Escape);
  EXPECT_FALSE(form->ShowingEquivalents());
  EXPECT_EQ(Column(*form, 0), search);
  EXPECT_EQ(form->ArticleGrid->GetRow(), row) << "back on the article";
  EXPECT_TRUE(form->Label6->toolTip().isEmpty());
  EXPECT_FALSE(form->Label6->isVisible());
  EXPECT_EQ(form->ListeArticles_StringGrid->geometry(), list);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(KnowledgeWindowTest, TheNextSearchLeavesTheEquivalentsAndTheMenuOffersThem) {
  auto form = OpenBundled();
  ListAlone(*form, kShortArticle);
  std::unique_ptr<QMenu> menu = form->ArticleMenu(1);
  ASSERT_EQ(menu->actions().size(), 2);
  EXPECT_EQ(FromQString(menu->actions()[0]->text()), "\xC9quivalents\tF4");
  EXPECT_THAT(FromQString(menu->actions()[1]->text()), HasSubstr("Page de l'ANSM"));
  menu->actions()[1]->trigger();
  ASSERT_EQ(fOpenedUrls.size(), 1u);
  EXPECT_EQ(fOpenedUrls[0].rfind("https://ansm.sante.fr/", 0), 0u);
  menu->actions()[0]->trigger();
  ASSERT_TRUE(form->ShowingEquivalents());
  EXPECT_EQ(FromQString(form->ArticleMenu(1)->actions().back()->text()),
            "Retour \xE0 la recherche\t\xC9"
            "chap");
  // A search replaces the list and leaves its mode.
  form->Edit1->setText(QStringLiteral("doliprane 1000"));
  EXPECT_FALSE(form->ShowingEquivalents());
  EXPECT_TRUE(form->Label6->toolTip().isEmpty());
  EXPECT_NE(RowOf(*form, kAvailableArticle), -1);
  // No code, no menu.
  form->Edit1->setText(QStringLiteral("zzzzz"));
  EXPECT_TRUE(form->ArticleMenu(1)->actions().isEmpty());
  form->ShowEquivalents();
  EXPECT_FALSE(form->ShowingEquivalents()) << "the row of Aucune correspondance";
}

TEST_F(KnowledgeWindowTest, AnArticleWithoutEquivalentSaysSo) {
  auto form = OpenBundled();
  ListAlone(*form, "2697784");  // VICTAN 2MG CPR B/30, in shortage, alone of its kind
  form->ShowEquivalents();
  ASSERT_TRUE(form->ShowingEquivalents());
  EXPECT_EQ(Column(*form, 1), std::vector<std::string>{"Aucune correspondance"});
  EXPECT_THAT(FromQString(form->Label6->toolTip()), HasSubstr("Aucun \xE9quivalent connu de 2697784"));
  fAnswers->push_back(0);
  form->ReturnToSearch();
  form->SpeedButton1Click();
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_THAT(Messages()[0].text, HasSubstr("Aucun \xE9quivalent connu."));
  EXPECT_EQ(OrderLines(*form).back(), "1  2697784  VICTAN 2MG CPR B/30") << "its first answer adds";
}

// --- the search by substance ------------------------------------------------------------------

TEST_F(KnowledgeWindowTest, SubstanceModeNarrowsAsYouTypeInDesignationOrder) {
  auto form = OpenBundled();
  form->RadioButton4->click();
  const std::vector<std::string> all = Column(*form, 0);
  Type(*form, "pa");
  EXPECT_EQ(Column(*form, 0), all) << "two characters do not search";
  Type(*form, "racetamol 1000");
  const std::vector<std::string> designations = Column(*form, 1);
  EXPECT_GT(designations.size(), 30u);
  EXPECT_TRUE(std::is_sorted(designations.begin(), designations.end()));
  for (const char* brand :
       {"DOLIPRANE 1000MG CPR B/8", "DAFALGAN 1000MG CPR B/8", "EFFERALGAN 1000MG CPR B/8"}) {
    EXPECT_NE(std::find(designations.begin(), designations.end(), brand), designations.end()) << brand;
  }
  for (const std::string& designation : designations) {
    EXPECT_TRUE(designation.find("1000") != std::string::npos ||
                designation.find("1G") != std::string::npos ||
                designation.find("10MG/ML") != std::string::npos)
        << designation;
  }
  // The other modes are as they were: the exact search of the same words
  // finds only designations that spell them.
  form->RadioButton1->click();
  const std::vector<std::string> exact = Column(*form, 1);
  EXPECT_LT(exact.size(), designations.size());
  for (const std::string& designation : exact) {
    EXPECT_THAT(designation, HasSubstr("PARACETAMOL"));
    EXPECT_THAT(designation, HasSubstr("1000"));
  }
  form->Edit1->setText(QStringLiteral("dafalgan 1000"));
  EXPECT_EQ(Column(*form, 1).front(), "DAFALGAN 1000MG CPR B/40");
  EXPECT_TRUE(Messages().empty());
}

// --- knowledge files that cannot be used ----------------------------------------------------------

TEST_F(KnowledgeWindowTest, WithoutKnowledgeFilesTheWindowStartsAsBeforeAndSaysSoOnce) {
  UseBundledData();
  auto form = Open();
  EXPECT_EQ(form->windowTitle(), QStringLiteral("Quillor"));
  EXPECT_TRUE(Messages().empty()) << "no box at start-up";
  EXPECT_THAT(FromQString(form->Label7->toolTip()), HasSubstr("Data/Medicaments.txt absent"));
  EXPECT_EQ(form->ListeArticles_StringGrid->pos(), QPoint(8, 168)) << "the list where it always is";
  // Ordering works as ever, for any article.
  ListAlone(*form, kShortArticle);
  form->SpeedButton1Click();
  EXPECT_EQ(OrderLines(*form).back(), "1  3012237  RITONAVIR VIATRIS 100MG CPR FL/30");
  form->ShowEquivalents();
  EXPECT_THAT(FromQString(form->Label6->toolTip()), HasSubstr("inconnu"));
  form->ReturnToSearch();
  EXPECT_THAT(FromQString(form->Label7->toolTip()), HasSubstr("Data/Medicaments.txt absent"))
      << "the caption did not take its place";
  form->RadioButton4->click();
  Type(*form, "paracetamol");
  EXPECT_EQ(Column(*form, 1), std::vector<std::string>{"Aucune correspondance"});
  EXPECT_TRUE(Messages().empty());
}

TEST_F(KnowledgeWindowTest, AnAvailabilityFileCutShortMarksNothingAndIsNamed) {
  UseBundledData();
  UseBundledKnowledge();
  const std::string whole = TempDir::Read(DataDir() / kAvailabilityFileName);
  WriteDataFile(kAvailabilityFileName, whole.substr(0, whole.size() * 2 / 3));
  auto form = Open();
  EXPECT_THAT(FromQString(form->Label7->toolTip()), HasSubstr("Data/Disponibilites.txt incomplet"));
  EXPECT_EQ(FromQString(form->windowTitle()), "Quillor \x97 Catalogue du 27/05/2026");
  ListAlone(*form, kShortArticle);
  form->ArticleGrid->SetRow(0);
  EXPECT_EQ(PixelAt(*form, 0, 1, 2), QColor(Qt::white)) << "no mark from a file cut short";
  form->ArticleGrid->SetRow(1);
  form->SpeedButton1Click();
  EXPECT_TRUE(Messages().empty()) << "and no question";
  EXPECT_EQ(OrderLines(*form).size(), 1u);
}

TEST_F(KnowledgeWindowTest, AnotherEncodingOrMalformedLinesAreNamedWithoutABox) {
  UseBundledData();
  UseBundledKnowledge();
  std::string wide = "\xFF\xFE";
  for (char c : TempDir::Read(DataDir() / kSpecialitiesFileName).substr(0, 2000)) {
    wide += c;
    wide += '\0';
  }
  WriteDataFile(kSpecialitiesFileName, wide);
  auto form = Open();
  EXPECT_THAT(FromQString(form->Label7->toolTip()), HasSubstr("dans un autre encodage que Windows-1252"));
  EXPECT_TRUE(Messages().empty());
  form.reset();

  std::string availability = TempDir::Read(DataDir() / kAvailabilityFileName);
  availability.replace(availability.find("\r\nD;") + 2, 1, "X");
  UseBundledKnowledge();
  WriteDataFile(kAvailabilityFileName, availability);
  form = Open();
  EXPECT_THAT(FromQString(form->Label7->toolTip()), HasSubstr("1 ligne illisible ignor\xE9"
                                                              "e (ligne 2)"));
  EXPECT_TRUE(Messages().empty());
}

TEST_F(KnowledgeWindowTest, ACompositionsFileThatCannotBeReadIsNamedWhenFirstNeeded) {
  UseBundledData();
  UseBundledKnowledge();
  RemoveDataFile(kCompositionsFileName);
  auto form = Open();
  EXPECT_TRUE(form->Label7->toolTip().isEmpty()) << "not needed at start-up";
  form->RadioButton4->click();
  Type(*form, "paracetamol");
  EXPECT_THAT(FromQString(form->Label7->toolTip()), HasSubstr("Data/Compositions.txt absent"));
  EXPECT_TRUE(Messages().empty());
  // The generic groups still give equivalents.
  ListAlone(*form, kTensionArticle);
  form->ShowEquivalents();
  EXPECT_GT(Column(*form, 0).size(), 20u);
  form->ReturnToSearch();
  EXPECT_THAT(FromQString(form->Label7->toolTip()), HasSubstr("Data/Compositions.txt absent"));
}

}  // namespace
}  // namespace quillor::test
