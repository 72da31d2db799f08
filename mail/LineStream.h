// The byte stream under an SMTP session, seen as lines: the protocol code
// talks only to this interface, so tests can run it over a scripted stream and
// the real one is a socket (SocketLineStream.h). Owned by the TTcpConnection
// that opened it; used from one thread only; every wait ends at a deadline,
// and a stream given a TCancellation also ends its wait when it fires
// (throwing ESendingCancelled after closing at once).
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "mail/Cancellation.h"

namespace quillor {

using TDeadline = std::chrono::steady_clock::time_point;

class TLineStream {
 public:
  virtual ~TLineStream() = default;

  // Sends `line` followed by CR LF and waits until it has left.
  // Throws ESocketError (a send failure, or the deadline passed).
  virtual void WriteLine(const std::string& line, TDeadline deadline) = 0;

  // The bytes before the next LF, one CR removed from their end.
  // Throws ESocketError when the deadline passes first, EConnClosedGracefully
  // when the peer closes before a whole line came, and EProtocolReplyError
  // when the line grows beyond `maxLength` bytes (nothing more is buffered).
  virtual std::string ReadLine(TDeadline deadline, size_t maxLength) = 0;

  // Upgrades the connection to TLS as a client. The server certificate must
  // chain to a CA in `caFile` (PEM) or, when it is empty, to the system's
  // trusted CAs, and must name `peerName`.
  // Throws ETlsError when the handshake or the verification fails (the
  // stream is then closed), EProtocolReplyError when the server sent bytes
  // ahead of the handshake (they would pass as protected when they are not).
  virtual void StartTls(const std::string& peerName, const std::string& caFile, TDeadline deadline) = 0;

  // True while connected; notices a close by the peer without blocking.
  virtual bool IsOpen() = 0;

  // Closes; never throws. Bytes already written still reach the peer.
  virtual void Close() = 0;
};

// Opens a stream to host:port within `timeout`, or throws ESocketError
// (ESendingCancelled when `cancellation` fires first). The stream keeps
// `cancellation` (owned by the caller, may be null) for its own waits.
using TStreamConnector = std::function<std::unique_ptr<TLineStream>(
    const std::string& host, int port, std::chrono::milliseconds timeout, TCancellation* cancellation)>;

}  // namespace quillor
