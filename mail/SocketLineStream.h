// The real TLineStream: a TCP socket (Qt Network's QSslSocket, which stays
// plain until StartTls) in blocking mode, so no event loop is needed. Keeps
// its own receive buffer of bytes read but not yet consumed.
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "LineStream.h"

class QSslSocket;

namespace quillor {

class TSocketLineStream : public TLineStream {
 public:
  // Resolves `host` (a dotted IPv4 address is taken as it is) and connects.
  // Throws ESocketError on failure, for a port outside 0..65535, or when
  // `timeout` passes first; nothing is left open then.
  TSocketLineStream(const std::string& host, int port, std::chrono::milliseconds timeout);
  ~TSocketLineStream() override;
  TSocketLineStream(const TSocketLineStream&) = delete;
  TSocketLineStream& operator=(const TSocketLineStream&) = delete;

  void WriteLine(const std::string& line, TDeadline deadline) override;
  std::string ReadLine(TDeadline deadline, size_t maxLength) override;
  void StartTls(const std::string& peerName, const std::string& caFile, TDeadline deadline) override;
  bool IsOpen() override;
  void Close() override;

 private:
  [[noreturn]] void RaiseSocketError(const std::string& context);

  std::unique_ptr<QSslSocket> socket_;
  std::string buffer_;
};

// The default TStreamConnector.
std::unique_ptr<TLineStream> ConnectSocketStream(const std::string& host, int port,
                                                 std::chrono::milliseconds timeout);

}  // namespace quillor
