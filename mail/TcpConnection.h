// A client connection that speaks a line-based command and reply protocol:
// write a command line, read a (possibly multi-line) reply, check its code.
// Owns its stream. Each call returns only when its step is done, but the
// socket stream waits in a local event loop, so the caller's other handlers
// run meanwhile (Cancellation lets one of them end the session). One thread
// (the GUI thread in the application). Failures are raised as the
// exceptions of MailErrors.h.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "mail/Cancellation.h"
#include "mail/LineStream.h"

namespace quillor {

class TTcpConnection {
 public:
  // A connection attempt gives up after this long. A host name lookup counts
  // against it but is bounded only by the system resolver.
  static constexpr std::chrono::milliseconds kDefaultConnectTimeout{20000};
  // A reply, all its lines together, must arrive within this long; sending
  // one line may take as long.
  static constexpr std::chrono::milliseconds kDefaultReplyTimeout{60000};
  // Bounds on what an untrusted server can make the client hold: longer
  // lines or longer replies are protocol errors.
  static constexpr size_t kMaxReplyLineLength = 4096;
  static constexpr int kMaxReplyLines = 1000;

  TTcpConnection();
  virtual ~TTcpConnection();
  TTcpConnection(const TTcpConnection&) = delete;
  TTcpConnection& operator=(const TTcpConnection&) = delete;

  std::string Host;
  int32_t Port = 25;
  std::chrono::milliseconds ConnectTimeout = kDefaultConnectTimeout;
  std::chrono::milliseconds ReplyTimeout = kDefaultReplyTimeout;

  // Fired by the user to end the session while it waits: every step then
  // throws ESendingCancelled, the connection closed at once without "Quit",
  // until Cancellation.Reset().
  TCancellation Cancellation;

  // The lines of the last reply (trimmed, empty lines left out) and its code.
  std::vector<std::string> ReplyLines;
  int16_t ReplyCode = 0;

  // Replaces how streams are opened (the default is a TCP socket). A seam for
  // tests and other transports; takes effect at the next connection.
  void SetConnector(TStreamConnector connector);

  // True while the connection is open. A connection found closed by the peer
  // is closed on the spot and reported as not open.
  bool IsOpen();

  // Sends `text` and CR LF. Throws EUnsafeMailText when `text` holds a CR or
  // LF (nothing is sent), ESocketError when not connected or sending fails,
  // ESendingCancelled once cancelled.
  void WriteLine(const std::string& text);

  // Reads one reply into ReplyLines/ReplyCode and returns its code: 1 for
  // "+OK", 0 for "-ERR", else the three-digit code (0 when not a number).
  // A line "xyz-..." opens a multi-line reply that ends at a line starting
  // "xyz " (any case) or shorter than 4 characters.
  // Throws EProtocolReplyError (code and last line) when `allowedCodes` is not
  // empty and lacks the code, or when the reply breaks kMaxReplyLineLength or
  // kMaxReplyLines; ESocketError on time-out (ReplyTimeout) or network
  // failure; EConnClosedGracefully when the peer closes meanwhile;
  // ESendingCancelled once cancelled.
  int ReadReply(const std::vector<int>& allowedCodes);

  // WriteLine(command), then ReadReply expecting `expectedCode`, or any code
  // when it is -1.
  int SendCommand(const std::string& command, int expectedCode);

 protected:
  // Opens the stream to Host:Port. Throws ESocketError (ESendingCancelled
  // once cancelled); nothing stays open then.
  void OpenStream();
  // Closes the stream without a word; never throws.
  void CloseStream();
  bool HasStream() const { return stream_ != nullptr; }
  // REQUIRES: HasStream().
  TLineStream& Stream() { return *stream_; }
  TDeadline ReplyDeadline() const { return std::chrono::steady_clock::now() + ReplyTimeout; }

 private:
  std::string ReadReplyLine(TDeadline deadline, int& linesRead);
  // Closes the stream and throws ESendingCancelled when cancelled.
  void ThrowIfCancelled();

  TStreamConnector connector_;
  std::unique_ptr<TLineStream> stream_;
};

}  // namespace quillor
