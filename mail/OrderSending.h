// One order sent over an SMTP session, from the connection to the close, and
// what became of it, in one of four outcomes:
//   sent       the server answered the final "." with 250: it stored the
//              order;
//   not sent   the session failed before the final "." was written (or the
//              server refused the data outright): nothing can have been
//              stored, and the reason says why;
//   cancelled  the user stopped it (TSmtpClient's Cancellation) before the
//              final "." was written: nothing was stored;
//   unknown    the final "." was written and no answer came (a time-out, a
//              lost connection, a cancellation, an answer that makes no
//              sense): the server may have stored the order, and only the
//              supplier can tell. Never folded into either of the others.
//
// Below the window, on the caller's thread: the session's waits run a local
// event loop (TTcpConnection), so the caller's handlers keep running and one
// of them may cancel. The client and the message are the caller's.
#pragma once

#include <functional>
#include <string>

#include "mail/MailMessage.h"
#include "mail/MessageClient.h"
#include "mail/SmtpClient.h"

namespace quillor {

enum class TSendingResult { kSent, kNotSent, kCancelled, kUnknown };

struct TSendingOutcome {
  TSendingResult result = TSendingResult::kNotSent;
  // Why it was not sent, or why its fate is unknown: one line of French
  // (Windows-1252). Empty when sent or cancelled.
  std::string reason;
  // The message as written on the wire, dot-stuffing undone: whole once the
  // final "." went, and then exactly what the server stores.
  TDataCopy copy;
};

class TOrderSending {
 public:
  explicit TOrderSending(TSmtpClient& client) : fClient(client) {}
  TOrderSending(const TOrderSending&) = delete;
  TOrderSending& operator=(const TOrderSending&) = delete;

  // Told of each stage of the session as it begins (may be empty); the
  // progress window shows it. Must not throw.
  std::function<void(TSmtpStage)> OnStage;

  // Connects (with the client's Host, Port, time-outs and TLS settings),
  // signs in with LOGIN when the server offers it (which the client does only
  // over a connection STARTTLS secured, unless AllowPlainSignIn), submits
  // `message` and closes: with "Quit" unless the user cancelled, and always
  // before returning, so that a confirmation shown afterwards never holds a
  // connection open. Arms the client's Cancellation afresh first.
  // Never throws: every failure is an outcome.
  TSendingOutcome Run(TMailMessage& message);

 private:
  TSmtpClient& fClient;
};

// The reason told for a session that ended with `error` during `stage`, as
// Run tells it: for a stage before kEndingData why the order was not sent,
// from kEndingData on why its fate is unknown.
std::string SendingFailureReason(const std::exception& error, TSmtpStage stage);

}  // namespace quillor
