// The mail message object: sender, recipients, subject, body lines and the
// other header fields, and the generation of its header list. Texts are
// Windows-1252 bytes. A plain value, owned by its user (the order window keeps
// one for the whole run); no I/O here — TMessageClient writes it.
#pragma once

#include <ctime>
#include <string>
#include <vector>

#include "mail/EmailAddress.h"
#include "mail/HeaderList.h"

namespace quillor {

enum TMessagePriority { mpHighest, mpHigh, mpNormal, mpLow, mpLowest };

// The parts of a multipart message, counted only: Quillor sends plain-text
// messages, and a message with parts cannot be rendered (see GenerateHeader).
struct TMessageParts {
  int TextPartCount = 0;
  int AttachmentCount = 0;
  int Count() const { return TextPartCount + AttachmentCount; }
};

class TMailMessage {
 public:
  static constexpr const char* kLibraryName = "Quillor Mail 1.0";

  TEmailAddressItem From;
  TEmailAddressList Recipients;
  TEmailAddressList CCList;
  TEmailAddressList BccList;
  TEmailAddressList ReplyTo;
  std::string Subject;
  std::vector<std::string> Body;
  std::string ContentType;
  std::string CharSet;
  std::string ContentTransferEncoding;
  TEmailAddressItem Sender;
  TEmailAddressItem ReceiptRecipient;
  std::string Organization;
  std::string References;
  std::vector<std::string> NewsGroups;
  TMessagePriority Priority = mpNormal;
  bool UseNowForDate = true;
  std::time_t Date = 0;  // used when UseNowForDate is false
  THeaderList ExtraHeaders;
  TMessageParts MessageParts;

  // Sets Date and stops using the current time.
  void SetDate(std::time_t moment) {
    Date = moment;
    UseNowForDate = false;
  }

  // True when a body line holds a byte >= 0x80 (the accented letters of
  // French text), which needs the charset headers to be read correctly.
  bool BodyHasEightBitText() const;

  // The header list in the order in which it is written: From, Subject, To,
  // Cc, Newsgroups, Content-Type, MIME-Version, Content-Transfer-Encoding,
  // Sender, Reply-To, Organization, Disposition-Notification-To, References,
  // Date, X-Priority, X-Library, then ExtraHeaders; empty values left out.
  // An all-ASCII plain message without content fields gets exactly From,
  // Subject, To, Date, X-Priority and X-Library. A body with 8-bit bytes and
  // no content type of its own adds MIME-Version 1.0, a text/plain
  // windows-1252 Content-Type and Content-Transfer-Encoding 8bit, since
  // receivers otherwise guess the charset.
  // Throws EMailError "Invalid Text count. TTextPart must be greater than 1"
  // for exactly one text part, and EMailError for any other message with
  // parts (multipart layouts are not built); the date error of
  // DateTimeToInternetStr passes through.
  THeaderList GenerateHeader() const;
};

}  // namespace quillor
