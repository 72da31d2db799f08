#include "mail/TcpConnection.h"

#include <algorithm>
#include <cctype>
#include <cerrno>

#include "mail/MailErrors.h"
#include "mail/SocketLineStream.h"
#include "text/TrimBlanks.h"

namespace quillor {
namespace {

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(text[i])) !=
        std::toupper(static_cast<unsigned char>(prefix[i])))
      return false;
  return true;
}

int ReplyCodeOf(const std::string& line) {
  if (StartsWithNoCase(line, "+OK")) return 1;
  if (line.compare(0, 4, "-ERR") == 0) return 0;
  const std::string digits = line.substr(0, 3);
  if (digits.empty() ||
      !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return 0;
  return std::stoi(digits);
}

}  // namespace

TTcpConnection::TTcpConnection() : connector_(ConnectSocketStream) {}

TTcpConnection::~TTcpConnection() {
  CloseStream();
}

void TTcpConnection::SetConnector(TStreamConnector connector) {
  connector_ = std::move(connector);
}

bool TTcpConnection::IsOpen() {
  if (!stream_) return false;
  if (stream_->IsOpen()) return true;
  CloseStream();
  return false;
}

void TTcpConnection::ThrowIfCancelled() {
  if (!Cancellation.IsCancelled()) return;
  CloseStream();
  throw ESendingCancelled();
}

void TTcpConnection::WriteLine(const std::string& text) {
  RequireSingleLine(text, "a line for the server");
  ThrowIfCancelled();
  if (!stream_) throw ESocketError(ENOTCONN, "Not connected.");
  stream_->WriteLine(text, ReplyDeadline());
}

std::string TTcpConnection::ReadReplyLine(TDeadline deadline, int& linesRead) {
  ThrowIfCancelled();
  if (!stream_) throw ESocketError(ENOTCONN, "Not connected.");
  for (;;) {
    if (++linesRead > kMaxReplyLines)
      throw EProtocolReplyError(0, "Reply of more than " + std::to_string(kMaxReplyLines) + " lines.");
    const std::string line = TrimBlanksAndControls(stream_->ReadLine(deadline, kMaxReplyLineLength));
    if (!line.empty()) return line;
  }
}

int TTcpConnection::ReadReply(const std::vector<int>& allowedCodes) {
  const TDeadline deadline = ReplyDeadline();
  int linesRead = 0;
  ReplyLines.clear();
  ReplyLines.push_back(ReadReplyLine(deadline, linesRead));
  const std::string first = ReplyLines.front();
  if (first.size() > 3 && first[3] == '-') {
    const std::string last = first.substr(0, 3) + " ";
    for (;;) {
      ReplyLines.push_back(ReadReplyLine(deadline, linesRead));
      const std::string& line = ReplyLines.back();
      if (line.size() < 4 || StartsWithNoCase(line, last)) break;
    }
  }
  const int code = ReplyCodeOf(ReplyLines.back());
  ReplyCode = static_cast<int16_t>(code);
  if (!allowedCodes.empty() &&
      std::find(allowedCodes.begin(), allowedCodes.end(), code) == allowedCodes.end())
    throw EProtocolReplyError(code, ReplyLines.back());
  return code;
}

int TTcpConnection::SendCommand(const std::string& command, int expectedCode) {
  WriteLine(command);
  return ReadReply(expectedCode == -1 ? std::vector<int>{} : std::vector<int>{expectedCode});
}

void TTcpConnection::OpenStream() {
  CloseStream();
  ThrowIfCancelled();
  stream_ = connector_(Host, Port, ConnectTimeout, &Cancellation);
  if (!stream_) throw ESocketError(ENOTCONN, "No connection to " + Host + ".");
}

void TTcpConnection::CloseStream() {
  if (!stream_) return;
  stream_->Close();
  stream_.reset();
}

}  // namespace quillor
