// A scripted SMTP server for exact dialogues: a thread with a listening
// socket on 127.0.0.1 (an ephemeral port) that accepts one connection and
// plays a list of steps — canned replies, client lines it expects, a close —
// while recording every line the client sends.
//
// Usage, step by step:
//   ScriptedSmtpServer server;
//   server.Reply("220 ready").Expect("ehlo " + TSmtpClient::LocalHostName())
//         .Reply("500 what?").Expect("Helo " + ...).Reply("250 hello") ...;
//   server.Start();
// or, for a whole accepted order (what the order window sends):
//   server.AcceptOrder(TSmtpClient::LocalHostName(), "from@x", "to@y", "user", "password");
//   server.Start();
//   client.Port = server.Port(); client.Host = "127.0.0.1"; ...
//   client.CloseConnection();
//   server.WaitDone();              // bounded; then read what it saw:
//   EXPECT_THAT(server.Mismatches(), IsEmpty());
//   server.Received();              // every client line, CR LF removed
//
// After the last step the server keeps reading (and recording) until the
// client closes, so the "Quit" after a dialogue is seen too. A script that
// stops sending is a silent server. Every wait inside is bounded by
// kStepTimeout, so a test that goes wrong fails instead of hanging.
// Build the script before Start(); the accessors are safe from any thread.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace quillor::test {

class ScriptedSmtpServer {
 public:
  static constexpr std::chrono::milliseconds kStepTimeout{10000};

  ScriptedSmtpServer();  // binds and listens; throws std::runtime_error
  ~ScriptedSmtpServer();
  ScriptedSmtpServer(const ScriptedSmtpServer&) = delete;
  ScriptedSmtpServer& operator=(const ScriptedSmtpServer&) = delete;

  int Port() const { return port_; }

  // Sends `line` followed by CR LF.
  ScriptedSmtpServer& Reply(const std::string& line);
  // Sends `bytes` exactly (for broken lines, bare LF, half lines).
  ScriptedSmtpServer& SendRaw(const std::string& bytes);
  // Reads one client line; a different line, or none before the client
  // closes, is recorded as a mismatch.
  ScriptedSmtpServer& Expect(const std::string& line);
  // Reads one client line, whatever it is; none is a mismatch.
  ScriptedSmtpServer& ExpectAny();
  // Reads client lines up to and including the lone "." that ends the data;
  // a close before it is a mismatch.
  ScriptedSmtpServer& ReadData();
  // Stays silent for `pause` (the client's lines are still read and recorded).
  ScriptedSmtpServer& Pause(std::chrono::milliseconds pause);
  // Closes the connection (the client sees the peer close).
  ScriptedSmtpServer& Close();

  // Appends the whole exchange of an order that is accepted: greeting, the
  // client's "ehlo <localHostName>" answered with an EHLO reply that offers
  // AUTH LOGIN when `user` is not empty (and then the LOGIN steps with the
  // Base64 user and password are expected), "Rset", "Mail from:<from>", one
  // "RCPT to:<to>", "Data", the data up to ".", and "Quit".
  ScriptedSmtpServer& AcceptOrder(const std::string& localHostName, const std::string& from,
                                  const std::string& to, const std::string& user = "",
                                  const std::string& password = "");

  // Accepts one connection on a thread and plays the script.
  void Start();
  // Waits until the script ended and the client closed (or kStepTimeout
  // passed in a wait); returns false when the thread is still busy after
  // `timeout`.
  bool WaitDone(std::chrono::milliseconds timeout = std::chrono::milliseconds{20000});

  // Every line the client sent, in order, without its CR LF.
  std::vector<std::string> Received() const;
  // Every byte the client sent (to check line endings and dot-stuffing).
  std::string ReceivedBytes() const;
  // The lines between the "Data" command's reply and the final "." (exclusive).
  std::vector<std::string> DataLines() const;
  // "expected <x>, got <y>" per failed Expect, and timeouts of the script.
  std::vector<std::string> Mismatches() const;

 private:
  struct Step {
    enum Kind { kSend, kExpect, kExpectAny, kReadData, kPause, kClose } kind;
    std::string text;
    std::chrono::milliseconds pause{0};
  };

  void Run();
  bool ReadLine(int fd, std::string& line);  // false on close, time-out or stop
  void Note(const std::string& mismatch);

  int listenFd_ = -1;
  int port_ = 0;
  std::vector<Step> script_;
  std::thread thread_;
  std::string pending_;  // bytes received but not yet split into lines (server thread only)

  mutable std::mutex mutex_;
  std::condition_variable doneChanged_;
  bool done_ = false;
  bool stop_ = false;
  std::string bytes_;
  std::vector<std::string> lines_;
  std::vector<std::string> dataLines_;
  std::vector<std::string> mismatches_;
};

}  // namespace quillor::test
