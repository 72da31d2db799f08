// A connection that can write a mail message onto the wire: header lines, one
// empty line, then the body with dot-stuffing. Used between "Data" and the
// final dot line of an SMTP transaction. Same threading and errors as
// TTcpConnection.
#pragma once

#include "MailMessage.h"
#include "TcpConnection.h"

namespace quillor {

class TMessageClient : public TTcpConnection {
 public:
  TMessageClient() = default;
  TMessageClient(const TMessageClient&) = delete;
  TMessageClient& operator=(const TMessageClient&) = delete;

  // Throws what GenerateHeader throws, or EUnsafeMailText when any header
  // field (before encoding), address, header name or value or body line holds
  // a CR or LF. Writes nothing.
  static void CheckWritable(const TMailMessage& message);

  // Writes the message. A body line that begins with "." gets one more "."
  // in front, and the changed line is stored back into message.Body (so a
  // second writing of the same object adds another). Empty lines are written
  // as empty lines; nothing else is changed (8-bit bytes go as they are).
  // REQUIRES: the connection is open and the server awaits the data.
  // Throws as CheckWritable (nothing written then) and as WriteLine.
  void WriteMessage(TMailMessage& message);
};

}  // namespace quillor
