// A real SMTP server (Debian's python3-aiosmtpd, run by tests/support/
// smtp_server.py with /usr/bin/python3) started on a free 127.0.0.1 port for
// the life of this object, storing every message it accepts.
//
// Modes:
//   kPlain     no authentication;
//   kLogin     AUTH LOGIN over plain text, required; only kUser/kPassword pass;
//   kStartTls  STARTTLS required before anything else, with a server
//              certificate for 127.0.0.1 (or another name) signed by a CA that the fixture makes
//              with the openssl command into its temporary folder (CaFile()
//              gives it to the client); AUTH LOGIN is then required and is
//              announced only after TLS.
//
// Usage:
//   SmtpServerProcess server(SmtpServerProcess::Mode::kLogin);
//   client.Host = "127.0.0.1"; client.Port = server.Port();
//   client.UserId = SmtpServerProcess::kUser; client.Password = ...kPassword;
//   ... send ...
//   auto messages = server.WaitForMessages(1);   // bounded wait
//   messages[0].data   // exactly the bytes the server stored (unstuffed, CR LF)
//
// Behaviour, for tests that act while a sending waits on the server:
//   holdMail     the reply to MAIL FROM waits until Release(); IsHolding()
//                tells when the server got there;
//   refuseData   the end of the data is answered 554 and nothing is stored.
// Events() lists what the server saw: "connect", "held", "quit", "lost".
//
// The constructor throws std::runtime_error when the server does not start
// within kStartTimeout (its stderr is in the message). The destructor ends the
// process it started (SIGTERM, then SIGKILL) and removes its files. Should a
// test crash, the server ends by itself when it finds its parent gone (within
// a second), and after ten minutes in any case.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"

namespace quillor::test {

class SmtpServerProcess {
 public:
  enum class Mode { kPlain, kLogin, kStartTls };

  // The credentials the login and TLS modes accept.
  static constexpr const char* kUser = "commandes@quillor.test";
  static constexpr const char* kPassword = "TorvaLindo52";
  static constexpr std::chrono::milliseconds kStartTimeout{15000};

  struct Behaviour {
    bool holdMail = false;
    bool refuseData = false;
  };

  struct StoredMessage {
    std::string mailFrom;
    std::vector<std::string> rcptTos;
    std::string data;  // the message as stored: headers, empty line, body; CR LF line ends
  };

  // `certificateName` is the one name the kStartTls server certificate
  // carries (as an IP address or a DNS name); another name lets a test
  // check that the client verifies the host name.
  explicit SmtpServerProcess(Mode mode, const std::string& certificateName = "127.0.0.1");
  SmtpServerProcess(Mode mode, Behaviour behaviour);
  ~SmtpServerProcess();
  SmtpServerProcess(const SmtpServerProcess&) = delete;
  SmtpServerProcess& operator=(const SmtpServerProcess&) = delete;

  int Port() const { return port_; }
  // The PEM file of the CA that signed the server certificate (kStartTls),
  // else "".
  std::string CaFile() const;
  // The messages stored so far, oldest first, once at least `count` are
  // there or `timeout` passed (then fewer are returned).
  std::vector<StoredMessage> WaitForMessages(size_t count,
                                             std::chrono::milliseconds timeout = std::chrono::milliseconds{
                                                 10000}) const;
  // What the server wrote to stderr so far (for failure messages).
  std::string ServerLog() const;

  // The events so far, in order.
  std::vector<std::string> Events() const;
  // Whether `event` is among the events once it is, or `timeout` passed.
  bool WaitForEvent(const std::string& event,
                    std::chrono::milliseconds timeout = std::chrono::milliseconds{10000}) const;
  // Whether a MAIL FROM is being held (Behaviour::holdMail); no wait.
  bool IsHolding() const;
  // Lets held and later MAIL FROM commands go on.
  void Release() const;

 private:
  std::vector<StoredMessage> StoredMessages() const;
  void Start(const std::string& certificateName, Behaviour behaviour);
  void MakeCertificates(const std::string& certificateName);
  void Stop();

  std::unique_ptr<TempDir> dir_;
  Mode mode_;
  pid_t pid_ = -1;
  int port_ = 0;
};

}  // namespace quillor::test
