// The errors that the mail transport raises. Network and protocol failures are
// exceptions (the order window catches them and falls back to the mailto:
// link); every class derives from EMailError so that one catch covers them.
#pragma once

#include <stdexcept>
#include <string>

namespace quillor {

class EMailError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A reply code that was not among the expected ones, or a reply that breaks
// the protocol's limits. The message is the last reply line, trimmed.
class EProtocolReplyError : public EMailError {
 public:
  EProtocolReplyError(int code, const std::string& replyLine);
  int Code() const { return code_; }

 private:
  int code_;
};

// The server closed the connection while a reply was awaited.
class EConnClosedGracefully : public EMailError {
 public:
  EConnClosedGracefully();
};

// A failure of the network layer (resolution, connect, send, receive, TLS,
// time-out). Number() is the system error number (errno values on this
// platform); the message is "Socket Error # <n>\r\n<description>".
class ESocketError : public EMailError {
 public:
  ESocketError(int number, const std::string& description);
  int Number() const { return number_; }

 private:
  int number_;
};

// The TLS handshake of STARTTLS failed, or the server's certificate could not
// be verified (untrusted, expired, another name): the connection is not
// secure and was closed.
class ETlsError : public ESocketError {
 public:
  using ESocketError::ESocketError;
};

// A sign-in was asked over a connection that STARTTLS did not make secure
// (the server offered no STARTTLS, or someone stripped it from its reply):
// the password would travel in clear, so nothing was sent.
class EInsecureSignIn : public EMailError {
 public:
  EInsecureSignIn();
};

// OpenConnection on a connection that is already open.
class EAlreadyConnected : public EMailError {
 public:
  EAlreadyConnected();
};

// The user ended the session (TCancellation::Cancel) while it waited; the
// connection was closed at once.
class ESendingCancelled : public EMailError {
 public:
  ESendingCancelled();
};

// A text that would be written on the wire holds a CR or an LF, which would
// let it smuggle extra commands or headers. Raised before anything is written.
class EUnsafeMailText : public EMailError {
 public:
  explicit EUnsafeMailText(const std::string& what);
};

// Throws EUnsafeMailText naming `what` when `text` holds a CR or an LF.
void RequireSingleLine(const std::string& text, const std::string& what);

}  // namespace quillor
