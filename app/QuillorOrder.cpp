// Order lines and sending: the add button, the send button and the mailto:
// fallback used whenever sending by SMTP fails.
#include <QApplication>
#include <QDesktopServices>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QUrl>

#include "MailtoLink.h"
#include "MessagePresenter.h"
#include "Quillor_Unit.h"
#include "StringManager.h"
#include "TextLines.h"
#include "WidgetText.h"

namespace quillor {

namespace {

// The wait cursor for as long as the window is blocked on the network.
class WaitCursor {
 public:
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

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

}  // namespace

void TQuillor_Form::SpeedButton1Click() {
  const std::string quantity = FromQString(Edit2->text());
  if (!ArticleGrid || !TStringManager::IsInteger(quantity)) return;
  const int32_t row = ArticleGrid->GetRow();
  if (row == 0) return;
  // The cells as shown, user edits included.
  AppendMemoLine(*Message_Memo,
                 quantity + "  " + ArticleGrid->GetCell(0, row) + "  " + ArticleGrid->GetCell(1, row));
}

void TQuillor_Form::Button2Click() {
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

  CloseWhenDone closeWhenDone(SmtpClient1);
  try {
    {
      WaitCursor waitCursor;
      SmtpClient1.OpenConnection();
      if (SmtpClient1.AnnouncedSchemes.Contains("LOGIN")) {
        SmtpClient1.AuthenticationType = atLogin;
        SmtpClient1.SignIn();
      }
      SmtpClient1.SubmitMessage(MailMessage1);
    }
    ShowMessage(
        "Commande envoy\xE9"
        "e");
    LoadCaptions();
  } catch (const std::exception&) {
    // The mail program takes over; the error itself is not shown.
    MailtoFallback();
  }
}

void TQuillor_Form::MailtoFallback() {
  std::vector<std::string> lines = MemoLines(*Adresse_Memo);
  for (std::string& line : MemoLines(*Message_Memo)) lines.push_back(std::move(line));
  const std::string link =
      BuildMailtoLink(fOptions.sending.orderMailbox, fOptions.sending.mailtoSubject, lines);
  if (fOptions.openUrl) {
    fOptions.openUrl(link);
  } else {
    // Whether a mail program took the link is not examined.
    QDesktopServices::openUrl(QUrl::fromEncoded(QByteArray::fromStdString(link)));
  }
}

}  // namespace quillor
