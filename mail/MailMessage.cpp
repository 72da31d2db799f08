#include "mail/MailMessage.h"

#include "mail/EncodedWord.h"
#include "mail/InternetDate.h"
#include "mail/MailErrors.h"

namespace quillor {
namespace {

std::string Join(const std::vector<std::string>& items, const std::string& separator) {
  std::string result;
  for (const std::string& item : items) {
    if (!result.empty()) result += separator;
    result += item;
  }
  return result;
}

}  // namespace

bool TMailMessage::BodyHasEightBitText() const {
  for (const std::string& line : Body)
    for (unsigned char c : line)
      if (c >= 0x80) return true;
  return false;
}

THeaderList TMailMessage::GenerateHeader() const {
  if (MessageParts.TextPartCount == 1)
    throw EMailError("Invalid Text count. TTextPart must be greater than 1");
  if (MessageParts.Count() > 0) throw EMailError("Messages with parts are not supported.");

  std::string contentType = ContentType.empty() ? CharSet : ContentType + ";" + CharSet;
  std::string mimeVersion;
  std::string transferEncoding = ContentTransferEncoding;
  if (contentType.empty() && BodyHasEightBitText()) {
    contentType = "text/plain; charset=windows-1252";
    mimeVersion = "1.0";
    if (transferEncoding.empty()) transferEncoding = "8bit";
  }

  THeaderList headers;
  headers.Add("From", From.Text());
  headers.Add("Subject", EncodeHeaderText(Subject));
  headers.Add("To", Recipients.Text());
  headers.Add("Cc", CCList.Text());
  headers.Add("Newsgroups", Join(NewsGroups, ","));
  headers.Add("Content-Type", contentType);
  headers.Add("MIME-Version", mimeVersion);
  headers.Add("Content-Transfer-Encoding", transferEncoding);
  headers.Add("Sender", Sender.Text());
  headers.Add("Reply-To", ReplyTo.Text());
  headers.Add("Organization", EncodeHeaderText(Organization));
  headers.Add("Disposition-Notification-To", ReceiptRecipient.Text());
  headers.Add("References", References);
  headers.Add("Date", DateTimeToInternetStr(UseNowForDate ? std::time(nullptr) : Date));
  headers.Add("X-Priority", std::to_string(static_cast<int>(Priority) + 1));
  headers.Add("X-Library", kLibraryName);
  for (const THeader& extra : ExtraHeaders.Headers()) headers.Add(extra.Name, extra.Value);
  return headers;
}

}  // namespace quillor
