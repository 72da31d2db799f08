// The catalogue update from the order window, against a real HTTPS server on
// 127.0.0.1: the strip that says which catalogue is in use, the update that
// runs beside the window while searching and composing go on, its Annuler,
// its question, its failures told in French, and the undo.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "app/CatalogueStrip.h"
#include "app/CatalogueUpdateDialog.h"
#include "app/CatalogueUpdater.h"
#include "grid/widget/GridText.h"
#include "knowledge/DayDate.h"
#include "knowledge/KnowledgeFiles.h"
#include "tests/app/WindowFixture.h"
#include "tests/support/HttpsServerProcess.h"
#include "tests/support/TestPaths.h"
#include "text/Cp1252.h"
#include "update/DataSetStore.h"
#include "update/UpdateLock.h"

namespace quillor::test {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

std::string Fr(const char* utf8) {
  return Utf8ToCp1252(utf8);
}

QString Text(const QLabel* label) {
  return label->text();
}

fs::path SmallExport() {
  return SourceDir() / "tests" / "catalogue" / "exports" / "2026-05";
}

class CatalogueUpdateWindowTest : public WindowTest {
 protected:
  CatalogueUpdateWindowTest() {
    WriteSettings("1", "2");
    WriteDataFile("AdressePharmacie.txt", "Pharmacie\r\n");
    // Today's catalogue: one article priced otherwise than in the export,
    // one the export no longer has, one alike.
    WriteArticles({"CIP;Designation;Prix", "3595583;DOLIPRANE 1000MG CPR B/8;1,10",
                   "3000001;DOLIPRANE ANCIEN 500MG;1,00",
                   "3149978;BETADINE DERMIQUE 10% SOL LOC FL/125ML;1,83"});
  }

  TQuillorOptions UpdatingFrom(const HttpsServerProcess& server) const {
    TQuillorOptions options = TestOptions();
    options.update.source = {update::TUpdateSource::TKind::kWeb, server.BaseUrl()};
    options.update.caCertificateFile = server.CaFile();
    return options;
  }

  static HttpsServerProcess::Options Faults(HttpsServerProcess::Faults faults) {
    HttpsServerProcess::Options options;
    options.faults = std::move(faults);
    return options;
  }

  static TCatalogueUpdateDialog& Dialog(TQuillor_Form& form) { return *form.CatalogueUpdater().Dialog(); }

  // Waits until the update has ended; its whole text as shown.
  static std::string Outcome(TQuillor_Form& form) {
    EXPECT_TRUE(WaitLong([&] { return !form.CatalogueUpdater().IsRunning(); })) << "the update never ended";
    TCatalogueUpdateDialog& dialog = Dialog(form);
    return FromQString(Text(dialog.StepLabel()) + QStringLiteral("\n") + Text(dialog.Details()));
  }

  // As WaitUntil, for what takes longer than a keystroke (an import).
  static bool WaitLong(const std::function<bool()>& condition) {
    for (int i = 0; i < 12000 && !condition(); ++i) QTest::qWait(10);
    return condition();
  }

  static bool SawEvent(const HttpsServerProcess& server, const std::string& event) {
    return WaitLong([&] {
      const auto events = server.Events();
      return std::find(events.begin(), events.end(), event) != events.end();
    });
  }

  std::string StoreFolder() const { return (UserDataPath() / "Catalogue").string(); }

  // The availability beside today's catalogue, published on `published`.
  void WriteAvailability(TDayDate published) {
    TAvailabilityFile file;
    file.published = published;
    file.records = {
        {"60234100", "", TAvailabilityStatus::kShortage, 20260101, published, kNoDate, "https://ansm"}};
    WriteDataFile("Disponibilites.txt", AvailabilityFileText(file));
  }

  TQuillorOptions Refreshing(const HttpsServerProcess& server) const {
    TQuillorOptions options = UpdatingFrom(server);
    options.refreshAvailability = true;
    return options;
  }

  static std::string AvailabilityLine(TQuillor_Form& form) {
    return FromQString(form.CatalogueStrip->Note()->toolTip());
  }
};

TEST_F(CatalogueUpdateWindowTest, TheStripSaysWhichCatalogueIsInUseWithItsDate) {
  {
    auto form = Open();
    EXPECT_EQ(FromQString(form->CatalogueStrip->Description()->toolTip()), "Catalogue du dossier Data");
    EXPECT_EQ(FromQString(form->CatalogueStrip->Note()->toolTip()), Fr("Disponibilités inconnues"));
    EXPECT_FALSE(form->CatalogueStrip->RollbackAction()->isEnabled()) << "nothing to undo";
  }
  WriteDataFile("Origine.txt", "Source=export\r\nMisAJourLe=\r\nBaseDu=27/05/2026\r\nArticles=3\r\n");
  {
    auto form = Open();
    EXPECT_EQ(FromQString(form->CatalogueStrip->Description()->toolTip()),
              "Catalogue du 27/05/2026, dossier Data");
  }
  // The user's updated catalogue comes before ./Data.
  std::string error;
  ASSERT_TRUE(
      update::TDataSetStore(UserDataPath().string())
          .Install({{"BaseDeDonneeArticles.db",
                     update::ScrambledArticleFile("CIP;Designation;Prix\r\n3999999;MISE A JOUR;9,99\r\n")}},
                   {"https://exemple.fr/", "08/12/2026 09:15", 20261203, 1}, std::time(nullptr), &error))
      << error;
  auto form = Open();
  EXPECT_EQ(Column(*form, 1), (std::vector<std::string>{"MISE A JOUR"}));
  EXPECT_EQ(FromQString(form->CatalogueStrip->Description()->toolTip()),
            Fr("Catalogue du 03/12/2026, mis à jour le 08/12/2026 09:15"));
  EXPECT_EQ(form->CatalogueInUse().origin, update::TDataOrigin::kUpdated);
  EXPECT_TRUE(form->CatalogueStrip->RollbackAction()->isEnabled());
  EXPECT_EQ(ErrorCount(), 0);
}

TEST_F(CatalogueUpdateWindowTest, AnUpdateRunsBesideTheWindowAndReplacesTheListKeepingTheOrderAndTheSearch) {
  HttpsServerProcess server(SmallExport(), Faults({.stall = {{"CIS_CIP_bdpm.txt", 1000}}}));
  auto form = Open(UpdatingFrom(server));
  QTest::mouseClick(form->CatalogueStrip->UpdateButton(), Qt::LeftButton);
  TCatalogueUpdateDialog& dialog = Dialog(*form);
  ASSERT_TRUE(SawEvent(server, "stalled CIS_CIP_bdpm.txt"));
  ASSERT_TRUE(WaitUntil([&] { return dialog.Bar()->value() > 0; }));
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_FALSE(dialog.isModal());
  EXPECT_TRUE(dialog.CancelButton()->isVisible());
  EXPECT_EQ(Text(dialog.StepLabel()), QStringLiteral("Téléchargement de CIS_CIP_bdpm.txt (2 sur 6)"));
  EXPECT_EQ(dialog.Bar()->value(), 1000);
  EXPECT_EQ(dialog.Bar()->maximum(), static_cast<int>(fs::file_size(SmallExport() / "CIS_CIP_bdpm.txt")));
  EXPECT_FALSE(form->CatalogueStrip->UpdateButton()->isEnabled());

  // Meanwhile the window searches and takes the order as ever.
  Type(*form, "DOLIPRANE");
  EXPECT_EQ(Column(*form, 1),
            (std::vector<std::string>{"DOLIPRANE 1000MG CPR B/8", "DOLIPRANE ANCIEN 500MG"}));
  form->Message_Memo->moveCursor(QTextCursor::End);
  QTest::keyClicks(form->Message_Memo, QStringLiteral("2  3595583  DOLIPRANE 1000MG CPR B/8"));
  const std::string order = form->MessageText();

  server.Release();
  const std::string outcome = Outcome(*form);
  EXPECT_EQ(outcome, Fr("Catalogue mis à jour : 22 articles (base publique du 15/05/2026)\n"
                        "Articles : 3 avant, 22 maintenant\nArticles ajoutés : 20\nArticles retirés : 1\n"
                        "Prix modifiés : 1\nRuptures en cours : 0"));
  // The list shows the new catalogue, still searched for what was typed.
  EXPECT_EQ(Column(*form, 1),
            (std::vector<std::string>{"DOLIPRANE 1000MG CPR B/100", "DOLIPRANE 1000MG CPR B/8",
                                      "DOLIPRANE 150MG SUPPO B/10"}));
  EXPECT_EQ(Column(*form, 2)[1], "1,16");
  EXPECT_EQ(form->MessageText(), order) << "the order being composed is never touched";
  EXPECT_EQ(form->CatalogueInUse().origin, update::TDataOrigin::kUpdated);
  EXPECT_THAT(FromQString(form->CatalogueStrip->Description()->toolTip()),
              ::testing::StartsWith(Fr("Catalogue du 15/05/2026, mis à jour le ")));
  EXPECT_EQ(FromQString(form->CatalogueStrip->Note()->toolTip()), Fr("Disponibilités du 12/05/2026"))
      << "the new catalogue's own availability";
  // What is known of the articles comes from the new catalogue's files.
  EXPECT_EQ(form->Knowledge.CatalogueDate(), *ParseDayDate("15/05/2026"));
  EXPECT_EQ(form->Knowledge.AvailabilityDate(), *ParseDayDate("12/05/2026"));
  EXPECT_TRUE(form->Knowledge.KnowsArticle("3595583"));
  EXPECT_FALSE(form->Knowledge.KnowsArticle("3000001"));
  EXPECT_TRUE(form->CatalogueStrip->UpdateButton()->isEnabled());
  EXPECT_TRUE(dialog.RollbackButton()->isVisible());
  EXPECT_EQ(ErrorCount(), 0) << "no box interrupts the order";
}

TEST_F(CatalogueUpdateWindowTest, AnnulerEndsTheUpdateAndTheListStaysAsItWas) {
  HttpsServerProcess server(SmallExport(), Faults({.stall = {{"CIS_CIP_bdpm.txt", 1000}}}));
  auto form = Open(UpdatingFrom(server));
  const std::vector<std::string> before = Column(*form, 1);
  form->UpdateCatalogueClick();
  ASSERT_TRUE(SawEvent(server, "stalled CIS_CIP_bdpm.txt"));
  QTest::mouseClick(Dialog(*form).CancelButton(), Qt::LeftButton);
  EXPECT_EQ(Outcome(*form), Fr("Mise à jour annulée : le catalogue reste celui d'avant.\n"));
  EXPECT_EQ(Column(*form, 1), before);
  EXPECT_FALSE(update::TDataSetStore(UserDataPath().string()).Current());
  EXPECT_TRUE(Dialog(*form).CloseButton()->isVisible());
  EXPECT_FALSE(Dialog(*form).RollbackButton()->isVisible());
}

TEST_F(CatalogueUpdateWindowTest, AFailureIsToldInFrenchAndTheListStaysAsItWas) {
  HttpsServerProcess server(SmallExport(), Faults({.status = {{"CIS_bdpm.txt", 404}}}));
  auto form = Open(UpdatingFrom(server));
  const std::vector<std::string> before = Column(*form, 1);
  form->UpdateCatalogueClick();
  const std::string reason = Fr("téléchargement de CIS_bdpm.txt : le serveur a répondu 404 (Not Found)");
  EXPECT_EQ(Outcome(*form),
            Fr("Mise à jour impossible : ") + reason + "\n" + Fr("Le catalogue reste celui d'avant."));
  EXPECT_EQ(Column(*form, 1), before);
  EXPECT_EQ(ErrorCount(), 0);
}

TEST_F(CatalogueUpdateWindowTest, AMuchSmallerCatalogueWaitsForTheUsersAnswer) {
  UseBundledData();
  HttpsServerProcess server(SmallExport());
  auto form = Open(UpdatingFrom(server));
  const size_t bundled = Column(*form, 0).size();
  TCatalogueUpdateDialog& dialog = Dialog(*form);
  for (QPushButton* answer : {dialog.RefuseButton(), dialog.AcceptButton()}) {
    form->UpdateCatalogueClick();
    ASSERT_TRUE(WaitLong([&] { return dialog.AcceptButton()->isVisible(); }));
    EXPECT_THAT(FromQString(Text(dialog.Details())),
                HasSubstr(Fr("le nouveau catalogue n'a que 22 articles, 0 % des ") +
                          std::to_string(quillor::test::BundledArticleCount()) + " d'aujourd'hui"));
    EXPECT_EQ(Column(*form, 0).size(), bundled) << "nothing changes while the question waits";
    QTest::mouseClick(answer, Qt::LeftButton);
    Outcome(*form);
  }
  EXPECT_EQ(Column(*form, 0).size(), 22u) << "taken once confirmed";
}

TEST_F(CatalogueUpdateWindowTest, TheLastUpdateIsUndoneFromTheWindow) {
  HttpsServerProcess server(SmallExport());
  auto form = Open(UpdatingFrom(server));
  const std::vector<std::string> before = Column(*form, 1);
  form->UpdateCatalogueClick();
  Outcome(*form);
  ASSERT_EQ(Column(*form, 0).size(), 22u);
  ASSERT_TRUE(form->CatalogueStrip->RollbackAction()->isEnabled());
  QTest::mouseClick(Dialog(*form).RollbackButton(), Qt::LeftButton);
  EXPECT_EQ(Column(*form, 1), before);
  EXPECT_EQ(form->CatalogueInUse().origin, update::TDataOrigin::kWorkingFolder);
  EXPECT_EQ(FromQString(Text(Dialog(*form).StepLabel())),
            Fr("Catalogue précédent rétabli : la dernière mise à jour est défaite."));
  EXPECT_FALSE(form->CatalogueStrip->RollbackAction()->isEnabled());
  // Nothing more to undo: said, and nothing changes.
  form->RollbackCatalogueClick();
  EXPECT_EQ(FromQString(Text(Dialog(*form).StepLabel())),
            Fr("Impossible de revenir au catalogue précédent : aucune mise à jour à annuler"));
  EXPECT_EQ(Column(*form, 1), before);
}

TEST_F(CatalogueUpdateWindowTest, CtrlMStartsTheUpdateAndNoSecondOneStartsMeanwhile) {
  HttpsServerProcess server(SmallExport(), Faults({.stall = {{"CIS_bdpm.txt", 100}}}));
  auto form = Open(UpdatingFrom(server));
  QApplication::setActiveWindow(form.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  form->Edit1->setFocus();
  QTest::keyClick(form->Edit1, Qt::Key_M, Qt::ControlModifier);
  ASSERT_TRUE(SawEvent(server, "stalled CIS_bdpm.txt"));
  EXPECT_TRUE(form->CatalogueUpdater().IsRunning());
  EXPECT_EQ(form->Edit1->text(), QString()) << "the shortcut types nothing";
  // Again, by the key, the button and the undo: the one running goes on alone.
  QTest::keyClick(form->Edit1, Qt::Key_M, Qt::ControlModifier);
  form->UpdateCatalogueClick();
  form->RollbackCatalogueClick();
  EXPECT_FALSE(form->CatalogueStrip->RollbackAction()->isEnabled());
  // Nor from another program on the same data.
  update::TCatalogueUpdate other;
  update::TUpdateRequest request;
  request.settings = UpdatingFrom(server).update;
  request.dataFolder = UserDataPath().string();
  std::string whyNot;
  EXPECT_FALSE(other.Start(request, {}, {}, {}, &whyNot));
  EXPECT_THAT(whyNot, ::testing::StartsWith(Fr("une mise à jour du catalogue est déjà en cours")));
  server.Release();
  Outcome(*form);
  EXPECT_EQ(server.Events(),
            (std::vector<std::string>{"GET /CIS_bdpm.txt", "stalled CIS_bdpm.txt", "GET /CIS_CIP_bdpm.txt",
                                      "GET /CIS_COMPO_bdpm.txt", "GET /CIS_GENER_bdpm.txt",
                                      "GET /CIS_CPD_bdpm.txt", "GET /CIS_CIP_Dispo_Spec.txt"}))
      << "one update, each file once";
  EXPECT_EQ(form->CatalogueInUse().origin, update::TDataOrigin::kUpdated);
}

TEST_F(CatalogueUpdateWindowTest, ADataFolderThatCannotBeWrittenIsToldBeforeAnyDownload) {
  HttpsServerProcess server(SmallExport());
  auto form = Open(UpdatingFrom(server));
  fDir.Write("data/Quillor/Quillor/Catalogue", "un fichier, pas un dossier");
  form->UpdateCatalogueClick();
  EXPECT_EQ(
      Outcome(*form),
      Fr("Mise à jour impossible : impossible de créer le dossier ") + StoreFolder() +
          Fr(" : un fichier porte le nom d'un des dossiers du chemin\nLe catalogue reste celui d'avant."));
  EXPECT_TRUE(server.Events().empty());
  EXPECT_EQ(form->CatalogueInUse().origin, update::TDataOrigin::kWorkingFolder);
}

TEST_F(CatalogueUpdateWindowTest, ClosingTheWindowDuringAnUpdateLeavesTheDataAsItWas) {
  HttpsServerProcess server(SmallExport(), Faults({.stall = {{"CIS_CIP_bdpm.txt", 1000}}}));
  {
    auto form = Open(UpdatingFrom(server));
    form->UpdateCatalogueClick();
    ASSERT_TRUE(SawEvent(server, "stalled CIS_CIP_bdpm.txt"));
    form->close();
  }
  QTest::qWait(50);
  EXPECT_FALSE(update::TDataSetStore(UserDataPath().string()).Current());
  EXPECT_FALSE(fs::exists(StoreFolder() + "/" + update::TUpdateLock::kLockFile)) << "the lock is let go";
}

TEST_F(CatalogueUpdateWindowTest, AnOldAvailabilityIsRefreshedInTheBackgroundAtStartUp) {
  WriteAvailability(20260319);
  // Which speciality each article is of, so that the marks can follow.
  TSpecialitiesFile specialities;
  specialities.catalogueDate = 20260315;
  specialities.specialities = {{"60234100", false, "CPR"}, {"61951090", false, "SOL"}};
  specialities.articles = {{"3595583", "60234100"}, {"3149978", "61951090"}};
  WriteDataFile("Specialites.txt", SpecialitiesFileText(specialities));
  HttpsServerProcess server(SmallExport(), Faults({.stall = {{"CIS_CIP_Dispo_Spec.txt", 100}}}));
  auto form = Open(Refreshing(server));
  EXPECT_TRUE(form->IsRefreshingAvailability());
  EXPECT_EQ(AvailabilityLine(*form), Fr("Disponibilités du 19/03/2026 (mise à jour…)"));
  EXPECT_EQ(form->Knowledge.AvailabilityOf("3595583").status, TAvailabilityStatus::kShortage);
  ASSERT_TRUE(SawEvent(server, "stalled CIS_CIP_Dispo_Spec.txt"));
  // Meanwhile the window works as ever.
  Type(*form, "DOLIPRANE");
  EXPECT_EQ(Column(*form, 1).size(), 2u);
  server.Release();
  ASSERT_TRUE(WaitLong([&] { return !form->IsRefreshingAvailability(); }));
  EXPECT_EQ(AvailabilityLine(*form), Fr("Disponibilités du 12/05/2026"));
  EXPECT_TRUE(form->AvailabilityInUse().refreshed);
  EXPECT_EQ(form->AvailabilityInUse().availability.records.size(), 8u);
  // The marks follow: the shortage is over, another one began.
  EXPECT_EQ(form->Knowledge.AvailabilityDate(), *ParseDayDate("12/05/2026"));
  EXPECT_EQ(form->Knowledge.AvailabilityOf("3595583").status, TAvailabilityStatus::kAvailable);
  EXPECT_EQ(form->Knowledge.AvailabilityOf("3149978").status, TAvailabilityStatus::kShortage);
  EXPECT_EQ(server.Events(),
            (std::vector<std::string>{"GET /CIS_CIP_Dispo_Spec.txt", "stalled CIS_CIP_Dispo_Spec.txt"}));
  EXPECT_FALSE(update::TDataSetStore(UserDataPath().string()).Current()) << "the catalogue is not touched";
  EXPECT_EQ(ErrorCount(), 0);
}

TEST_F(CatalogueUpdateWindowTest, AFailedRefreshIsAShortLineAndNeverABox) {
  WriteAvailability(20260319);
  HttpsServerProcess server(SmallExport(), Faults({.status = {{"CIS_CIP_Dispo_Spec.txt", 404}}}));
  auto form = Open(Refreshing(server));
  ASSERT_TRUE(WaitLong([&] { return !form->IsRefreshingAvailability(); }));
  EXPECT_EQ(AvailabilityLine(*form), Fr("Disponibilités du 19/03/2026 (mise à jour impossible : "
                                        "téléchargement de CIS_CIP_Dispo_Spec.txt : le "
                                        "serveur a répondu 404 (Not Found))"));
  EXPECT_EQ(ErrorCount(), 0);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(CatalogueUpdateWindowTest, AFreshAvailabilityOrTheUsersChoiceFetchesNothing) {
  HttpsServerProcess server(SmallExport());
  WriteAvailability(Today());
  {
    auto form = Open(Refreshing(server));
    EXPECT_FALSE(form->IsRefreshingAvailability());
  }
  WriteAvailability(20260319);
  fDir.Write("config/Quillor/Quillor/MiseAJour.ini", "[Disponibilites]\r\nAutomatique=non\r\n");
  {
    auto form = Open(Refreshing(server));
    EXPECT_FALSE(form->IsRefreshingAvailability());
    EXPECT_EQ(AvailabilityLine(*form), Fr("Disponibilités du 19/03/2026"));
  }
  std::filesystem::remove(fDir.Path() / "config/Quillor/Quillor/MiseAJour.ini");
  {
    auto form = Open(UpdatingFrom(server));  // a window the program did not make asks for nothing
    EXPECT_FALSE(form->IsRefreshingAvailability());
  }
  QTest::qWait(50);
  EXPECT_TRUE(server.Events().empty());
}

TEST_F(CatalogueUpdateWindowTest, AnUpdateTakesOverFromARefreshThatRuns) {
  WriteAvailability(20260319);
  HttpsServerProcess server(SmallExport(), Faults({.stall = {{"CIS_CIP_Dispo_Spec.txt", 100}}}));
  auto form = Open(Refreshing(server));
  ASSERT_TRUE(SawEvent(server, "stalled CIS_CIP_Dispo_Spec.txt"));
  form->UpdateCatalogueClick();
  EXPECT_FALSE(form->IsRefreshingAvailability());
  EXPECT_TRUE(form->CatalogueUpdater().IsRunning()) << FromQString(Text(Dialog(*form).Details()));
  ASSERT_TRUE(SawEvent(server, "GET /CIS_bdpm.txt"));
  server.Release();
  Outcome(*form);
  EXPECT_EQ(form->CatalogueInUse().origin, update::TDataOrigin::kUpdated);
  EXPECT_EQ(AvailabilityLine(*form), Fr("Disponibilités du 12/05/2026"));
}

}  // namespace
}  // namespace quillor::test
