// Order lines and sending: the add button, the send button with its
// progress window, the journal of orders, and the mailto: fallback used
// whenever sending by SMTP fails.
#include <QDesktopServices>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QUrl>
#include <ctime>

#include "DraftKeeper.h"
#include "InputBlocker.h"
#include "MailErrors.h"
#include "MailtoLink.h"
#include "MessagePresenter.h"
#include "OrderJournal.h"
#include "Quillor_Unit.h"
#include "SendingProgress.h"
#include "StringManager.h"
#include "TextLines.h"
#include "UnsendableCharacters.h"
#include "UserFiles.h"
#include "WidgetText.h"

namespace quillor {

namespace {

constexpr const char* kJournalCopy = "la copie de la commande";

// Closes the session however the sending ended.
class CloseWhenDone {
 public:
  explicit CloseWhenDone(TSmtpClient& client) : fClient(client) {}
  ~CloseWhenDone() {
    if (fClient.IsOpen()) fClient.CloseConnection();
  }
  CloseWhenDone(const CloseWhenDone&) = delete;
  CloseWhenDone& operator=(const CloseWhenDone&) = delete;

 private:
  TSmtpClient& fClient;
};

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

// The copy of an order that was not sent: marked so in its first line, then
// the message as it would have gone.
std::string NotSentCopy(const TMailMessage& unsent) {
  std::string bytes = std::string(TOrderJournal::kNotSentHeader) + "\r\n";
  for (const std::string& line : TMessageClient::RenderedLines(unsent)) bytes += line + "\r\n";
  return bytes;
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

  // Every sending sets everything it uses, so nothing leaks from the last one.
  const TSendingSettings& settings = fOptions.sending;
  SmtpClient1.Host = settings.host;
  SmtpClient1.Port = settings.port;
  SmtpClient1.UserId = settings.sender;
  SmtpClient1.Password = settings.password;
  SmtpClient1.TlsCaFile = settings.caCertificateFile;
  if (settings.connectTimeoutMs > 0)
    SmtpClient1.ConnectTimeout = std::chrono::milliseconds(settings.connectTimeoutMs);
  if (settings.replyTimeoutMs > 0)
    SmtpClient1.ReplyTimeout = std::chrono::milliseconds(settings.replyTimeoutMs);
  MailMessage1.From = TEmailAddressItem{};
  MailMessage1.From.Address = settings.sender;
  MailMessage1.Recipients.SetText(settings.orderMailbox);
  MailMessage1.Subject = settings.subject;
  // The address, one CR, the order message: an address ending with a line
  // break leaves one empty line before the message.
  MailMessage1.Body = SplitLines(AddressText() + "\r" + MessageText());
  SmtpClient1.AuthenticationType = atNone;
  // Writing the data stuffs the body in place; the journal's copy of an
  // order that fails is made from the message as it is now.
  const TMailMessage unsent = MailMessage1;

  // On disk before the sending, whatever becomes of it; and a failure to
  // keep it is told now rather than over the progress window.
  if (fDraftKeeper) fDraftKeeper->SaveNow();

  CloseWhenDone closeWhenDone(SmtpClient1);
  TDataCopy copy;
  try {
    RunSendingSession(copy);
  } catch (const ESendingCancelled&) {
    // The user stopped it: the order stays as it is, and goes nowhere.
    return;
  } catch (const std::exception&) {
    // The mail program takes over; the error itself is not shown.
    HandOverToMailProgram(unsent);
    return;
  }

  // The order is gone: from now on the kept draft must not hold it, or a
  // crash while the confirmation is on screen would bring it back at the
  // next start as an order still to send.
  if (fDraftKeeper) fDraftKeeper->StartAfresh();
  // Kept before the confirmation, from the very lines the server accepted.
  std::string journalError;
  const TOrderJournal journal(JournalFolder());
  const bool journaled =
      journal.Save(copy.Bytes(), TOrderJournal::TState::kSent, std::time(nullptr), &journalError).has_value();
  ShowMessage(
      "Commande envoy\xE9"
      "e");
  if (journaled) {
    fDataFolderReport.Succeeded();
  } else {
    fDataFolderReport.Failed(kJournalCopy, DisplayFileName(journal.Folder()), journalError);
  }
  // The order is gone: a failure from here on is shown by the general
  // handler and must not hand it over a second time.
  LoadCaptions();
  if (fDraftKeeper) fDraftKeeper->StartAfresh();
}

void TQuillor_Form::RunSendingSession(TDataCopy& copy) {
  FlagWhile sending(fSending);
  SmtpClient1.Cancellation.Reset();
  TSendingProgress progress(this, [this] { SmtpClient1.Cancellation.Cancel(); });
  TInputBlocker blocker(*this);
  progress.SetStep(TSendingProgress::kConnecting);
  SmtpClient1.OpenConnection();
  if (SmtpClient1.AnnouncedSchemes.Contains("LOGIN")) {
    progress.SetStep(TSendingProgress::kSigningIn);
    SmtpClient1.AuthenticationType = atLogin;
    SmtpClient1.SignIn();
  }
  progress.SetStep(TSendingProgress::kSending);
  SmtpClient1.SubmitMessage(MailMessage1, &copy);
}

void TQuillor_Form::HandOverToMailProgram(const TMailMessage& unsent) {
  const TOrderJournal journal(JournalFolder());
  std::string journalError;
  std::optional<std::string> kept;
  try {
    kept =
        journal.Save(NotSentCopy(unsent), TOrderJournal::TState::kNotSent, std::time(nullptr), &journalError);
  } catch (const std::exception& error) {
    journalError = error.what();
  }
  if (kept) fDataFolderReport.Succeeded();

  if (!MailtoFallback()) {
    // Nothing took the link: without a word the user might think it left.
    std::string text =
        "La commande n'a pu \xEAtre envoy\xE9"
        "e, ni remise \xE0 un programme de messagerie.\nElle est toujours \xE0 l'\xE9"
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
          DisplayFileName(journal.Folder()) + " : " + journalError + ".";
    }
    ShowErrorMessage(text);
  } else if (!kept) {
    fDataFolderReport.Failed(kJournalCopy, DisplayFileName(journal.Folder()), journalError);
  }
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
