#include "mail/MessageClient.h"

#include "mail/MailErrors.h"

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

namespace {

// What a server keeps of a data line: one leading dot fewer.
std::string Unstuffed(const std::string& wireLine) {
  return !wireLine.empty() && wireLine.front() == '.' ? wireLine.substr(1) : wireLine;
}

}  // namespace

std::string TDataCopy::Bytes() const {
  std::string bytes;
  for (const std::string& line : Lines) bytes += line + "\r\n";
  return bytes;
}

std::vector<std::string> TMessageClient::RenderedLines(const TMailMessage& message) {
  CheckWritable(message);
  std::vector<std::string> lines = message.GenerateHeader().FoldedLines();
  lines.emplace_back();
  lines.insert(lines.end(), message.Body.begin(), message.Body.end());
  return lines;
}

void TMessageClient::WriteMessage(TMailMessage& message, TDataCopy* copy) {
  CheckWritable(message);
  if (copy != nullptr) copy->Clear();
  // The copy is taken from the line as it goes on the wire, so that the two
  // cannot differ.
  auto send = [this, copy](const std::string& wireLine) {
    WriteLine(wireLine);
    if (copy != nullptr) copy->Lines.push_back(Unstuffed(wireLine));
  };
  for (const std::string& line : message.GenerateHeader().FoldedLines()) send(line);
  send("");
  for (std::string& line : message.Body) {
    if (!line.empty() && line.front() == '.') line.insert(line.begin(), '.');
    send(line);
  }
}

}  // namespace quillor
