// The client side of an SMTP session as the order window drives it: connect,
// greet ("ehlo ", else "Helo "), switch to TLS when the server offers
// STARTTLS, collect the announced authentication schemes, optional LOGIN
// authentication (only over a connection that STARTTLS secured, unless
// AllowPlainSignIn), mail transactions, and the quit.
//
// On the caller's thread (the GUI thread): each call returns when its step is
// done, its waits running a local event loop (see TTcpConnection), each bounded
// by ConnectTimeout or ReplyTimeout and ended early by Cancellation. Failures
// are raised as the exceptions of MailErrors.h; the order window catches them
// and falls back to a mailto: link, except a cancellation. Owned by its user;
// owns its connection.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "mail/MessageClient.h"

namespace quillor {

enum TAuthenticationType { atNone, atLogin };

// The schemes a server announced: kept in order, duplicates (any case) ignored.
class TSchemeList {
 public:
  void Add(const std::string& scheme);
  bool Contains(const std::string& scheme) const;
  void Clear() { schemes_.clear(); }
  int Count() const { return static_cast<int>(schemes_.size()); }
  const std::vector<std::string>& Items() const { return schemes_; }

 private:
  std::vector<std::string> schemes_;
};

// The step a session is at, set as each begins: what a failure interrupted,
// and what the order sending shows meanwhile.
enum class TSmtpStage {
  kClosed,       // nothing under way yet
  kConnecting,   // the TCP connection
  kGreeting,     // the greeting, ehlo or Helo
  kSecuring,     // STARTTLS and the TLS handshake
  kSigningIn,    // auth LOGIN, the user name, the password
  kTransaction,  // Rset, Mail from, RCPT to, Data and the message's lines
  kEndingData,   // the final "." is being written or its reply awaited: from
                 // here on the server may have stored the message
  kAccepted,     // the server answered the final "." with 250
};

class TSmtpClient : public TMessageClient {
 public:
  // The most of the machine's host name that the greeting carries.
  static constexpr size_t kMaxLocalHostNameLength = 250;

  TSmtpClient() = default;
  TSmtpClient(const TSmtpClient&) = delete;
  TSmtpClient& operator=(const TSmtpClient&) = delete;

  std::string UserId;
  std::string Password;
  TAuthenticationType AuthenticationType = atNone;
  // The X-Mailer header of submitted messages; empty means none.
  std::string MailAgent;
  // PEM file of the CAs that a STARTTLS server certificate must chain to;
  // empty means the system's trusted CAs. Tests set their own CA.
  std::string TlsCaFile;

  // Whether SignIn may send the password over a connection that STARTTLS
  // did not secure. Off: only a trusted local relay justifies it.
  bool AllowPlainSignIn = false;

  // Filled by OpenConnection from the (last) EHLO reply.
  TSchemeList AnnouncedSchemes;
  bool SignedIn = false;

  // Told of each stage as it begins (may be empty). Must not throw.
  std::function<void(TSmtpStage)> OnStage;
  // The last stage begun since OpenConnection; kept after a failure and
  // after CloseConnection, so that the caller can tell what failed.
  TSmtpStage Stage() const { return stage_; }
  // Whether STARTTLS secured the connection now open.
  bool IsSecure() const { return secure_; }

  // The machine's host name as the greeting sends it.
  static std::string LocalHostName();

  // Connects to Host:Port, reads the 220 greeting, sends "ehlo <host name>"
  // (any code; on other than 250, "Helo <host name>" expecting 250) and
  // collects AnnouncedSchemes. When the EHLO reply lists STARTTLS, sends
  // "STARTTLS" (220), upgrades to TLS verifying the certificate against
  // TlsCaFile or the system CAs and the name Host, then greets and collects
  // the schemes afresh.
  // Throws EAlreadyConnected when open, ESocketError when connecting or the
  // TLS handshake fails, EProtocolReplyError/EConnClosedGracefully on a bad
  // or missing reply. After any failure the connection is closed.
  void OpenConnection();

  // With atLogin: "auth LOGIN" 334, Base64 user 334, Base64 password 235,
  // then true. With atNone: nothing sent, false. Either way SignedIn is set
  // afterwards, so SubmitMessage does not sign in again.
  // Throws EInsecureSignIn, with nothing sent, when atLogin is asked over a
  // connection that is not IsSecure() and AllowPlainSignIn is off;
  // EProtocolReplyError on a refused step (later steps not sent).
  bool SignIn();

  // One mail transaction: "Rset" (any code), SignIn when an authentication
  // is set, its scheme was announced and not yet signed in, "Mail from:<...>"
  // 250, "RCPT to:<...>" 250 for each To, Cc and Bcc address, "Data" 354,
  // X-Mailer set from MailAgent, the message, "." 250. When `copy` is given
  // it receives the message as written (TMessageClient::WriteMessage) and is
  // marked Accepted after the final 250.
  // Throws before anything is sent: EUnsafeMailText when the sender, a
  // recipient, a header or a body line holds a CR or LF, and the errors of
  // GenerateHeader (a message that cannot be rendered, such as one with a
  // single text part), so no transaction is left open at "Data". Later, the
  // errors of WriteMessage, and EProtocolReplyError on any refused step
  // (nothing after it is sent). The connection stays open after a failure;
  // the caller closes it.
  // REQUIRES: the connection is open.
  void SubmitMessage(TMailMessage& message, TDataCopy* copy = nullptr);

  // Sends "Quit" when open (no reply awaited; a failure is ignored), then
  // closes in every case and clears SignedIn and IsSecure(). Never throws.
  void CloseConnection();

 private:
  void SetStage(TSmtpStage stage);

  // Sends ehlo/Helo and fills AnnouncedSchemes; returns whether the EHLO
  // reply offered STARTTLS.
  bool Greet();
  void CollectAuthSchemes();
  bool ReplyOffersStartTls() const;

  TSmtpStage stage_ = TSmtpStage::kClosed;
  bool secure_ = false;
};

}  // namespace quillor
