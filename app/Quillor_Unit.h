// TQuillor_Form: the order window, Quillor's only window. Its construction
// builds everything the program works on (FormCreate): the grid controller
// over the article grid, the captions and price settings, the article table
// loaded from the scrambled article file, and the pharmacy's address; the
// window is shown before the articles load. Afterwards all work happens in
// its event handlers: searching, adding order lines, sending the order.
//
// Ownership: the window owns its controls (Qt parent pointers), the grid
// controller, the article table, the descrambler, the SMTP client and the
// message for its whole life. Every handler runs through the general error
// handler: an exception is shown in a message box and the window stays
// usable. Message boxes go through the message presenter (MessagePresenter.h).
// GUI thread only.
#pragma once

#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/DataFolderReport.h"
#include "app/GridTitles.h"
#include "app/PriceDisplay.h"
#include "app/SendingRecords.h"
#include "app/SendingSettings.h"
#include "database/CryptManager.h"
#include "database/Database.h"
#include "database/ExactSearchMemory.h"
#include "grid/MyStringGrid.h"
#include "grid/widget/StringGridWidget.h"
#include "knowledge/Knowledge.h"
#include "mail/MailMessage.h"
#include "mail/SmtpClient.h"
#include "update/AvailabilityInUse.h"
#include "update/CatalogueLocation.h"
#include "update/CatalogueUpdate.h"

class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QShortcut;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace quillor {

class TUpDown;
class TIniManager;
class TDraftKeeper;
class TCatalogueStrip;
class TCatalogueUpdater;
namespace update {
class TAvailabilityRefresh;
}
struct TOrderTexts;

// A file of the window cannot be read or written; the text names it.
class EFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Where the address is read from and saved to, and the settings. The article
// file is the catalogue in use (update::LocateCatalogueInUse).
struct TQuillorFiles {
  static constexpr const char* kSettingsFile = "./Data/Versions.ini";
  static constexpr const char* kBundledAddressFile = "./Data/AdressePharmacie.txt";
  // The user's copy of the address: AdressePharmacie.txt in the application's
  // configuration folder (~/.config/Quillor/Quillor).
  static std::string UserAddressFile();
};

class TQuillor_Form : public QWidget {
 public:
  // Builds the controls and runs FormCreate; a start-up step that fails is
  // shown in one box and the window stays open with what was built. The
  // window installs a trace reporter that shows error reports through the
  // message presenter, and puts the previous one back when destroyed.
  // REQUIRES: a QApplication exists and ./Data is in the working directory.
  explicit TQuillor_Form(TQuillorOptions options = {}, QWidget* parent = nullptr);
  TQuillor_Form(const TQuillor_Form&) = delete;
  TQuillor_Form& operator=(const TQuillor_Form&) = delete;
  ~TQuillor_Form() override;

  // --- controls (owned by the window) ---------------------------------------------
  QLabel* Image1;
  QLabel* Label1;
  StringGridWidget* ListeArticles_StringGrid;
  QFrame* Panel1;
  QGroupBox* GroupBox1;
  QRadioButton* RadioButton1;
  QRadioButton* RadioButton3;
  // The search by substance, beside the two modes above.
  QRadioButton* RadioButton4;
  QLineEdit* Edit1;
  QToolButton* SpeedButton2;
  QFrame* Panel2;
  QLabel* Label3;
  QLabel* Label4;
  QLineEdit* Edit2;
  TUpDown* UpDown1;
  QToolButton* SpeedButton1;
  QPlainTextEdit* Message_Memo;
  QLabel* Label2;
  QPlainTextEdit* Adresse_Memo;
  QPushButton* Button1;
  QPushButton* Button2;
  // Which catalogue is in use, and the way to update it.
  TCatalogueStrip* CatalogueStrip;
  // One line under the grid: what became of the last sending, and why an
  // order went to the mail program (never a box for that).
  QLabel* Label5;
  // Over the grid: what the list shows when it is not a search (the
  // equivalents of an article), or what the window could not read of the
  // knowledge files.
  QLabel* Label6;
  QLabel* Label7;

  // Not visible: the order's SMTP session and message.
  TSmtpClient SmtpClient1;
  TMailMessage MailMessage1;

  // --- state for the whole run ------------------------------------------------------
  std::unique_ptr<TMyStringGrid> ArticleGrid;
  std::unique_ptr<TMyDatabase> ArticleTable;
  std::unique_ptr<TCryptManager> CryptManager;
  uint32_t MinHeight = 0;
  uint32_t MinWidth = 0;
  double CurrencyCoefficient = 0.0;
  int32_t DecimalCount = 0;
  // Availability, hospital marks, substances and equivalents, from the
  // knowledge files beside the article file.
  TKnowledge Knowledge;

  // --- event handlers ----------------------------------------------------------------
  void FormCreate();
  void FormResize();
  // Saves the address. Throws EFileError when it cannot be written (the
  // window then asks whether to try again, quit without saving or stay). A
  // start-up that stopped before the address was read leaves it unsaved
  // unless the user typed one since.
  void FormClose();
  void Button1Click();
  void Edit1Change();
  void Edit1KeyPress(char& key);
  void SpeedButton2Click();
  void RadioButton1Click();
  void RadioButton3Click();
  void RadioButton4Click();
  void RadioButton3KeyDown(uint16_t& key, uint32_t shift);
  void RadioButton3KeyUp(uint16_t& key, uint32_t shift);
  void SpeedButton1Click();
  void Button2Click();

  // --- routines ------------------------------------------------------------------------
  void LoadCaptions();
  void DisplayPrices();
  // The search of the text in Edit1, as asked for (Enter, the search button,
  // a mode button). A scanned box code finds its article by CIP instead.
  void Search();
  // Makes the first article of the grid the current row, scrolled into view;
  // done after every fill of the grid.
  void ShowFirstArticle();
  // Opens the mailto: link; whether a mail program took it.
  bool MailtoFallback();

  // --- knowledge: marks, equivalents (QuillorKnowledge.cpp) --------------------------
  // Lists in the grid the equivalents of the current row's article (the
  // equivalents key, the row's context menu); nothing on a row without code.
  void ShowEquivalents();
  // Back to the list the equivalents replaced, on the article they were
  // shown for (Escape); the next search does as much.
  void ReturnToSearch();
  bool ShowingEquivalents() const { return fShowingEquivalents; }
  // The context menu of a data row: the equivalents, the agency's page of
  // an article that has one, the way back from an equivalents list.
  std::unique_ptr<QMenu> ArticleMenu(int32_t row);
  // The tooltip of a data row (Windows-1252), empty for a row without code.
  std::string ArticleRowTooltip(int32_t row) const;

  // True from the click on the send button until the outcome; the window
  // takes no input meanwhile.
  bool IsSending() const { return fSending; }
  // The order's address and message as on screen (UTF-8).
  TOrderTexts OrderTexts() const;
  // The whole text of the status line (Label5 shows what fits of it).
  const std::string& SendingStatus() const { return fSendingStatus; }

  // The catalogue update: the button (or Ctrl+M) and the undo. An update runs
  // beside the window, which stays usable; when it installs a new catalogue
  // the list shows it at once, the search and the order kept.
  void UpdateCatalogueClick();
  void RollbackCatalogueClick();
  TCatalogueUpdater& CatalogueUpdater() { return *fCatalogueUpdater; }
  // Where the articles shown were read from, and their availability.
  const update::TCatalogueLocation& CatalogueInUse() const { return fCatalogue; }
  const update::TAvailabilityInUse& AvailabilityInUse() const { return fAvailability; }
  // Whether the background refresh of the availability runs.
  bool IsRefreshingAvailability() const;

  // The byte-side texts of the memos (lines separated by CR LF).
  std::string AddressText() const;
  std::string MessageText() const;

 protected:
  bool event(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateControls();
  // Sets the title line's caption, shrinking its font when the caption is
  // wider than the label (faces wider than the classic one).
  void SetTitleCaption(const std::string& caption);
  // Sets the captions of the two search modes, shrinking their common font
  // when a caption is wider than its button (faces wider than the classic one).
  void SetModeCaptions(const std::string& exact, const std::string& approximate,
                       const std::string& substance);
  // Renders the logo and the button glyphs for the window's screen.
  void DrawPictures();
  void SetTabOrder();
  void ConnectHandlers();
  // Keeps the window at its first size while it is not maximised.
  void HoldNormalSize();
  // What started a search: typing runs it too, but an unreadable code is
  // only reported when the search was asked for, since a scan is unreadable
  // until its last character, and only then does the quantity take the focus.
  enum class TSearchTrigger { kTyped, kAsked };
  void SearchFor(TSearchTrigger trigger);
  // Adds the order line of the current row with the quantity of Edit2;
  // whether a line was added.
  bool AddOrderLine();
  // Enter in the quantity: the line is added and the search field is ready
  // for the next scan.
  void Edit2Return();
  // Finds the catalogue in use and the availability that goes with it
  // (fCatalogue, fAvailability) and shows them.
  void LocateCatalogue();
  // Reads the catalogue LocateCatalogue found into ArticleTable; throws
  // EFileError.
  void ReadArticles();
  // The catalogue in use changed: read again, the list refilled with the
  // search in Edit1, the strip told. On failure the old table stays.
  void CatalogueChanged();
  void ShowCatalogueInUse();
  update::TUpdateRequest CatalogueUpdateRequest() const;
  // At start-up: the availability fetched alone in the background when the
  // one in use is older than a week; how it went is said under the
  // catalogue's line, never in a box.
  void RefreshAvailabilityIfOld();
  // A newer availability is in use.
  void AvailabilityChanged();
  void LoadAddress();
  // Once the knowledge files are read: marks the grid's rows with them,
  // shows their dates in the title and, without a box, what could not be
  // read.
  void LoadKnowledge();
  // The caption of a list that is not a search (a line over it), and what
  // could not be read of the knowledge files (under the logo's caption).
  void ShowListCaption(const std::string& text);
  void ShowKnowledgeProblems(const std::string& text);
  // Says once what Compositions.txt could not give, when first read.
  void NoteCompositionProblems();
  void ShowEquivalentsOf(const std::string& cip7, const std::string& designation);
  // Ends the equivalents list's mode, before the grid shows another list.
  void LeaveEquivalents();
  // Whether the article of `row` may be ordered: an article in shortage or
  // no longer marketed is only after the user says so, and may show its
  // equivalents instead.
  bool ConfirmOrderOf(int32_t row);
  void GridToolTip(QEvent* event);
  void GridContextMenu(QEvent* event, bool fromMouse);
  void OpenAgencyPage(const std::string& page);
  void WriteTitles(const TGridTitles& titles);
  // The start-up step after FormCreate: shows a kept draft of an unsent
  // order and keeps the order on disk from then on.
  void RestoreKeptDraft();
  // The closing path: the address saved (or the user's choice when it
  // cannot be), the draft let go; false keeps the window open.
  bool CloseAfterSavingAddress();
  // Sets the session and the message up for a sending of the order on
  // screen; the mark that tells of it on disk.
  TSendingMark PrepareSending();
  // The order's sending under its progress window, the window taking no
  // input meanwhile.
  TSendingOutcome RunSendingSession();
  // What follows an outcome on screen: the confirmation, the hand-over, or
  // the question about an order that may have arrived.
  void ShowSendingOutcome(const TSendingOutcome& outcome, const TSendingMark& mark,
                          const TSendingRecords::TFinished& finished);
  // An order the server did not take goes to the mail program, and the
  // status line says why; a box only when no mail program takes it either.
  void HandOverToMailProgram(const std::optional<std::string>& kept, const std::string& journalError,
                             const std::string& reason);
  // Says that the order may have arrived (`cause`, then what to do), and
  // offers to keep it on screen (the default) or hand it over anyway.
  void ReportUnknownOutcome(const std::string& cause, const std::string& reason,
                            const std::optional<std::string>& kept, const std::string& journalError);
  // The start-up step after the draft: a sending that a former run left
  // under way is shown with its order, as one whose fate is unknown.
  void ReportInterruptedSending();
  void SetSendingStatus(const std::string& text, bool failure);
  // Whether a press on the send button is the second click of a double
  // click, which never starts a second sending.
  bool IsSecondClickOnSend(QEvent* event);

  TQuillorOptions fOptions;
  // The exact form of CurrencyCoefficient, for the price arithmetic.
  TExactDecimal fCoefficientDigits;
  // The trace reporter that was installed before this window's.
  std::unique_ptr<TraceReporter> fPreviousReporter;
  // The client size when first shown, held while the window is not maximised.
  QSize fFirstClientSize;
  // The outer height that the grid's height was last set from, and whether a
  // check of it is waiting in the event loop.
  int32_t fGridFrameHeight = -1;
  bool fFrameCheckQueued = false;
  // The last exact searches' results, which typing narrows and rubbing out
  // gives back.
  TExactSearchMemory fExactSearches;
  // The grid's titles, read from the settings file when it changed.
  TGridTitlesFile fGridTitles{TQuillorFiles::kSettingsFile};
  // Whether the address memo holds the address read at start-up.
  bool fAddressLoaded = false;
  bool fSending = false;
  // When the last press on the send button came (the window system's clock).
  std::optional<quint64> fLastSendPress;
  std::string fSendingStatus;
  std::unique_ptr<TDraftKeeper> fDraftKeeper;
  TDataFolderReport fDataFolderReport;
  update::TCatalogueLocation fCatalogue;
  update::TAvailabilityInUse fAvailability;
  // How the last refresh of the availability went, after its date.
  std::string fAvailabilityNote;
  std::unique_ptr<TCatalogueUpdater> fCatalogueUpdater;
  std::unique_ptr<update::TAvailabilityRefresh> fAvailabilityRefresh;
  QShortcut* fEquivalentsKey = nullptr;
  QShortcut* fReturnKey = nullptr;
  bool fShowingEquivalents = false;
  // The list the equivalents replaced, and whose equivalents they are.
  TSelectionSnapshot fListBeforeEquivalents;
  std::string fEquivalentsOf;
  bool fCompositionsNoted = false;
};

// The one order window of the run (nullptr before and after it).
extern TQuillor_Form* Quillor_Form;

}  // namespace quillor
