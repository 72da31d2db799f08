#include "MessageClient.h"

#include "MailErrors.h"

namespace quillor {

void TMessageClient::CheckWritable(const TMailMessage& message) {
  for (const THeader& header : message.GenerateHeader().Headers())
    RequireSingleLine(header.Value, "the " + header.Name + " header");
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
