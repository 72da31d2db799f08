// The order window driven offscreen: start-up, the address kept between
// runs, the size floor, captions and prices, and the search triggers.
#include <gmock/gmock.h>

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <map>

#include "app/UpDown.h"
#include "app/WidgetText.h"
#include "grid/widget/StringGridWidget.h"
#include "tests/app/WindowFixture.h"
#include "tests/support/TestPaths.h"
#include "text/StringManager.h"
#include "text/TextLines.h"

namespace quillor::test {
namespace {

const std::vector<std::string> kArticles = {
    "CIP;Designation;Prix",
    "3400001;ASPIRINE UPSA 500 MG, COMPRIME EFFERVESCENT;2,18",
    "3400002;ASPIRINE DU RHONE 500 MG, COMPRIME;1,15",
    "3400003;ASPIRINE PROTECT 100 MG;4,35",
    "3400004;EFFERALGAN 1 G, COMPRIME;19,99",
    "3400005;DOLIPRANE 1000 MG, COMPRIME;0,29",
    "3400006;doliprane sirop enfant;12,349",
    "3400007;KARDEGIC 75 MG;-12,349",
    "3400008;VITAMINE C 500;12,3",
    "3400009;SERUM PHYSIOLOGIQUE;7",
    "3400010;GEL ARNICA;12.50",
    "3400011;TISANE;sur demande",
    "3400012;AMOXICILLINE 1 G;12,34",
    "3400013;BANDE VELPEAU;-0,5",
};

std::map<std::string, std::string> PricesByCip(TQuillor_Form& form) {
  std::map<std::string, std::string> prices;
  for (int32_t row = 1; row < form.ArticleGrid->GetRowCount(); ++row) {
    prices[form.ArticleGrid->GetCell(0, row)] = form.ArticleGrid->GetCell(2, row);
  }
  return prices;
}

void ExpectMostSimilarFirst(const std::string& query, const std::vector<std::string>& designations) {
  for (size_t i = 1; i < designations.size(); ++i) {
    ASSERT_GE(TStringManager::StringSimilarity(query, designations[i - 1]),
              TStringManager::StringSimilarity(query, designations[i]))
        << designations[i - 1] << " / " << designations[i];
  }
}

class SmallCatalogueTest : public WindowTest {
 protected:
  SmallCatalogueTest() {
    WriteArticles(kArticles);
    WriteSettings("1", "2");
    WriteDataFile("AdressePharmacie.txt", "Pharmacie du Port\r\n3 quai Est\r\n");
  }
};

// --- start-up -------------------------------------------------------------------------

TEST_F(WindowTest, StartsOnTheBundledDataWithoutAnyReport) {
  UseBundledData();
  auto form = Open();
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(form->windowTitle(), QStringLiteral("Quillor"));
  EXPECT_EQ(form->focusWidget(), form->Edit1);
  EXPECT_TRUE(form->RadioButton1->isChecked());
  // Trace reports reach the presenter too: nothing at all was shown.
  EXPECT_TRUE(Messages().empty());

  ASSERT_TRUE(form->ArticleTable);
  // Every article of the bundled file, read independently as plain text.
  TStringList plain;
  ASSERT_TRUE(ReadFileLines(RealCatalogue().string(), plain));
  EXPECT_EQ(form->ArticleTable->RecordCount(), static_cast<int32_t>(plain.size()) - 1);
  EXPECT_EQ(form->ArticleGrid->GetRowCount(), form->ArticleTable->RecordCount() + 1);
  EXPECT_EQ(TitleRow(*form), (std::vector<std::string>{"CIP",
                                                       "D\xE9"
                                                       "signation",
                                                       "Prix"}));
  const std::vector<std::string> designations = Column(*form, 1);
  EXPECT_TRUE(std::is_sorted(designations.begin(), designations.end(), [](const auto& a, const auto& b) {
    return TStringManager::CompareValues(a, b) < 0;
  }));

  TStringList address;
  ASSERT_TRUE(ReadFileLines((DataDir() / "AdressePharmacie.txt").string(), address));
  EXPECT_EQ(MemoLines(*form->Adresse_Memo), address);
  const std::vector<std::string> message = MessageLines(*form);
  ASSERT_FALSE(message.empty());
  EXPECT_EQ(message.back(), "");
  EXPECT_EQ(message.front(), "Bonjour,");
}

TEST_F(SmallCatalogueTest, MissingArticleFileShowsOneBoxAndLeavesAUsableWindow) {
  RemoveDataFile("BaseDeDonneeArticles.db");
  auto form = Open();
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(ErrorCount(), 1);
  ASSERT_FALSE(Messages().empty());
  EXPECT_NE(Messages().front().text.find("BaseDeDonneeArticles.db"), std::string::npos);
  // The window was shown before the articles were read.
  EXPECT_TRUE(Messages().front().windowVisible);
  EXPECT_EQ(TitleRow(*form), (std::vector<std::string>{"CIP",
                                                       "D\xE9"
                                                       "signation",
                                                       "Prix"}));
  EXPECT_EQ(MessageLines(*form),
            (std::vector<std::string>{"Bonjour,", "Veuillez trouver ci-dessous notre commande :", ""}));
  EXPECT_EQ(form->AddressText(), "");
  const std::vector<std::string> codes = Column(*form, 0);
  EXPECT_TRUE(std::all_of(codes.begin(), codes.end(), [](const std::string& code) { return code.empty(); }))
      << "no row number passes for an article code";
  // Still usable: searching without a table does nothing and reports nothing.
  form->Edit1->setText(QStringLiteral("aspirine"));
  PressEnter(*form);
  EXPECT_EQ(ErrorCount(), 1);
}

TEST_F(SmallCatalogueTest, ArticleFileWithoutAnyLineShowsOneBox) {
  WriteDataFile("BaseDeDonneeArticles.db", "");
  auto form = Open();
  EXPECT_EQ(ErrorCount(), 1);
  EXPECT_FALSE(form->ArticleTable);
  EXPECT_EQ(form->AddressText(), "");
  EXPECT_TRUE(form->isVisible());
}

TEST_F(SmallCatalogueTest, CaptionsComeFromTheSettingsFile) {
  WriteDataFile(
      "Versions.ini",
      "[EURO]\r\nCoeffMonnaie=1\r\nNombreDeDecimales=2\r\n[FRANCAIS]\r\nTitre=Catalogue\r\nColCIP=Code\r\n"
      "ColDesignation=Nom\r\nColTarif=Tarif\r\nPanelRecherche=CHERCHER\r\nRechExacte=Mots\r\n"
      "RechApprox=Proche\r\nRechSubstance=Principe actif\r\nBtnQuitter=&Fermer\r\nMsgMail3=Cordialement\r\n");
  auto form = Open();
  EXPECT_EQ(ErrorCount(), 0);
  EXPECT_EQ(form->Label1->text(), QStringLiteral("Catalogue"));
  EXPECT_EQ(form->GroupBox1->title(), QStringLiteral("CHERCHER"));
  EXPECT_EQ(form->RadioButton1->text(), QStringLiteral("Mots"));
  EXPECT_EQ(form->RadioButton3->text(), QStringLiteral("Proche"));
  EXPECT_EQ(form->RadioButton4->text(), QStringLiteral("Principe actif"));
  EXPECT_EQ(form->Button1->text(), QStringLiteral("&Fermer"));
  EXPECT_EQ(TitleRow(*form), (std::vector<std::string>{"Code", "Nom", "Tarif"}));
  // Only the opening lines that exist, then one empty line.
  EXPECT_EQ(form->MessageText(), "Cordialement\r\n\r\n");
}

// --- the address ------------------------------------------------------------------------

TEST_F(SmallCatalogueTest, EditedAddressIsSavedAtCloseAndShownAtTheNextStart) {
  {
    auto form = Open();
    EXPECT_EQ(form->AddressText(), "Pharmacie du Port\r\n3 quai Est\r\n");
    SetMemoText(*form->Adresse_Memo,
                "Pharmacie des Ar\xE8"
                "nes\r\n12 rue Haute\r\n13200 Arles");
    EXPECT_TRUE(form->close());
  }
  // Lines separated by CR LF, nothing added after the last one.
  EXPECT_EQ(TempDir::Read(UserAddressPath()),
            "Pharmacie des Ar\xE8"
            "nes\r\n12 rue Haute\r\n13200 Arles");
  WriteDataFile("AdressePharmacie.txt",
                "Adresse livr\xE9"
                "e\r\n");
  auto next = Open();
  EXPECT_EQ(MemoLines(*next->Adresse_Memo), (std::vector<std::string>{"Pharmacie des Ar\xE8"
                                                                      "nes",
                                                                      "12 rue Haute", "13200 Arles"}));
  EXPECT_EQ(ErrorCount(), 0);
}

TEST_F(SmallCatalogueTest, EveryKindOfLineBreakInTheAddressFileEndsALine) {
  std::filesystem::create_directories(UserAddressPath().parent_path());
  fDir.Write("config/Quillor/Quillor/AdressePharmacie.txt", "un\rdeux\ntrois\r\nquatre\r\n");
  auto form = Open();
  EXPECT_EQ(form->AddressText(), "un\r\ndeux\r\ntrois\r\nquatre\r\n");
  EXPECT_EQ(MemoLines(*form->Adresse_Memo), (std::vector<std::string>{"un", "deux", "trois", "quatre"}));
}

TEST_F(SmallCatalogueTest, AnAddressThatCannotBeSavedKeepsTheWindowOpen) {
  auto form = Open();
  // A folder where the file should go: the save must fail.
  std::filesystem::create_directories(UserAddressPath());
  EXPECT_FALSE(form->close());
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(ErrorCount(), 1);
  std::filesystem::remove(UserAddressPath());
  EXPECT_TRUE(form->close());
  EXPECT_EQ(TempDir::Read(UserAddressPath()), "Pharmacie du Port\r\n3 quai Est\r\n");
}

TEST_F(SmallCatalogueTest, NoAddressFileAnywhereShowsOneBoxAfterTheArticlesAreShown) {
  RemoveDataFile("AdressePharmacie.txt");
  auto form = Open();
  EXPECT_EQ(ErrorCount(), 1);
  ASSERT_FALSE(Messages().empty());
  EXPECT_NE(Messages().front().text.find("AdressePharmacie.txt"), std::string::npos);
  EXPECT_TRUE(form->isVisible());
  // Every step before the address was done: articles, prices and titles.
  EXPECT_EQ(form->ArticleGrid->GetRowCount(), static_cast<int32_t>(kArticles.size()));
  EXPECT_EQ(PricesByCip(*form).at("3400010"), "12,5");
  EXPECT_EQ(TitleRow(*form)[2], "Prix");
  EXPECT_EQ(form->AddressText(), "");
}

// A start that stopped before the address was read leaves the memo empty:
// closing must not replace the address the user keeps with nothing.
TEST_F(SmallCatalogueTest, AStartStoppedBeforeTheAddressKeepsTheSavedAddress) {
  std::filesystem::create_directories(UserAddressPath().parent_path());
  fDir.Write("config/Quillor/Quillor/AdressePharmacie.txt", "Pharmacie du Port\r\n3 quai Est");
  RemoveDataFile("BaseDeDonneeArticles.db");
  {
    auto form = Open();
    EXPECT_EQ(form->AddressText(), "");
    EXPECT_TRUE(form->close());
  }
  EXPECT_EQ(TempDir::Read(UserAddressPath()), "Pharmacie du Port\r\n3 quai Est");
  {
    auto form = Open();
    QTest::keyClicks(form->Adresse_Memo, "Officine");
    EXPECT_TRUE(form->close());
  }
  EXPECT_EQ(TempDir::Read(UserAddressPath()), "Officine") << "an address typed since is saved";
  EXPECT_EQ(ErrorCount(), 2) << "one box per start, none at close";
}

TEST_F(SmallCatalogueTest, QuitButtonClosesAndSaves) {
  auto form = Open();
  QTest::mouseClick(form->Button1, Qt::LeftButton);
  EXPECT_FALSE(form->isVisible());
  EXPECT_TRUE(std::filesystem::exists(UserAddressPath()));
}

TEST_F(SmallCatalogueTest, EveryControlHasItsNameParentPlaceAndFirstText) {
  auto form = Open();
  EXPECT_EQ(form->geometry(), QRect(64, 55, 860, 496));
  struct Placed {
    const char* name;
    const char* parent;
    QRect rect;  // an empty size: the control sizes itself to its text
  };
  const std::vector<Placed> controls = {
      {"Label1", "Quillor_Form", {128, 80, 279, 20}},
      {"Image1", "Quillor_Form", {8, 16, 409, 121}},
      {"ListeArticles_StringGrid", "Quillor_Form", {8, 168, 505, 0}},
      {"Panel1", "Quillor_Form", {424, 8, 177, 145}},
      {"GroupBox1", "Quillor_Form", {432, 16, 161, 97}},
      {"RadioButton1", "GroupBox1", {8, 24, 73, 17}},
      {"RadioButton3", "GroupBox1", {8, 48, 97, 17}},
      {"Edit1", "Quillor_Form", {432, 120, 137, 21}},
      {"SpeedButton2", "Panel1", {144, 112, 23, 22}},
      {"Panel2", "Quillor_Form", {520, 176, 81, 177}},
      {"Label3", "Panel2", {16, 8, 0, 0}},
      {"Label4", "Panel2", {16, 40, 0, 0}},
      {"Edit2", "Panel2", {8, 56, 49, 21}},
      {"UpDown1", "Panel2", {57, 56, 16, 21}},
      {"SpeedButton1", "Panel2", {8, 96, 65, 49}},
      {"Message_Memo", "Quillor_Form", {608, 8, 249, 345}},
      {"Label2", "Quillor_Form", {656, 360, 0, 0}},
      {"Adresse_Memo", "Quillor_Form", {608, 376, 249, 73}},
      {"Button1", "Quillor_Form", {528, 464, 65, 25}},
      {"Button2", "Quillor_Form", {664, 464, 187, 25}},
  };
  for (const Placed& placed : controls) {
    SCOPED_TRACE(placed.name);
    QWidget* control = form->findChild<QWidget*>(QString::fromLatin1(placed.name));
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->parentWidget()->objectName().toStdString(), placed.parent);
    EXPECT_EQ(control->pos(), placed.rect.topLeft());
    // The grid's height follows the window (checked with the size floor).
    if (placed.rect.width() > 0) {
      EXPECT_EQ(control->width(), placed.rect.width());
    }
    if (placed.rect.height() > 0) {
      EXPECT_EQ(control->height(), placed.rect.height());
    }
  }
  EXPECT_EQ(form->Label3->text(), QStringLiteral("AJOUTER"));
  EXPECT_EQ(FromQString(form->Label4->text()), "Quantit\xE9");
  EXPECT_EQ(form->Label2->text(), QStringLiteral("DE LA PART DE LA PHARMACIE"));
  EXPECT_EQ(form->Button2->text(), QStringLiteral("Envoyer la Commande"));
  EXPECT_EQ(form->Edit1->text(), QString());
  EXPECT_EQ(form->Edit2->text(), QStringLiteral("1"));
  EXPECT_EQ(form->UpDown1->Min(), 0);
  EXPECT_EQ(form->UpDown1->Max(), 100);
  EXPECT_EQ(form->UpDown1->Position(), 1);
  EXPECT_TRUE(form->SpeedButton1->text().isEmpty());
  EXPECT_TRUE(form->SpeedButton2->text().isEmpty());
  EXPECT_EQ(form->ArticleGrid->GetFixedCols(), 0);
  EXPECT_EQ(form->ArticleGrid->GetFixedRows(), 1);
}

// The captions are read at start-up into buttons of fixed widths: a face
// wider than the classic one must not cut their ends off.
TEST_F(SmallCatalogueTest, SearchModeCaptionsFitTheirButtons) {
  auto form = Open();
  for (QRadioButton* button : {form->RadioButton1, form->RadioButton3, form->RadioButton4}) {
    SCOPED_TRACE(button->objectName().toStdString());
    EXPECT_LE(button->sizeHint().width(), button->width());
    EXPECT_EQ(button->width(), button == form->RadioButton1 ? 73 : 97);
  }
  EXPECT_EQ(form->RadioButton3->text(), QStringLiteral("Approximative"));
  EXPECT_EQ(form->RadioButton4->text(), QStringLiteral("Substance")) << "a settings file without its caption";
  EXPECT_EQ(form->RadioButton1->font(), form->RadioButton3->font()) << "the modes read alike";
  EXPECT_EQ(form->RadioButton1->font(), form->RadioButton4->font());
}

// --- keyboard ------------------------------------------------------------------------------

TEST_F(SmallCatalogueTest, TabWalksTheControlsInTheirOrderThroughBothMemos) {
  auto form = Open();
  form->ListeArticles_StringGrid->setFocus();
  std::vector<std::string> visited;
  // Ten controls, three of them the mode buttons of one group.
  for (int i = 0; i < 11; ++i) {
    QWidget* focused = form->focusWidget();
    ASSERT_NE(focused, nullptr);
    std::string name = focused->objectName().toStdString();
    // The mode buttons count as their group.
    if (focused->parentWidget() == form->GroupBox1) name = "GroupBox1";
    if (visited.empty() || visited.back() != name) visited.push_back(name);
    QTest::keyClick(focused, Qt::Key_Tab);
  }
  EXPECT_EQ(visited, (std::vector<std::string>{"ListeArticles_StringGrid", "Button1", "Edit1", "GroupBox1",
                                               "Message_Memo", "Adresse_Memo", "Edit2", "Button2",
                                               "ListeArticles_StringGrid"}));
  // Tab moved the focus: the memos keep their text.
  EXPECT_EQ(form->AddressText(), "Pharmacie du Port\r\n3 quai Est\r\n");
  EXPECT_EQ(form->MessageText().find('\t'), std::string::npos);
}

// --- size -------------------------------------------------------------------------------------

TEST_F(SmallCatalogueTest, SizeNeverFallsBelowTheFirstShownSize) {
  auto form = Open();
  const int height = form->frameGeometry().height();
  const int width = form->frameGeometry().width();
  EXPECT_EQ(form->MinHeight, static_cast<uint32_t>(height));
  EXPECT_EQ(form->MinWidth, static_cast<uint32_t>(width));
  const int gridHeight = form->ListeArticles_StringGrid->height();

  form->resize(form->width(), form->height() - 100);
  EXPECT_EQ(form->frameGeometry().height(), height);
  form->resize(form->width() - 100, form->height());
  EXPECT_EQ(form->frameGeometry().width(), width);
  form->resize(300, 200);
  EXPECT_EQ(form->frameGeometry().size(), QSize(width, height));
  EXPECT_EQ(form->ListeArticles_StringGrid->height(), gridHeight);
  EXPECT_EQ(gridHeight, height - 168 - 45);
}

TEST_F(SmallCatalogueTest, MaximisingGrowsTheGridWithTheWindow) {
  auto form = Open();
  const int normalHeight = form->frameGeometry().height();
  const int normalGrid = form->ListeArticles_StringGrid->height();
  form->setWindowState(Qt::WindowMaximized);
  // The platform applies the maximised geometry asynchronously.
  ASSERT_TRUE(WaitUntil([&] { return form->frameGeometry().height() != normalHeight; }));
  const int growth = form->frameGeometry().height() - normalHeight;
  EXPECT_GT(growth, 0);
  EXPECT_EQ(form->ListeArticles_StringGrid->height(), normalGrid + growth);

  form->setWindowState(Qt::WindowNoState);
  ASSERT_TRUE(WaitUntil([&] { return form->frameGeometry().height() == normalHeight; }))
      << form->frameGeometry().height() << " " << normalHeight;
  EXPECT_EQ(form->ListeArticles_StringGrid->height(), normalGrid);
  // In the normal state the fixed border holds the first size.
  form->resize(1200, 900);
  EXPECT_EQ(form->frameGeometry().height(), normalHeight);
  EXPECT_EQ(form->frameGeometry().width(), static_cast<int>(form->MinWidth));
}

TEST_F(SmallCatalogueTest, TheFrameCannotBeDraggedLargerYetTheWindowCanBeMaximised) {
  auto form = Open();
  const QSize first = form->size();
  // What the window manager is told: never below the first size, and only in
  // steps wider than any screen above it; no greatest size, which would rule
  // out maximising.
  EXPECT_EQ(form->minimumSize(), first);
  EXPECT_EQ(form->baseSize(), first);
  EXPECT_GE(form->sizeIncrement().width(), 8192);
  EXPECT_GE(form->sizeIncrement().height(), 8192);
  EXPECT_EQ(form->maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
  form->setWindowState(Qt::WindowMaximized);
  ASSERT_TRUE(WaitUntil([&] { return form->size() != first; }));
  form->setWindowState(Qt::WindowNoState);
  ASSERT_TRUE(WaitUntil([&] { return form->size() == first; }));
  EXPECT_EQ(form->minimumSize(), first);
  EXPECT_GE(form->sizeIncrement().height(), 8192);
}

// --- prices ----------------------------------------------------------------------------------

TEST_F(SmallCatalogueTest, PricesAreTruncatedExactlyAtTwoDecimals) {
  auto form = Open();
  EXPECT_EQ(ErrorCount(), 0);
  const auto prices = PricesByCip(*form);
  EXPECT_EQ(prices.at("3400001"), "2,18");
  EXPECT_EQ(prices.at("3400002"), "1,15");
  EXPECT_EQ(prices.at("3400003"), "4,35");
  EXPECT_EQ(prices.at("3400004"), "19,99");
  EXPECT_EQ(prices.at("3400005"), "0,29");
  EXPECT_EQ(prices.at("3400006"), "12,34");
  EXPECT_EQ(prices.at("3400007"), "-12,34");
  EXPECT_EQ(prices.at("3400008"), "12,3");
  EXPECT_EQ(prices.at("3400009"), "7");
  EXPECT_EQ(prices.at("3400010"), "12,5");  // written with a point
  EXPECT_EQ(prices.at("3400011"), "sur demande");
  EXPECT_EQ(prices.at("3400013"), "-0,5");
}

TEST_F(SmallCatalogueTest, CoefficientWithAPointAndZeroDecimals) {
  WriteSettings("6.55957", "2");
  {
    auto form = Open();
    EXPECT_EQ(ErrorCount(), 0);
    EXPECT_DOUBLE_EQ(form->CurrencyCoefficient, 6.55957);
    EXPECT_EQ(PricesByCip(*form).at("3400012"), "80,94");
  }
  WriteSettings("1", "0");
  auto form = Open();
  const auto prices = PricesByCip(*form);
  EXPECT_EQ(prices.at("3400004"), "19");
  EXPECT_EQ(prices.at("3400013"), "0");
  EXPECT_EQ(prices.at("3400007"), "-12");
}

TEST_F(SmallCatalogueTest, MissingCoefficientIsReportedAndPricesShowZero) {
  WriteDataFile("Versions.ini", "[EURO]\r\nNombreDeDecimales=2\r\n[FRANCAIS]\r\nColCIP=CIP\r\n");
  auto form = Open();
  EXPECT_GE(ErrorCount(), 1);
  EXPECT_EQ(form->CurrencyCoefficient, 0.0);
  EXPECT_EQ(PricesByCip(*form).at("3400004"), "0");
  EXPECT_EQ(PricesByCip(*form).at("3400011"), "sur demande");
}

// --- search ---------------------------------------------------------------------------------

TEST_F(WindowTest, WordOrderDoesNotMatterInExactSearch) {
  UseBundledData();
  auto form = Open();
  form->Edit1->setText(QStringLiteral("aspirine 500"));
  const std::vector<std::string> first = Column(*form, 1);
  form->Edit1->setText(QStringLiteral("500 aspirine"));
  EXPECT_EQ(Column(*form, 1), first);
  ASSERT_FALSE(first.empty());
  for (const std::string& designation : first) {
    EXPECT_NE(designation.find("ASPIRINE"), std::string::npos) << designation;
    EXPECT_NE(designation.find("500"), std::string::npos) << designation;
  }
  EXPECT_EQ(ErrorCount(), 0);
}

TEST_F(SmallCatalogueTest, ExactSearchFoldsAccentsAndCaseOfTheQueryOnly) {
  auto form = Open();
  form->Edit1->setText(
      ToQString("\xE9"
                "fferalgan"));
  EXPECT_EQ(Column(*form, 0), std::vector<std::string>{"3400004"});
  form->Edit1->setText(QStringLiteral("doliprane"));
  // The designation stored in lower case is not found.
  EXPECT_EQ(Column(*form, 0), std::vector<std::string>{"3400005"});
  form->Edit1->setText(QStringLiteral("aspirine 500"));
  EXPECT_EQ(Column(*form, 0), (std::vector<std::string>{"3400002", "3400001"}));
  EXPECT_EQ(TitleRow(*form), (std::vector<std::string>{"CIP",
                                                       "D\xE9"
                                                       "signation",
                                                       "Prix"}));
}

TEST_F(SmallCatalogueTest, TypingSearchesFromTheThirdCharacterOn) {
  auto form = Open();
  const int32_t all = form->ArticleGrid->GetRowCount();
  Type(*form, "as");
  EXPECT_EQ(form->ArticleGrid->GetRowCount(), all);
  Type(*form, "p");
  EXPECT_EQ(form->ArticleGrid->GetRowCount(), 4);
  Type(*form, "irine 1");
  EXPECT_EQ(Column(*form, 0), std::vector<std::string>{"3400003"});
  QTest::keyClick(form->Edit1, Qt::Key_Backspace);
  EXPECT_EQ(form->ArticleGrid->GetRowCount(), 4);
}

TEST_F(SmallCatalogueTest, SpacesOnlyChangeNothing) {
  auto form = Open();
  const std::vector<std::string> before = Column(*form, 0);
  Type(*form, "    ");
  PressEnter(*form);
  QTest::mouseClick(form->SpeedButton2, Qt::LeftButton);
  EXPECT_EQ(Column(*form, 0), before);
  EXPECT_EQ(ErrorCount(), 0);
}

TEST_F(SmallCatalogueTest, NoMatchShowsOneRowWithTheFieldNamesAsTitles) {
  auto form = Open();
  Type(*form, "zzz");
  ASSERT_EQ(form->ArticleGrid->GetRowCount(), 2);
  EXPECT_EQ(form->ArticleGrid->GetCell(0, 1), "");
  EXPECT_EQ(form->ArticleGrid->GetCell(1, 1), "Aucune correspondance");
  EXPECT_EQ(form->ArticleGrid->GetCell(2, 1), "");
  EXPECT_EQ(TitleRow(*form), (std::vector<std::string>{"CIP", "Designation", "Prix"}));
}

TEST_F(SmallCatalogueTest, ClickingTheCheckedExactButtonSearchesAgain) {
  auto form = Open();
  {
    QSignalBlocker quiet(form->Edit1);
    form->Edit1->setText(QStringLiteral("zzz"));
  }
  EXPECT_GT(form->ArticleGrid->GetRowCount(), 2);
  QTest::mouseClick(form->RadioButton1, Qt::LeftButton);
  EXPECT_TRUE(form->RadioButton1->isChecked());
  EXPECT_EQ(form->ArticleGrid->GetCell(1, 1), "Aucune correspondance");
}

TEST_F(SmallCatalogueTest, ClickingEitherModeSearchesWithTheCurrentText) {
  auto form = Open();
  Type(*form, "doliprane");
  ASSERT_EQ(Column(*form, 0), std::vector<std::string>{"3400005"});
  QTest::mouseClick(form->RadioButton3, Qt::LeftButton);
  EXPECT_EQ(Column(*form, 0).size(), kArticles.size() - 1);
  QTest::mouseClick(form->RadioButton1, Qt::LeftButton);
  EXPECT_EQ(Column(*form, 0), std::vector<std::string>{"3400005"});
}

TEST_F(SmallCatalogueTest, ApproximateSearchListsEveryArticleMostSimilarFirst) {
  auto form = Open();
  QTest::mouseClick(form->RadioButton3, Qt::LeftButton);
  Type(*form, "doliprane");
  // Typing alone does not search in this mode: still in designation order.
  EXPECT_EQ(form->ArticleGrid->GetCell(0, 1), "3400012");
  PressEnter(*form);
  const std::vector<std::string> designations = Column(*form, 1);
  EXPECT_EQ(designations.size(), kArticles.size() - 1);
  ExpectMostSimilarFirst("DOLIPRANE", designations);
  // Prices are scaled after every fill.
  EXPECT_EQ(PricesByCip(*form).at("3400010"), "12,5");
}

TEST_F(WindowTest, ApproximateSearchOverTheBundledCatalogue) {
  UseBundledData();
  auto form = Open();
  QTest::mouseClick(form->RadioButton3, Qt::LeftButton);
  form->Edit1->setText(QStringLiteral("doliprane 1000"));
  form->ArticleGrid->SetTopRow(500);
  ASSERT_EQ(form->ArticleGrid->GetTopRow(), 500);
  QTest::mouseClick(form->SpeedButton2, Qt::LeftButton);
  // The search button brings the list back to its first row.
  EXPECT_EQ(form->ArticleGrid->GetTopRow(), 1);
  EXPECT_EQ(form->ArticleGrid->GetRowCount(), form->ArticleTable->RecordCount() + 1);
  // So does Enter in the search text.
  form->ArticleGrid->SetTopRow(500);
  ASSERT_EQ(form->ArticleGrid->GetTopRow(), 500);
  PressEnter(*form);
  EXPECT_EQ(form->ArticleGrid->GetTopRow(), 1);
  ExpectMostSimilarFirst("DOLIPRANE 1000", Column(*form, 1));
}

// The widest designation still leaves the price column in view at start-up.
TEST_F(WindowTest, ThePriceColumnIsInViewAtStartUp) {
  UseBundledData();
  auto form = Open();
  StringGridWidget& grid = *form->ListeArticles_StringGrid;
  ASSERT_EQ(grid.model()->columnCount(), 3);
  const int priceRight = grid.columnViewportPosition(2) + grid.columnWidth(2);
  EXPECT_GT(grid.columnWidth(2), 0);
  EXPECT_LE(priceRight, grid.viewport()->width())
      << "designation column " << grid.columnWidth(1) << " px wide, viewport " << grid.viewport()->width();
}

// A misspelt name in approximate mode lists the speciality first.
TEST_F(WindowTest, ApproximateSearchForAMisspeltNameListsItFirst) {
  UseBundledData();
  auto form = Open();
  QTest::mouseClick(form->RadioButton3, Qt::LeftButton);
  Type(*form, "dolipran");
  PressEnter(*form);
  const std::vector<std::string> designations = Column(*form, 1);
  ASSERT_GE(designations.size(), 10u);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(designations[i].rfind("DOLIPRANE", 0), 0u) << i << ": " << designations[i];
  }
  ExpectMostSimilarFirst("DOLIPRAN", designations);
  EXPECT_EQ(ErrorCount(), 0);
}

TEST_F(SmallCatalogueTest, InvalidPatternShowsItsErrorAndLeavesTheGrid) {
  auto form = Open();
  Type(*form, "aspirine");
  const std::vector<std::string> before = Column(*form, 0);
  ASSERT_EQ(before.size(), 3u);
  Type(*form, " (");
  EXPECT_EQ(ErrorCount(), 1);
  EXPECT_EQ(Column(*form, 0), before);
  // The window goes on working.
  QTest::keyClick(form->Edit1, Qt::Key_Backspace);
  Type(*form, "500");
  EXPECT_EQ(Column(*form, 0).size(), 2u);
  EXPECT_EQ(ErrorCount(), 1);
}

TEST_F(SmallCatalogueTest, RunawayPatternShowsThatItIsTooComplexAndLeavesTheGrid) {
  auto form = Open();
  Type(*form, "aspirine");
  const std::vector<std::string> before = Column(*form, 0);
  // Each further character searches again, and each stops at the limit.
  Type(*form, " (.+)+[#@]");
  ASSERT_GE(ErrorCount(), 1);
  EXPECT_THAT(Messages().back().text, ::testing::HasSubstr("trop complexe"));
  EXPECT_EQ(Column(*form, 0), before);
}

}  // namespace
}  // namespace quillor::test
