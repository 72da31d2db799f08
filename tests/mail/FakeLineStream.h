// An in-memory TLineStream for driving the protocol code without sockets:
// it serves canned server lines in order and records what the client wrote.
// When the canned lines run out, reading raises EConnClosedGracefully, as a
// server that hung up would.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "mail/LineStream.h"
#include "mail/MailErrors.h"

namespace quillor::test {

struct FakeWire {
  std::deque<std::string> serverLines;
  std::vector<std::string> written;
  bool open = true;
  bool tlsStarted = false;
};

class FakeLineStream : public TLineStream {
 public:
  explicit FakeLineStream(std::shared_ptr<FakeWire> wire) : wire_(std::move(wire)) {}

  void WriteLine(const std::string& line, TDeadline) override { wire_->written.push_back(line); }
  std::string ReadLine(TDeadline, size_t maxLength) override {
    if (wire_->serverLines.empty()) throw EConnClosedGracefully();
    std::string line = wire_->serverLines.front();
    wire_->serverLines.pop_front();
    if (line.size() > maxLength) throw EProtocolReplyError(0, "too long");
    return line;
  }
  void StartTls(const std::string&, const std::string&, TDeadline) override { wire_->tlsStarted = true; }
  bool IsOpen() override { return wire_->open; }
  void Close() override { wire_->open = false; }

 private:
  std::shared_ptr<FakeWire> wire_;
};

// A connector for TTcpConnection::SetConnector that hands out streams on `wire`.
inline TStreamConnector FakeConnector(std::shared_ptr<FakeWire> wire) {
  return [wire](const std::string&, int, std::chrono::milliseconds,
                TCancellation*) -> std::unique_ptr<TLineStream> {
    wire->open = true;
    return std::make_unique<FakeLineStream>(wire);
  };
}

}  // namespace quillor::test
