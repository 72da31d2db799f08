#include "tests/app/WindowFixture.h"

#include <QLineEdit>
#include <QTest>
#include <cstdlib>

#include "app/QuillorApplication.h"
#include "database/CryptManager.h"
#include "tests/support/TestPaths.h"
#include "text/Locale.h"

namespace quillor::test {

namespace {

constexpr const char* kSettingsCaptions =
    "[FRANCAIS]\r\n"
    "Titre=Base Sp\xE9"
    "cialit\xE9"
    "s Pharmaceutiques\r\n"
    "ColCIP=CIP\r\n"
    "ColDesignation=D\xE9"
    "signation\r\n"
    "ColTarif=Prix\r\n"
    "PanelRecherche=RECHERCHE\r\n"
    "RechExacte=Exacte\r\n"
    "RechApprox=Approximative\r\n"
    "BtnQuitter=&Quitter\r\n"
    "MsgMail1=Bonjour,\r\n"
    "MsgMail2=Veuillez trouver ci-dessous notre commande :\r\n";

}  // namespace

WindowTest::WindowTest() {
  fPreviousDirectory = std::filesystem::current_path();
  std::filesystem::create_directories(fDir.Path() / "work" / "Data");
  std::filesystem::current_path(fDir.Path() / "work");
  // The user's copy of the address goes to the temporary folder, never home.
  if (const char* home = std::getenv("XDG_CONFIG_HOME")) {
    fHadConfigHome = true;
    fPreviousConfigHome = home;
  }
  setenv("XDG_CONFIG_HOME", (fDir.Path() / "config").c_str(), 1);
  // So do the journal and the draft.
  if (const char* home = std::getenv("XDG_DATA_HOME")) {
    fHadDataHome = true;
    fPreviousDataHome = home;
  }
  setenv("XDG_DATA_HOME", (fDir.Path() / "data").c_str(), 1);
  SetApplicationIdentity();
  fPreviousPresenter = SetMessagePresenter(std::make_unique<TestPresenter>(
      [log = fMessages](TMessageKind kind, const std::string& text) {
        log->push_back({kind, text, Quillor_Form != nullptr && Quillor_Form->isVisible()});
      },
      fAnswers));
  fPreviousSeparator = UserDecimalSeparator();
  SetUserDecimalSeparator(',');
}

WindowTest::~WindowTest() {
  SetUserDecimalSeparator(fPreviousSeparator);
  SetMessagePresenter(std::move(fPreviousPresenter));
  if (fHadConfigHome) {
    setenv("XDG_CONFIG_HOME", fPreviousConfigHome.c_str(), 1);
  } else {
    unsetenv("XDG_CONFIG_HOME");
  }
  if (fHadDataHome) {
    setenv("XDG_DATA_HOME", fPreviousDataHome.c_str(), 1);
  } else {
    unsetenv("XDG_DATA_HOME");
  }
  std::filesystem::current_path(fPreviousDirectory);
}

void WindowTest::UseBundledData() {
  for (const char* name : {"BaseDeDonneeArticles.db", "Versions.ini", "AdressePharmacie.txt"}) {
    std::filesystem::copy_file(DataDir() / name, std::filesystem::path("Data") / name,
                               std::filesystem::copy_options::overwrite_existing);
  }
}

void WindowTest::WriteArticles(const std::vector<std::string>& plainLines) {
  TStringList lines(plainLines.begin(), plainLines.end());
  TCryptManager().EncryptLines(lines);
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\r\n";
  WriteDataFile("BaseDeDonneeArticles.db", bytes);
}

void WindowTest::WriteSettings(const std::string& coefficient, const std::string& decimals) {
  WriteDataFile("Versions.ini", std::string(kSettingsCaptions) + "[EURO]\r\nCoeffMonnaie=" + coefficient +
                                    "\r\nNombreDeDecimales=" + decimals + "\r\n");
}

void WindowTest::WriteDataFile(const std::string& name, const std::string& bytes) {
  fDir.Write("work/Data/" + name, bytes);
}

void WindowTest::RemoveDataFile(const std::string& name) {
  std::filesystem::remove(std::filesystem::path("Data") / name);
}

std::unique_ptr<TQuillor_Form> WindowTest::Open(TQuillorOptions options) {
  if (!options.openUrl) {
    options.openUrl = [this](const std::string& url) {
      fOpenedUrls.push_back(url);
      return fMailProgramPresent;
    };
  }
  return std::make_unique<TQuillor_Form>(std::move(options));
}

TQuillorOptions WindowTest::TestOptions() {
  TQuillorOptions options;
  // No test reaches the build's real server.
  options.sending.host = "127.0.0.1";
  options.sending.port = 9;
  options.sending.sender = "commandes@quillor.test";
  options.sending.orderMailbox = "reception@quillor.test";
  // Room for a loaded machine's slowest reply; the tests of time-outs set
  // their own.
  options.sending.connectTimeoutMs = 20000;
  options.sending.replyTimeoutMs = 20000;
  return options;
}

std::filesystem::path WindowTest::UserAddressPath() const {
  return fDir.Path() / "config" / "Quillor" / "Quillor" / "AdressePharmacie.txt";
}

std::filesystem::path WindowTest::UserDataPath() const {
  return fDir.Path() / "data" / "Quillor" / "Quillor";
}

std::vector<std::string> WindowTest::Column(TQuillor_Form& form, int32_t col) {
  std::vector<std::string> cells;
  for (int32_t row = 1; row < form.ArticleGrid->GetRowCount(); ++row)
    cells.push_back(form.ArticleGrid->GetCell(col, row));
  return cells;
}

std::vector<std::string> WindowTest::TitleRow(TQuillor_Form& form) {
  return {form.ArticleGrid->GetCell(0, 0), form.ArticleGrid->GetCell(1, 0), form.ArticleGrid->GetCell(2, 0)};
}

void WindowTest::Type(TQuillor_Form& form, const std::string& text) {
  QTest::keyClicks(form.Edit1, QString::fromLatin1(text.c_str()));
}

void WindowTest::PressEnter(TQuillor_Form& form) {
  QTest::keyClick(form.Edit1, Qt::Key_Return);
}

bool WindowTest::WaitUntil(const std::function<bool()>& condition) {
  for (int i = 0; i < 200 && !condition(); ++i) QTest::qWait(10);
  return condition();
}

int WindowTest::ErrorCount() const {
  int count = 0;
  for (const RecordedMessage& message : *fMessages) count += message.kind == TMessageKind::Error ? 1 : 0;
  return count;
}

}  // namespace quillor::test
