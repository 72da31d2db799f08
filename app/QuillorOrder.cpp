// Order lines and sending: the add button, and the send button, which runs
// the order's sending (OrderSending.h) under its progress window and then
// shows its outcome; the journal, the mark of a sending under way and the
// kept draft follow from that outcome (SendingRecords.h), and so does the
// mailto: fallback.
#include <QDesktopServices>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QUrl>
#include <ctime>

#include "app/DraftKeeper.h"
#include "app/InputBlocker.h"
#include "app/MessagePresenter.h"
#include "app/Quillor_Unit.h"
#include "app/SendingProgress.h"
#include "app/SendingRecords.h"
#include "app/UnsendableCharacters.h"
#include "app/UserFiles.h"
#include "app/WidgetText.h"
#include "mail/MailtoLink.h"
#include "mail/OrderSending.h"
#include "text/StringManager.h"
#include "text/TextLines.h"

namespace quillor {

namespace {

constexpr const char* kJournalCopy = "la copie de la commande";
constexpr const char* kSendingMark = "la trace de l'envoi en cours";

// The two answers to an order whose fate is unknown; keeping it is the
// default, and what Escape gives.
enum TUnknownChoice : size_t { kKeepOnScreen, kHandOverAnyway };

// Sets a flag for as long as it lives.
class FlagWhile {
 public:
  explicit FlagWhile(bool& flag) : fFlag(flag) { fFlag = true; }
  ~FlagWhile() { fFlag = false; }
  FlagWhile(const FlagWhile&) = delete;
  FlagWhile& operator=(const FlagWhile&) = delete;

 private:
  bool& fFlag;
};

std::string Utf8(const QString& text) {
  return text.toUtf8().toStdString();
}

std::string JoinedLines(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\r\n";
  return bytes;
}

// "05/01/2026 à 09:04:05", in local time.
std::string MomentText(std::time_t moment) {
  std::tm local{};
  ::localtime_r(&moment, &local);
  char day[16];
  char time[16];
  std::strftime(day, sizeof day, "%d/%m/%Y", &local);
  std::strftime(time, sizeof time, "%H:%M:%S", &local);
  return std::string(day) + " \xE0 " + time;
}

// What follows the cause in the box of an order whose fate is unknown.
std::string UnknownAdvice() {
  return "Elle a donc pu arriver : v\xE9rifiez aupr\xE8s du fournisseur avant de l'envoyer \xE0 nouveau.\n"
         "Elle est gard\xE9"
         "e au journal des commandes, \xAB \xE0 v\xE9rifier \xBB.";
}

const char* StepText(TSmtpStage stage) {
  switch (stage) {
    case TSmtpStage::kSigningIn:
      return TSendingProgress::kSigningIn;
    case TSmtpStage::kTransaction:
      return TSendingProgress::kSending;
    case TSmtpStage::kEndingData:
    case TSmtpStage::kAccepted:
      return TSendingProgress::kAwaitingConfirmation;
    default:
      return TSendingProgress::kConnecting;
  }
}

}  // namespace

void TQuillor_Form::SpeedButton1Click() {
  AddOrderLine();
}

bool TQuillor_Form::AddOrderLine() {
  const std::string quantity = FromQString(Edit2->text());
  if (!ArticleGrid || !TStringManager::IsInteger(quantity)) return false;
  const int32_t row = ArticleGrid->GetRow();
  if (row == 0) return false;
  // An article in shortage or no longer marketed: only when the user says so.
  if (!ConfirmOrderOf(row)) return false;
  // The cells as shown, user edits included.
  AppendMemoLine(*Message_Memo,
                 quantity + "  " + ArticleGrid->GetCell(0, row) + "  " + ArticleGrid->GetCell(1, row));
  return true;
}

void TQuillor_Form::Edit2Return() {
  // A quantity that adds nothing stays in place to be mended.
  if (!AddOrderLine()) return;
  Edit1->clear();
  Edit1->setFocus();
}

TOrderTexts TQuillor_Form::OrderTexts() const {
  return {Utf8(MemoUnicodeText(*Adresse_Memo)), Utf8(MemoUnicodeText(*Message_Memo))};
}

void TQuillor_Form::SetSendingStatus(const std::string& text, bool failure) {
  fSendingStatus = text;
  Label5->setStyleSheet(failure ? QStringLiteral("color: #a00000;") : QString());
  // One line: what does not fit ends in "...", and the whole is in the tip.
  const QString whole = ToQString(text);
  Label5->setText(QFontMetrics(Label5->font()).elidedText(whole, Qt::ElideRight, Label5->width()));
  Label5->setToolTip(whole);
}

void TQuillor_Form::Button2Click() {
  // Input is blocked while sending; this keeps any other path from starting
  // a second session inside the first one's waits.
  if (fSending) return;
  // Characters without a Windows-1252 byte would travel as "?": the user
  // mends the text first.
  const QString unsendable =
      DescribeUnsendableCharacters({{QStringLiteral("dans l'adresse"), MemoUnicodeText(*Adresse_Memo)},
                                    {QStringLiteral("dans le message"), MemoUnicodeText(*Message_Memo)}});
  if (!unsendable.isEmpty()) {
    ShowUnicodeErrorMessage(unsendable);
    return;
  }

  const TSendingMark mark = PrepareSending();
  // On disk before the sending, whatever becomes of it; and a failure to
  // keep it is told now rather than over the progress window.
  if (fDraftKeeper) fDraftKeeper->SaveNow();
  SetSendingStatus("", false);
  const TSendingRecords records(SendingMarkFileName(), JournalFolder());
  std::string markError;
  if (records.Begin(mark, &markError)) {
    fDataFolderReport.Succeeded();
  } else {
    fDataFolderReport.Failed(kSendingMark, DisplayFileName(records.MarkFile()), markError);
  }

  const TSendingOutcome outcome = RunSendingSession();
  if (outcome.result == TSendingResult::kSent) {
    // The order is gone: from now on the kept draft must not hold it, or a
    // crash while the confirmation is on screen would bring it back at the
    // next start as an order still to send.
    if (fDraftKeeper) fDraftKeeper->StartAfresh(OrderTexts());
  }
  const TSendingRecords::TFinished finished = records.Finish(outcome, mark);
  if (!finished.markError.empty())
    fDataFolderReport.Failed(kSendingMark, DisplayFileName(records.MarkFile()), finished.markError);
  ShowSendingOutcome(outcome, mark, finished);
}

TSendingMark TQuillor_Form::PrepareSending() {
  // Every sending sets everything it uses, so nothing leaks from the last one.
  const TSendingSettings& settings = fOptions.sending;
  SmtpClient1.Host = settings.host;
  SmtpClient1.Port = settings.port;
  SmtpClient1.UserId = settings.sender;
  SmtpClient1.Password = settings.password;
  SmtpClient1.TlsCaFile = settings.caCertificateFile;
  SmtpClient1.AllowPlainSignIn = settings.allowPlainSignIn;
  SmtpClient1.ConnectTimeout = settings.connectTimeoutMs > 0
                                   ? std::chrono::milliseconds(settings.connectTimeoutMs)
                                   : TTcpConnection::kDefaultConnectTimeout;
  SmtpClient1.ReplyTimeout = settings.replyTimeoutMs > 0 ? std::chrono::milliseconds(settings.replyTimeoutMs)
                                                         : TTcpConnection::kDefaultReplyTimeout;
  MailMessage1.From = TEmailAddressItem{};
  MailMessage1.From.Address = settings.sender;
  MailMessage1.Recipients.SetText(settings.orderMailbox);
  MailMessage1.Subject = settings.subject;
  // The address, one CR, the order message: an address ending with a line
  // break leaves one empty line before the message.
  MailMessage1.Body = SplitLines(AddressText() + "\r" + MessageText());
  // Dated now, so that the mark, the journal and the server hold one message.
  TSendingMark mark;
  mark.moment = std::time(nullptr);
  MailMessage1.SetDate(mark.moment);
  const TOrderTexts texts = OrderTexts();
  mark.order = {texts.address, texts.message};
  try {
    mark.message = JoinedLines(TMessageClient::RenderedLines(MailMessage1));
  } catch (const std::exception&) {
    // A message that cannot be rendered cannot be sent either: the session
    // fails before its first command, and the mail program takes the order.
  }
  return mark;
}

void TQuillor_Form::ShowSendingOutcome(const TSendingOutcome& outcome, const TSendingMark& mark,
                                       const TSendingRecords::TFinished& finished) {
  switch (outcome.result) {
    case TSendingResult::kSent:
      SetSendingStatus(
          "Commande envoy\xE9"
          "e le " +
              MomentText(mark.moment) + ".",
          false);
      // Told after "Quit" and the close: no connection waits on the box.
      ShowMessage(
          "Commande envoy\xE9"
          "e");
      if (finished.journalFile) {
        fDataFolderReport.Succeeded();
      } else {
        fDataFolderReport.Failed(kJournalCopy, DisplayFileName(JournalFolder()), finished.journalError);
      }
      // The order is gone: a failure from here on is shown by the general
      // handler and must not hand it over a second time.
      LoadCaptions();
      if (fDraftKeeper) fDraftKeeper->StartAfresh(OrderTexts());
      break;
    case TSendingResult::kNotSent:
      HandOverToMailProgram(finished.journalFile, finished.journalError, outcome.reason);
      break;
    case TSendingResult::kCancelled:
      SetSendingStatus(
          "Envoi annul\xE9 : la commande n'est pas partie, elle reste \xE0 l'\xE9"
          "cran.",
          false);
      break;
    case TSendingResult::kUnknown:
      ReportUnknownOutcome(
          "La commande a \xE9t\xE9 transmise au serveur de commandes, mais il n'en a pas confirm\xE9 la "
          "r\xE9"
          "ception (" +
              outcome.reason + ").\n",
          outcome.reason, finished.journalFile, finished.journalError);
      break;
  }
}

TSendingOutcome TQuillor_Form::RunSendingSession() {
  FlagWhile sendingFlag(fSending);
  TSendingProgress progress(this, [this] { SmtpClient1.Cancellation.Cancel(); });
  TInputBlocker blocker(*this);
  TOrderSending sending(SmtpClient1);
  sending.OnStage = [&progress](TSmtpStage stage) { progress.SetStep(StepText(stage)); };
  return sending.Run(MailMessage1);
}

void TQuillor_Form::HandOverToMailProgram(const std::optional<std::string>& kept,
                                          const std::string& journalError, const std::string& reason) {
  if (kept) fDataFolderReport.Succeeded();
  if (!MailtoFallback()) {
    // Nothing took the link: without a word the user might think it left.
    SetSendingStatus(
        "Non envoy\xE9"
        "e, toujours \xE0 l'\xE9"
        "cran : " +
            reason,
        true);
    std::string text =
        "La commande n'a pu \xEAtre envoy\xE9"
        "e (" +
        reason +
        "), ni remise \xE0 un programme de messagerie.\nElle est toujours \xE0 l'\xE9"
        "cran.\n";
    if (kept) {
      text +=
          "Une copie en a \xE9t\xE9 enregistr\xE9"
          "e dans :\n" +
          DisplayFileName(*kept);
    } else {
      text +=
          "Sa copie n'a pu \xEAtre enregistr\xE9"
          "e dans " +
          DisplayFileName(JournalFolder()) + " : " + journalError + ".";
    }
    ShowErrorMessage(text);
    return;
  }
  SetSendingStatus(
      "Non envoy\xE9"
      "e, remise \xE0 votre messagerie : " +
          reason,
      true);
  if (!kept) fDataFolderReport.Failed(kJournalCopy, DisplayFileName(JournalFolder()), journalError);
}

void TQuillor_Form::ReportUnknownOutcome(const std::string& cause, const std::string& reason,
                                         const std::optional<std::string>& kept,
                                         const std::string& journalError) {
  SetSendingStatus(
      "\xC0 v\xE9rifier, non confirm\xE9"
      "e par le serveur : " +
          reason,
      true);
  std::string text = cause + UnknownAdvice();
  if (kept) fDataFolderReport.Succeeded();
  if (!kept)
    text +=
        "\n(Sa copie n'a pu \xEAtre enregistr\xE9"
        "e dans " +
        DisplayFileName(JournalFolder()) + " : " + journalError + ".)";
  const size_t choice = AskWarningChoice(text,
                                         {"Garder la commande \xE0 l'\xE9"
                                          "cran",
                                          "La remettre au programme de messagerie"},
                                         kKeepOnScreen);
  if (choice != kHandOverAnyway) return;
  if (MailtoFallback()) {
    SetSendingStatus("\xC0 v\xE9rifier, remise \xE0 votre messagerie \xE0 votre demande : " + reason, true);
  } else {
    ShowErrorMessage(
        "Aucun programme de messagerie n'a pris la commande.\nElle est toujours \xE0 l'\xE9"
        "cran.");
  }
}

void TQuillor_Form::ReportInterruptedSending() {
  const TSendingRecords records(SendingMarkFileName(), JournalFolder());
  std::string unreadable;
  const std::optional<TSendingMark> mark = records.Interrupted(&unreadable);
  if (!mark) {
    if (!unreadable.empty())
      ShowErrorMessage("Un envoi de commande a \xE9t\xE9 interrompu, mais sa trace (" +
                       DisplayFileName(records.MarkFile()) + ") ne peut \xEAtre lue : " + unreadable +
                       ".\nV\xE9rifiez aupr\xE8s du fournisseur si la derni\xE8re commande envoy\xE9"
                       "e lui est parvenue.");
    return;
  }
  // The order as it went, whatever the kept draft says.
  Adresse_Memo->setPlainText(QString::fromStdString(mark->order.address));
  if (mark->order.message) Message_Memo->setPlainText(QString::fromStdString(*mark->order.message));
  const std::string reason = "Quillor s'est arr\xEAt\xE9 pendant l'envoi du " + MomentText(mark->moment);
  const TSendingRecords::TFinished finished = records.FinishInterrupted(*mark, reason);
  if (!finished.markError.empty())
    fDataFolderReport.Failed(kSendingMark, DisplayFileName(records.MarkFile()), finished.markError);
  ReportUnknownOutcome("Quillor s'est arr\xEAt\xE9 pendant l'envoi d'une commande, le " +
                           MomentText(mark->moment) +
                           " : le serveur de commandes n'en a pas confirm\xE9 la r\xE9"
                           "ception.\n",
                       reason, finished.journalFile, finished.journalError);
}

bool TQuillor_Form::MailtoFallback() {
  std::vector<std::string> lines = MemoLines(*Adresse_Memo);
  for (std::string& line : MemoLines(*Message_Memo)) lines.push_back(std::move(line));
  const std::string link =
      BuildMailtoLink(fOptions.sending.orderMailbox, fOptions.sending.mailtoSubject, lines);
  if (fOptions.openUrl) return fOptions.openUrl(link);
  return QDesktopServices::openUrl(QUrl::fromEncoded(QByteArray::fromStdString(link)));
}

}  // namespace quillor
