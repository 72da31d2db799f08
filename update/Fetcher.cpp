#include "update/Fetcher.h"

#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslError>
#include <QTimer>
#include <QUrl>

#include "text/FileSystem.h"
#include "text/TextLines.h"
#include "update/FrenchText.h"

namespace quillor::update {
namespace {

std::string Duration(std::chrono::milliseconds wait) {
  if (wait.count() % 1000 == 0) return std::to_string(wait.count() / 1000) + " s";
  return std::to_string(wait.count()) + " ms";
}

std::string Latin(const QString& text) {
  return Utf8ToCp1252(text.toStdString());
}

}  // namespace

// One fetch, from Start until its outcome is delivered. The QObject is the
// context of every connection and queued call, so that nothing reaches a
// destroyed run.
class TFetcher::TRun : public QObject {
 public:
  TRun(const TUpdateSettings& settings, std::vector<std::string> names, TProgressCallback progress,
       TDoneCallback done)
      : fSettings(settings),
        fNames(std::move(names)),
        fProgress(std::move(progress)),
        fDone(std::move(done)) {
    fConnectTimer.setSingleShot(true);
    fReadTimer.setSingleShot(true);
    QObject::connect(&fConnectTimer, &QTimer::timeout, this, [this] {
      Fail(Fr("pas de connexion au serveur ") + Latin(QUrl(fUrl).host()) + Fr(" en ") +
           Duration(fSettings.connectTimeout));
    });
    QObject::connect(&fReadTimer, &QTimer::timeout, this, [this] {
      Fail(Fr("le serveur n'envoie plus rien depuis ") + Duration(fSettings.readTimeout) + " (" +
           std::to_string(fBuffer.size()) + Fr(" octets reçus)"));
    });
  }

  ~TRun() override { DropReply(); }

  bool IsRunning() const { return fRunning; }

  // Stops and goes once back in the event loop, calling nothing more.
  void Abandon() {
    fDone = nullptr;
    fProgress = nullptr;
    fFinishing = true;
    DropReply();
    deleteLater();
  }

  void Begin() {
    if (fSettings.source.kind == TUpdateSource::TKind::kWeb && !PrepareTls()) return;
    QMetaObject::invokeMethod(
        this, [this] { Next(); }, Qt::QueuedConnection);
  }

  void Cancel() {
    if (!fRunning || fFinishing) return;
    Finish({TFetchOutcome::TStatus::kCancelled, {}, {}});
  }

 private:
  bool PrepareTls() {
    fSsl = QSslConfiguration::defaultConfiguration();
    fSsl.setPeerVerifyMode(QSslSocket::VerifyPeer);
    if (!fSettings.caCertificateFile.empty()) {
      const QList<QSslCertificate> authorities =
          QSslCertificate::fromPath(QFile::decodeName(fSettings.caCertificateFile.c_str()), QSsl::Pem);
      if (authorities.isEmpty()) {
        Finish({TFetchOutcome::TStatus::kFailed,
                Fr("aucun certificat d'autorité lisible dans ") +
                    Latin(QFile::decodeName(fSettings.caCertificateFile.c_str())),
                {}});
        return false;
      }
      fSsl.setCaCertificates(authorities);
    }
    return true;
  }

  void Next() {
    if (!fRunning || fFinishing) return;
    if (fIndex == fNames.size()) {
      Finish({TFetchOutcome::TStatus::kDone, {}, std::move(fFiles)});
      return;
    }
    fBuffer.clear();
    fTotal = -1;
    Report();
    if (fSettings.source.kind == TUpdateSource::TKind::kFolder) {
      ReadFromFolder();
    } else {
      Get();
    }
  }

  void Report() {
    if (fProgress) {
      fProgress({fNames[fIndex], fIndex, fNames.size(), static_cast<int64_t>(fBuffer.size()), fTotal});
    }
  }

  void FileArrived() {
    fFiles[fNames[fIndex]] = std::move(fBuffer);
    fBuffer.clear();
    ++fIndex;
    QMetaObject::invokeMethod(
        this, [this] { Next(); }, Qt::QueuedConnection);
  }

  void ReadFromFolder() {
    const std::string path = FileLocation(fSettings.source, fNames[fIndex]);
    const std::string folder = DescribeSource(fSettings.source);
    if (!FileExists(path)) {
      Fail(Fr("absent du dossier ") + folder);
      return;
    }
    if (QFileInfo(QFile::decodeName(path.c_str())).size() > kMaxFileBytes) {
      Fail(Fr("fichier trop grand (plus de ") + std::to_string(kMaxFileBytes >> 20) + " Mo)");
      return;
    }
    if (!ReadFileBytes(path, fBuffer)) {
      Fail(Fr("illisible dans le dossier ") + folder);
      return;
    }
    fTotal = static_cast<int64_t>(fBuffer.size());
    Report();
    FileArrived();
  }

  void Get() {
    fUrl = QString::fromStdString(FileLocation(fSettings.source, fNames[fIndex]));
    QNetworkRequest request{QUrl(fUrl)};
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setMaximumRedirectsAllowed(kMaxRedirects);
    request.setSslConfiguration(fSsl);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Quillor"));
    // The bytes as stored, so that their count is the length announced.
    request.setRawHeader("Accept-Encoding", "identity");
    if (!fManager) fManager = std::make_unique<QNetworkAccessManager>();
    fReply = fManager->get(request);
    fConnected = false;
    fConnectTimer.start(fSettings.connectTimeout);
    QNetworkReply* reply = fReply;
    QObject::connect(reply, &QNetworkReply::requestSent, this, [this] { Connected(); });
    QObject::connect(reply, &QNetworkReply::metaDataChanged, this, [this] { Alive(); });
    QObject::connect(reply, &QNetworkReply::readyRead, this, [this] { Read(); });
    QObject::connect(reply, &QNetworkReply::sslErrors, this, [this](const QList<QSslError>& errors) {
      if (!errors.isEmpty() && fSslError.isEmpty()) fSslError = errors.first().errorString();
    });
    QObject::connect(reply, &QNetworkReply::redirected, this,
                     [this](const QUrl& target) { Redirected(target); });
    QObject::connect(reply, &QNetworkReply::finished, this, [this] { Finished(); });
  }

  void Connected() {
    fConnected = true;
    fConnectTimer.stop();
    fReadTimer.start(fSettings.readTimeout);
  }

  // Whatever comes from the server shows the connection made and alive.
  void Alive() {
    if (!fConnected) {
      Connected();
    } else {
      fReadTimer.start(fSettings.readTimeout);
    }
  }

  void Read() {
    if (fReply == nullptr) return;
    Alive();
    const QVariant length = fReply->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid()) fTotal = length.toLongLong();
    const QByteArray bytes = fReply->readAll();
    if (static_cast<int64_t>(fBuffer.size()) + bytes.size() > kMaxFileBytes) {
      Fail(Fr("fichier trop grand (plus de ") + std::to_string(kMaxFileBytes >> 20) + " Mo)");
      return;
    }
    fBuffer.append(bytes.constData(), static_cast<size_t>(bytes.size()));
    Report();
  }

  void Redirected(const QUrl& target) {
    if (fReply == nullptr) return;
    if (target.scheme().compare(QStringLiteral("https"), Qt::CaseInsensitive) == 0 &&
        !target.host().isEmpty()) {
      fUrl = target.toString();
      fConnectTimer.start(fSettings.connectTimeout);
      fReadTimer.stop();
      fConnected = false;
      emit fReply->redirectAllowed();
      return;
    }
    Fail(Fr("redirection refusée vers ") + Latin(target.toString()) +
         Fr(" (seule une adresse https:// est suivie)"));
  }

  void Finished() {
    QNetworkReply* reply = fReply;
    if (reply == nullptr) return;
    fConnectTimer.stop();
    fReadTimer.stop();
    if (reply->bytesAvailable() > 0) Read();
    if (fReply == nullptr) return;  // failed while reading the rest
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const QNetworkReply::NetworkError error = reply->error();
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    const int64_t received = static_cast<int64_t>(fBuffer.size());
    if (status.isValid() && status.toInt() != 200) {
      const QString phrase = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
      Fail(Fr("le serveur a répondu ") + std::to_string(status.toInt()) +
           (phrase.isEmpty() ? std::string() : " (" + Latin(phrase) + ")"));
      return;
    }
    if (length.isValid() && received < length.toLongLong()) {
      Fail(Fr("fichier incomplet : ") + std::to_string(received) + Fr(" octets reçus sur ") +
           std::to_string(length.toLongLong()) + Fr(" annoncés"));
      return;
    }
    if (error != QNetworkReply::NoError) {
      Fail(NetworkFailure(error, reply->errorString()));
      return;
    }
    if (!status.isValid()) {
      Fail(Fr("réponse du serveur illisible"));
      return;
    }
    DropReply();
    FileArrived();
  }

  std::string NetworkFailure(QNetworkReply::NetworkError error, const QString& text) const {
    const std::string host = Latin(QUrl(fUrl).host());
    switch (error) {
      case QNetworkReply::SslHandshakeFailedError:
        return Fr("certificat du serveur ") + host + Fr(" non reconnu (") +
               Latin(fSslError.isEmpty() ? text : fSslError) + ")";
      case QNetworkReply::ConnectionRefusedError:
        return Fr("connexion refusée par le serveur ") + host;
      case QNetworkReply::HostNotFoundError:
        return Fr("serveur introuvable : ") + host;
      case QNetworkReply::TooManyRedirectsError:
        return Fr("trop de redirections (plus de ") + std::to_string(kMaxRedirects) + ")";
      case QNetworkReply::RemoteHostClosedError:
        return Fr("le serveur a coupé la connexion (") + std::to_string(fBuffer.size()) +
               Fr(" octets reçus)");
      default:
        return Fr("échec du téléchargement (") + Latin(text) + ")";
    }
  }

  // Ends the run with the current file's failure.
  void Fail(const std::string& why) {
    Finish({TFetchOutcome::TStatus::kFailed, fNames[fIndex] + " : " + why, {}});
  }

  void DropReply() {
    fConnectTimer.stop();
    fReadTimer.stop();
    if (fReply == nullptr) return;
    QNetworkReply* reply = fReply;
    fReply = nullptr;
    QObject::disconnect(reply, nullptr, this, nullptr);
    reply->abort();
    reply->deleteLater();
  }

  // The outcome goes out from the event loop, once; the run is idle from now.
  void Finish(TFetchOutcome outcome) {
    if (fFinishing) return;
    fFinishing = true;
    DropReply();
    QMetaObject::invokeMethod(
        this,
        [this, outcome = std::move(outcome)]() mutable {
          fRunning = false;
          TDoneCallback done = std::move(fDone);
          // May destroy the fetcher, and this run with it: the last thing done.
          if (done) done(std::move(outcome));
        },
        Qt::QueuedConnection);
  }

  const TUpdateSettings fSettings;
  const std::vector<std::string> fNames;
  TProgressCallback fProgress;
  TDoneCallback fDone;
  bool fRunning = true;
  bool fFinishing = false;
  size_t fIndex = 0;
  std::string fBuffer;
  int64_t fTotal = -1;
  std::map<std::string, std::string> fFiles;
  QSslConfiguration fSsl;
  QString fUrl;
  QString fSslError;
  bool fConnected = false;
  QTimer fConnectTimer;
  QTimer fReadTimer;
  std::unique_ptr<QNetworkAccessManager> fManager;
  QNetworkReply* fReply = nullptr;
};

TFetcher::TFetcher() = default;

TFetcher::~TFetcher() = default;

void TFetcher::Start(const TUpdateSettings& settings, std::vector<std::string> names,
                     TProgressCallback progress, TDoneCallback done) {
  // The run before may be the one whose callback is calling: it goes once
  // back in the event loop, calling nothing more.
  if (fRun) fRun.release()->Abandon();
  fRun = std::make_unique<TRun>(settings, std::move(names), std::move(progress), std::move(done));
  fRun->Begin();
}

void TFetcher::Cancel() {
  if (fRun) fRun->Cancel();
}

bool TFetcher::IsRunning() const {
  return fRun && fRun->IsRunning();
}

}  // namespace quillor::update
