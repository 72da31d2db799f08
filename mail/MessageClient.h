// A connection that can write a mail message onto the wire: header lines, one
// empty line, then the body with dot-stuffing. Used between "Data" and the
// final dot line of an SMTP transaction. Same threading and errors as
// TTcpConnection.
#pragma once

#include <string>
#include <vector>

#include "mail/MailMessage.h"
#include "mail/TcpConnection.h"

namespace quillor {

// The message as the server stores it, taken from the very lines written on
// the wire: each line with its dot-stuffing undone. Filled by WriteMessage;
// Accepted is set by TSmtpClient::SubmitMessage once the server's 250 after
// the final dot came. A plain value owned by the caller.
struct TDataCopy {
  std::vector<std::string> Lines;
  bool Accepted = false;

  void Clear() {
    Lines.clear();
    Accepted = false;
  }
  // Every line followed by CR LF: the bytes of the stored message.
  std::string Bytes() const;
};

class TMessageClient : public TTcpConnection {
 public:
  TMessageClient() = default;
  TMessageClient(const TMessageClient&) = delete;
  TMessageClient& operator=(const TMessageClient&) = delete;

  // Throws what GenerateHeader throws, or EUnsafeMailText when any header
  // field (before encoding), address, header name or value or body line holds
  // a CR or LF. Writes nothing.
  static void CheckWritable(const TMailMessage& message);

  // The lines the message consists of, as a server would store it (no
  // dot-stuffing): folded header lines, one empty line, the body lines.
  // For keeping a copy of a message that was not sent. Throws as
  // CheckWritable.
  static std::vector<std::string> RenderedLines(const TMailMessage& message);

  // Writes the message. A body line that begins with "." gets one more "."
  // in front, and the changed line is stored back into message.Body (so a
  // second writing of the same object adds another). Empty lines are written
  // as empty lines; nothing else is changed (8-bit bytes go as they are).
  // When `copy` is given it is cleared, then gets each line as written with
  // the stuffed dot taken off again, in step with the wire.
  // REQUIRES: the connection is open and the server awaits the data.
  // Throws as CheckWritable (nothing written then) and as WriteLine.
  void WriteMessage(TMailMessage& message, TDataCopy* copy = nullptr);
};

}  // namespace quillor
