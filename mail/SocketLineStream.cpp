#include "mail/SocketLineStream.h"

#include <QEventLoop>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTimer>
#include <cerrno>

#include "mail/MailErrors.h"

namespace quillor {
namespace {

// How long a close may take to flush the TLS close notice; the session never
// waits for the server to answer "Quit".
constexpr int kCloseFlushMs = 2000;

int RemainingMs(TDeadline deadline) {
  const auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
  return left.count() <= 0 ? 0 : static_cast<int>(std::min<long long>(left.count(), 1 << 30));
}

// The system error number closest to Qt's socket error, so that ESocketError
// carries the numbers the rest of the platform uses.
int ErrorNumber(QAbstractSocket::SocketError error) {
  switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
      return ECONNREFUSED;
    case QAbstractSocket::RemoteHostClosedError:
      return ECONNRESET;
    case QAbstractSocket::HostNotFoundError:
      return EHOSTUNREACH;
    case QAbstractSocket::SocketAccessError:
      return EACCES;
    case QAbstractSocket::SocketResourceError:
      return ENOBUFS;
    case QAbstractSocket::SocketTimeoutError:
      return ETIMEDOUT;
    case QAbstractSocket::NetworkError:
      return ENETUNREACH;
    case QAbstractSocket::AddressInUseError:
      return EADDRINUSE;
    case QAbstractSocket::SslHandshakeFailedError:
    case QAbstractSocket::SslInternalError:
    case QAbstractSocket::SslInvalidUserDataError:
      return EPROTO;
    default:
      return EIO;
  }
}

std::string MsText(std::chrono::milliseconds timeout) {
  return std::to_string(timeout.count()) + " ms";
}

}  // namespace

TSocketLineStream::TSocketLineStream(const std::string& host, int port, std::chrono::milliseconds timeout,
                                     TCancellation* cancellation)
    : socket_(std::make_unique<QSslSocket>()), cancellation_(cancellation) {
  // Cut to 16 bits, an out-of-range port would reach another service.
  if (port < 0 || port > 65535) throw ESocketError(EINVAL, "Invalid port " + std::to_string(port) + ".");
  ThrowIfCancelled();
  socket_->connectToHost(QString::fromStdString(host), static_cast<quint16>(port));
  const bool settled = WaitUntil(
      [this] {
        const QAbstractSocket::SocketState state = socket_->state();
        return state == QAbstractSocket::ConnectedState || state == QAbstractSocket::UnconnectedState;
      },
      std::chrono::steady_clock::now() + timeout);
  if (settled && socket_->state() == QAbstractSocket::ConnectedState) return;
  const QAbstractSocket::SocketError error = socket_->error();
  const std::string text = socket_->errorString().toStdString();
  socket_->abort();
  if (!settled)
    throw ESocketError(ETIMEDOUT, "Connecting to " + host + ":" + std::to_string(port) + " timed out after " +
                                      MsText(timeout) + ".");
  throw ESocketError(ErrorNumber(error), text);
}

TSocketLineStream::~TSocketLineStream() {
  Close();
}

void TSocketLineStream::RaiseSocketError(const std::string& context) {
  throw ESocketError(ErrorNumber(socket_->error()), context + socket_->errorString().toStdString());
}

void TSocketLineStream::ThrowIfCancelled() {
  if (cancellation_ == nullptr || !cancellation_->IsCancelled()) return;
  // At once: no farewell, no TLS close notice, nothing more for the server.
  socket_->abort();
  buffer_.clear();
  throw ESendingCancelled();
}

bool TSocketLineStream::WaitUntil(const std::function<bool()>& settled, TDeadline deadline) {
  for (;;) {
    ThrowIfCancelled();
    if (settled()) return true;
    const int waitMs = RemainingMs(deadline);
    if (waitMs == 0) return false;
    // Any movement of the socket, the deadline or the cancellation ends one
    // round; the condition is then looked at afresh.
    QEventLoop loop;
    QTimer deadlineTimer;
    deadlineTimer.setSingleShot(true);
    QObject::connect(&deadlineTimer, &QTimer::timeout, &loop, &QEventLoop::quit);
    QSslSocket* socket = socket_.get();
    QObject::connect(socket, &QAbstractSocket::stateChanged, &loop, &QEventLoop::quit);
    QObject::connect(socket, &QAbstractSocket::errorOccurred, &loop, &QEventLoop::quit);
    QObject::connect(socket, &QIODevice::readyRead, &loop, &QEventLoop::quit);
    QObject::connect(socket, &QIODevice::bytesWritten, &loop, &QEventLoop::quit);
    QObject::connect(socket, &QSslSocket::encryptedBytesWritten, &loop, &QEventLoop::quit);
    QObject::connect(socket, &QSslSocket::encrypted, &loop, &QEventLoop::quit);
    QObject::connect(socket, &QSslSocket::sslErrors, &loop, &QEventLoop::quit);
    TCancellation::TWaker waker(cancellation_, [&loop] { loop.quit(); });
    deadlineTimer.start(waitMs);
    loop.exec();
  }
}

void TSocketLineStream::WriteLine(const std::string& line, TDeadline deadline) {
  ThrowIfCancelled();
  if (socket_->state() != QAbstractSocket::ConnectedState) throw ESocketError(ENOTCONN, "Not connected.");
  const std::string data = line + "\r\n";
  if (socket_->write(data.data(), static_cast<qint64>(data.size())) != static_cast<qint64>(data.size()))
    RaiseSocketError("Send failed: ");
  const bool settled = WaitUntil(
      [this] { return socket_->bytesToWrite() == 0 || socket_->state() != QAbstractSocket::ConnectedState; },
      deadline);
  if (!settled) throw ESocketError(ETIMEDOUT, "Sending to the server timed out.");
  if (socket_->bytesToWrite() > 0) RaiseSocketError("Send failed: ");
}

std::string TSocketLineStream::ReadLine(TDeadline deadline, size_t maxLength) {
  for (;;) {
    ThrowIfCancelled();
    const size_t lf = buffer_.find('\n');
    if (lf != std::string::npos) {
      std::string line = buffer_.substr(0, lf);
      buffer_.erase(0, lf + 1);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.size() > maxLength)
        throw EProtocolReplyError(0, "Reply line longer than " + std::to_string(maxLength) + " bytes.");
      return line;
    }
    // One byte of slack for the CR that precedes the LF.
    if (buffer_.size() > maxLength + 1) {
      buffer_.clear();
      throw EProtocolReplyError(0, "Reply line longer than " + std::to_string(maxLength) + " bytes.");
    }
    if (socket_->bytesAvailable() > 0) {
      // Reading at most one line's worth at a time keeps the buffer bounded.
      const QByteArray chunk = socket_->read(static_cast<qint64>(maxLength + 2));
      buffer_.append(chunk.constData(), static_cast<size_t>(chunk.size()));
      continue;
    }
    if (socket_->state() != QAbstractSocket::ConnectedState) throw EConnClosedGracefully();
    const bool settled = WaitUntil(
        [this] {
          return socket_->bytesAvailable() > 0 || socket_->state() != QAbstractSocket::ConnectedState;
        },
        deadline);
    if (!settled) throw ESocketError(ETIMEDOUT, "The server did not reply in time.");
  }
}

void TSocketLineStream::StartTls(const std::string& peerName, const std::string& caFile, TDeadline deadline) {
  ThrowIfCancelled();
  if (!buffer_.empty() || socket_->bytesAvailable() > 0)
    throw EProtocolReplyError(0, "Unexpected data from the server before the TLS handshake.");
  if (!QSslSocket::supportsSsl()) throw ETlsError(EPROTO, "TLS is not available on this system.");
  QSslConfiguration config = socket_->sslConfiguration();
  if (!caFile.empty()) {
    const QList<QSslCertificate> cas = QSslCertificate::fromPath(QString::fromStdString(caFile), QSsl::Pem);
    if (cas.isEmpty()) throw ETlsError(ENOENT, "No CA certificate could be read from " + caFile + ".");
    config.setCaCertificates(cas);
  }
  config.setPeerVerifyMode(QSslSocket::VerifyPeer);
  socket_->setSslConfiguration(config);
  socket_->setPeerVerifyName(QString::fromStdString(peerName));
  bool failed = false;
  const QMetaObject::Connection failure =
      QObject::connect(socket_.get(), &QAbstractSocket::errorOccurred,
                       [&failed](QAbstractSocket::SocketError) { failed = true; });
  socket_->startClientEncryption();
  bool settled = false;
  try {
    settled = WaitUntil(
        [this, &failed] {
          return failed || socket_->isEncrypted() || socket_->state() != QAbstractSocket::ConnectedState;
        },
        deadline);
  } catch (...) {
    QObject::disconnect(failure);
    throw;
  }
  QObject::disconnect(failure);
  if (settled && socket_->isEncrypted()) return;
  std::string reasons;
  for (const QSslError& error : socket_->sslHandshakeErrors())
    reasons += " " + error.errorString().toStdString();
  const int number = settled ? ErrorNumber(socket_->error()) : ETIMEDOUT;
  const std::string text = "TLS handshake failed: " +
                           (settled ? socket_->errorString().toStdString() : std::string("timed out.")) +
                           reasons;
  socket_->abort();
  throw ETlsError(number == EIO ? EPROTO : number, text);
}

bool TSocketLineStream::IsOpen() {
  if (socket_->state() != QAbstractSocket::ConnectedState) return false;
  // A zero wait lets the socket notice a close by the peer; bytes that came
  // meanwhile stay in the socket's buffer for the next ReadLine.
  socket_->waitForReadyRead(0);
  return socket_->state() == QAbstractSocket::ConnectedState;
}

void TSocketLineStream::Close() {
  if (!socket_) return;
  // A bounded blocking wait, never an event loop: Close also runs from
  // destructors, where handlers must not run.
  if (socket_->state() != QAbstractSocket::UnconnectedState) {
    socket_->disconnectFromHost();
    if (socket_->state() != QAbstractSocket::UnconnectedState) socket_->waitForDisconnected(kCloseFlushMs);
  }
  socket_->abort();
  buffer_.clear();
}

std::unique_ptr<TLineStream> ConnectSocketStream(const std::string& host, int port,
                                                 std::chrono::milliseconds timeout,
                                                 TCancellation* cancellation) {
  return std::make_unique<TSocketLineStream>(host, port, timeout, cancellation);
}

}  // namespace quillor
