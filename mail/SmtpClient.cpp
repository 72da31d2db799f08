#include "mail/SmtpClient.h"

#include <QByteArray>
#include <QHostInfo>
#include <algorithm>
#include <cctype>

#include "mail/MailErrors.h"

namespace quillor {
namespace {

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string Base64(const std::string& text) {
  return QByteArray(text.data(), static_cast<qsizetype>(text.size())).toBase64().toStdString();
}

}  // namespace

void TSchemeList::Add(const std::string& scheme) {
  if (!Contains(scheme)) schemes_.push_back(scheme);
}

bool TSchemeList::Contains(const std::string& scheme) const {
  const std::string wanted = Upper(scheme);
  return std::any_of(schemes_.begin(), schemes_.end(),
                     [&](const std::string& s) { return Upper(s) == wanted; });
}

std::string TSmtpClient::LocalHostName() {
  std::string name = QHostInfo::localHostName().toStdString();
  if (name.size() > kMaxLocalHostNameLength) name.resize(kMaxLocalHostNameLength);
  return name;
}

void TSmtpClient::SetStage(TSmtpStage stage) {
  stage_ = stage;
  if (OnStage) OnStage(stage);
}

void TSmtpClient::OpenConnection() {
  if (IsOpen()) throw EAlreadyConnected();
  SignedIn = false;
  secure_ = false;
  SetStage(TSmtpStage::kConnecting);
  OpenStream();
  try {
    SetStage(TSmtpStage::kGreeting);
    ReadReply({220});
    if (Greet()) {
      SetStage(TSmtpStage::kSecuring);
      SendCommand("STARTTLS", 220);
      Stream().StartTls(Host, TlsCaFile, ReplyDeadline());
      secure_ = true;
      SetStage(TSmtpStage::kGreeting);
      Greet();
    }
  } catch (...) {
    CloseConnection();
    throw;
  }
}

bool TSmtpClient::Greet() {
  AnnouncedSchemes.Clear();
  const std::string hostName = LocalHostName();
  if (SendCommand("ehlo " + hostName, -1) == 250) {
    CollectAuthSchemes();
    return ReplyOffersStartTls();
  }
  SendCommand("Helo " + hostName, 250);
  return false;
}

void TSmtpClient::CollectAuthSchemes() {
  for (size_t i = 1; i < ReplyLines.size(); ++i) {
    const std::string line = Upper(ReplyLines[i]);
    if (line.find("AUTH") != 4 || line.size() < 9 || (line[8] != ' ' && line[8] != '=')) continue;
    std::string rest = line.substr(9);
    std::replace(rest.begin(), rest.end(), '=', ' ');
    size_t start = 0;
    for (;;) {
      const size_t space = rest.find(' ', start);
      AnnouncedSchemes.Add(
          rest.substr(start, space == std::string::npos ? std::string::npos : space - start));
      if (space == std::string::npos) break;
      start = space + 1;
    }
  }
}

bool TSmtpClient::ReplyOffersStartTls() const {
  for (size_t i = 1; i < ReplyLines.size(); ++i) {
    const std::string line = Upper(ReplyLines[i]);
    if (line.size() >= 12 && line.compare(4, 8, "STARTTLS") == 0 && (line.size() == 12 || line[12] == ' '))
      return true;
  }
  return false;
}

bool TSmtpClient::SignIn() {
  const bool authenticated = AuthenticationType == atLogin;
  if (authenticated) {
    SetStage(TSmtpStage::kSigningIn);
    // Anyone on the path could read a password sent in clear, and a server
    // that offers no STARTTLS may be one whose offer was stripped on the way.
    if (!secure_ && !AllowPlainSignIn) throw EInsecureSignIn();
    SendCommand("auth LOGIN", 334);
    SendCommand(Base64(UserId), 334);
    SendCommand(Base64(Password), 235);
  }
  SignedIn = true;
  return authenticated;
}

void TSmtpClient::SubmitMessage(TMailMessage& message, TDataCopy* copy) {
  RequireSingleLine(message.From.Address, "the sender address");
  for (const TEmailAddressList* list : {&message.Recipients, &message.CCList, &message.BccList})
    for (const TEmailAddressItem& item : list->Items())
      RequireSingleLine(item.Address, "a recipient address");
  RequireSingleLine(MailAgent, "the mail agent");
  CheckWritable(message);

  SetStage(TSmtpStage::kTransaction);
  SendCommand("Rset", -1);
  if (AuthenticationType == atLogin && AnnouncedSchemes.Contains("LOGIN") && !SignedIn) {
    SignIn();
    SetStage(TSmtpStage::kTransaction);
  }
  SendCommand("Mail from:<" + message.From.Address + ">", 250);
  for (const TEmailAddressList* list : {&message.Recipients, &message.CCList, &message.BccList})
    for (const TEmailAddressItem& item : list->Items()) SendCommand("RCPT to:<" + item.Address + ">", 250);
  SendCommand("Data", 354);
  message.ExtraHeaders.SetValue("X-Mailer", MailAgent);
  WriteMessage(message, copy);
  SetStage(TSmtpStage::kEndingData);
  SendCommand(".", 250);
  SetStage(TSmtpStage::kAccepted);
  if (copy != nullptr) copy->Accepted = true;
}

void TSmtpClient::CloseConnection() {
  try {
    if (IsOpen()) WriteLine("Quit");
  } catch (const std::exception&) {
    // The socket is closed below whatever happened to the farewell.
  }
  CloseStream();
  SignedIn = false;
  secure_ = false;
}

}  // namespace quillor
