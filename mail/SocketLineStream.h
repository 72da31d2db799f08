// The real TLineStream: a TCP socket (Qt Network's QSslSocket, which stays
// plain until StartTls). Every wait runs a local event loop on the calling
// thread until the socket moves, the deadline passes or the cancellation
// fires, so the caller's window keeps repainting and its handlers keep
// running meanwhile: the caller must keep its own input from acting (see
// the order window's sending). Keeps its own receive buffer of bytes read
// but not yet consumed.
//
// REQUIRES: a QCoreApplication exists (the waits need its event dispatcher).
// Used on the thread that created it only.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "mail/LineStream.h"

class QSslSocket;

namespace quillor {

class TSocketLineStream : public TLineStream {
 public:
  // Resolves `host` (a dotted IPv4 address is taken as it is) and connects.
  // Throws ESocketError on failure, for a port outside 0..65535, or when
  // `timeout` passes first, ESendingCancelled when `cancellation` (may be
  // null, not owned, must outlive the stream) fires first; nothing is left
  // open then.
  TSocketLineStream(const std::string& host, int port, std::chrono::milliseconds timeout,
                    TCancellation* cancellation = nullptr);
  ~TSocketLineStream() override;
  TSocketLineStream(const TSocketLineStream&) = delete;
  TSocketLineStream& operator=(const TSocketLineStream&) = delete;

  // Each of these also throws ESendingCancelled (the socket aborted) when
  // the cancellation fires before or while they wait.
  void WriteLine(const std::string& line, TDeadline deadline) override;
  std::string ReadLine(TDeadline deadline, size_t maxLength) override;
  void StartTls(const std::string& peerName, const std::string& caFile, TDeadline deadline) override;
  bool IsOpen() override;
  void Close() override;

 private:
  [[noreturn]] void RaiseSocketError(const std::string& context);
  // Processes events until `settled()` holds (true) or `deadline` passes
  // (false). Throws ESendingCancelled, after aborting the socket, when the
  // cancellation fires.
  bool WaitUntil(const std::function<bool()>& settled, TDeadline deadline);
  void ThrowIfCancelled();

  std::unique_ptr<QSslSocket> socket_;
  std::string buffer_;
  TCancellation* cancellation_;
};

// The default TStreamConnector.
std::unique_ptr<TLineStream> ConnectSocketStream(const std::string& host, int port,
                                                 std::chrono::milliseconds timeout,
                                                 TCancellation* cancellation);

}  // namespace quillor
