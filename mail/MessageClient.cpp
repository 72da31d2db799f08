#include "MessageClient.h"

#include "MailErrors.h"

namespace quillor {

void TMessageClient::CheckWritable(const TMailMessage& message) {
  // Raw fields first: encoding would hide a line break in an encoded word,
  // but a text that carries one was not meant as one header value.
  for (const std::string* text : {&message.Subject, &message.Organization, &message.References,
                                  &message.ContentType, &message.CharSet, &message.ContentTransferEncoding})
    RequireSingleLine(*text, "a header value");
  for (const TEmailAddressItem* item : {&message.From, &message.Sender, &message.ReceiptRecipient})
    RequireSingleLine(item->Name + item->Address, "an address");
  for (const TEmailAddressList* list :
       {&message.Recipients, &message.CCList, &message.BccList, &message.ReplyTo})
    for (const TEmailAddressItem& item : list->Items())
      RequireSingleLine(item.Name + item.Address, "an address");
  for (const std::string& group : message.NewsGroups) RequireSingleLine(group, "a newsgroup");
  const THeaderList headers = message.GenerateHeader();
  for (const THeader& header : headers.Headers())
    RequireSingleLine(header.Name + ": " + header.Value, "a header");
  for (const std::string& line : message.Body) RequireSingleLine(line, "a body line");
}

void TMessageClient::WriteMessage(TMailMessage& message) {
  CheckWritable(message);
  for (const std::string& line : message.GenerateHeader().FoldedLines()) WriteLine(line);
  WriteLine("");
  for (std::string& line : message.Body) {
    if (!line.empty() && line.front() == '.') line.insert(line.begin(), '.');
    WriteLine(line);
  }
}

}  // namespace quillor
