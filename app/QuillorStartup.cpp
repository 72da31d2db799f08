// Start-up, resizing and closing of the order window.
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStandardPaths>
#include <QTextDocument>
#include <QWindow>
#include <algorithm>
#include <exception>
#include <thread>

#include "app/Quillor_Unit.h"
#include "app/UserFiles.h"
#include "app/WidgetText.h"
#include "text/DurableFile.h"
#include "text/FileSystem.h"
#include "text/TextLines.h"

namespace quillor {

namespace {

// Wider and taller than any screen, in pixels.
constexpr int kNoDragIncrement = 1 << 14;

std::string LocalFileName(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

}  // namespace

std::string TQuillorFiles::UserAddressFile() {
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
  return LocalFileName(folder + QStringLiteral("/AdressePharmacie.txt"));
}

void TQuillor_Form::FormCreate() {
  ArticleGrid =
      std::make_unique<TMyStringGrid>(ListeArticles_StringGrid,
                                      // Edits of the grid stay in the grid: the table is not changed.
                                      [](int32_t, int32_t, const std::string&) {});
  ArticleGrid->fNumberRows = false;
  ArticleGrid->SetFixedRows(1);
  ArticleGrid->SetFixedCols(0);
  // The controller numbered the rows when it was created; until the articles
  // fill the grid (and if they never do) those numbers would pass for codes.
  ArticleGrid->ClearCells();
  LoadCaptions();

  // The user sees the window while the articles load.
  show();
  // A screen of another pixel ratio needs the pictures drawn again.
  connect(windowHandle(), &QWindow::screenChanged, this, &TQuillor_Form::DrawPictures);
  DrawPictures();
  Edit1->setFocus();
  MinHeight = static_cast<uint32_t>(frameGeometry().height());
  MinWidth = static_cast<uint32_t>(frameGeometry().width());
  fFirstClientSize = size();
  HoldNormalSize();

  // The knowledge files are read on another thread while the articles load:
  // the first list needs both. Reading them touches nothing else and throws
  // nothing but a lack of memory, which is then thrown here. The thread is
  // joined however ReadArticles ends.
  std::exception_ptr knowledgeFailure;
  LocateCatalogue();
  {
    std::jthread knowledge([this, &knowledgeFailure, folder = KnowledgeFolderOf(fCatalogue.articleFile),
                            availability = fAvailability.file] {
      try {
        Knowledge.Load(folder, availability);
      } catch (...) {
        knowledgeFailure = std::current_exception();
      }
    });
    ReadArticles();
  }
  if (knowledgeFailure) std::rethrow_exception(knowledgeFailure);
  LoadKnowledge();
  ArticleTable->QueryAll("Designation");
  ArticleTable->SelectionToGrid(*ArticleGrid, "", true);
  ArticleGrid->ResizeCellTables();
  DisplayPrices();
  ShowFirstArticle();
  LoadAddress();
}

void TQuillor_Form::LocateCatalogue() {
  fCatalogue = update::LocateCatalogueInUse(UserDataFolder());
  ShowCatalogueInUse();
}

void TQuillor_Form::ReadArticles() {
  TStringList lines;
  if (!ReadFileLines(fCatalogue.articleFile, lines)) {
    throw EFileError("Impossible de lire le fichier des articles " + DisplayFileName(fCatalogue.articleFile));
  }
  CryptManager = std::make_unique<TCryptManager>();
  CryptManager->DecryptLines(lines);
  ArticleTable = TMyDatabase::CreateFromList(lines);
}

void TQuillor_Form::LoadAddress() {
  // The user's own copy wins over the address shipped with the program.
  const std::string userCopy = TQuillorFiles::UserAddressFile();
  const std::string fileName = FileExists(userCopy) ? userCopy : TQuillorFiles::kBundledAddressFile;
  std::string bytes;
  if (!ReadFileBytes(fileName, bytes)) {
    throw EFileError("Impossible de lire l'adresse de la pharmacie " +
                     FromQString(QFile::decodeName(fileName.c_str())));
  }
  bytes.resize(std::min(bytes.size(), bytes.find('\0')));
  SetMemoText(*Adresse_Memo, bytes);
  fAddressLoaded = true;
}

void TQuillor_Form::HoldNormalSize() {
  // The border is fixed, but the window can still be maximised. A window
  // manager offers no maximise to a window whose least and greatest sizes
  // are equal, so the size is held by its increments instead: from the first
  // size, the frame can only be dragged in steps wider than any screen.
  // Maximising ignores increments.
  setMinimumSize(fFirstClientSize);
  setBaseSize(fFirstClientSize);
  setSizeIncrement(QSize(kNoDragIncrement, kNoDragIncrement));
}

void TQuillor_Form::FormResize() {
  if (!ArticleGrid) return;
  // The border is fixed: in the normal state the window keeps the size it
  // had when first shown, which also keeps it at or above MinHeight and
  // MinWidth. The size is held as a client size because a window manager
  // may add its frame only after the first showing. Maximised, the screen
  // decides: forcing a size then would drop the maximised state on a screen
  // smaller than the window.
  const bool maximised = (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) != 0;
  if (!maximised && fFirstClientSize.isValid() && size() != fFirstClientSize) resize(fFirstClientSize);
  fGridFrameHeight = frameGeometry().height();
  ArticleGrid->SetHeight(fGridFrameHeight - ArticleGrid->GetTop() - 45);
  // The sending's status line stays under the grid, whatever the frame.
  const int statusTop = ListeArticles_StringGrid->geometry().bottom() + 3;
  Label5->setGeometry(Label5->x(), statusTop, Label5->width(),
                      std::max(0, std::min(17, height() - statusTop)));
}

void TQuillor_Form::FormClose() {
  // The memo is empty when the start-up stopped before the address: saving
  // it would wipe out the address the user keeps for the next start.
  if (!fAddressLoaded && !Adresse_Memo->document()->isModified()) return;
  const std::string fileName = TQuillorFiles::UserAddressFile();
  QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
  std::string error;
  if (!WriteFileDurably(fileName, AddressText(), &error)) {
    throw EFileError("Impossible d'enregistrer l'adresse de la pharmacie dans " +
                     FromQString(QFile::decodeName(fileName.c_str())) + " : " + error);
  }
}

}  // namespace quillor
