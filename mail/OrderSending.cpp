#include "mail/OrderSending.h"

#include <cerrno>
#include <utility>

#include "mail/MailErrors.h"

namespace quillor {

namespace {

// One line for the user: control characters (the CR LF inside a socket
// error's text) become spaces.
std::string OneLine(const std::string& text) {
  std::string line;
  for (const char c : text) {
    const bool control = static_cast<unsigned char>(c) < 0x20;
    if (control && (line.empty() || line.back() == ' ')) continue;
    line += control ? ' ' : c;
  }
  while (!line.empty() && line.back() == ' ') line.pop_back();
  return line;
}

// What the system said, without the "Socket Error # n" that opens it.
std::string Description(const ESocketError& error) {
  const std::string text = error.what();
  const size_t lineBreak = text.find("\r\n");
  return OneLine(lineBreak == std::string::npos ? text : text.substr(lineBreak + 2));
}

bool IsRefusal(int code) {
  return code >= 400 && code < 600;
}

// Whether the final "." may have reached the server, which may then have
// stored the order: the session failed at or after it.
bool DotWritten(TSmtpStage stage) {
  return stage == TSmtpStage::kEndingData || stage == TSmtpStage::kAccepted;
}

TSendingResult ResultOf(const std::exception& error, TSmtpStage stage) {
  const bool cancelled = dynamic_cast<const ESendingCancelled*>(&error) != nullptr;
  if (!DotWritten(stage)) return cancelled ? TSendingResult::kCancelled : TSendingResult::kNotSent;
  // A refusal of the data is an answer: the server did not store it.
  if (const auto* reply = dynamic_cast<const EProtocolReplyError*>(&error); reply && IsRefusal(reply->Code()))
    return TSendingResult::kNotSent;
  return TSendingResult::kUnknown;
}

}  // namespace

std::string SendingFailureReason(const std::exception& error, TSmtpStage stage) {
  const bool afterDot = DotWritten(stage);
  if (dynamic_cast<const ESendingCancelled*>(&error) != nullptr)
    return afterDot ? "envoi interrompu par Annuler avant la r\xE9ponse du serveur" : "envoi annul\xE9";
  if (dynamic_cast<const EInsecureSignIn*>(&error) != nullptr)
    return "pas de connexion s\xE9"
           "curis\xE9"
           "e (le serveur n'offre pas STARTTLS)";
  if (const auto* tls = dynamic_cast<const ETlsError*>(&error))
    return "pas de connexion s\xE9"
           "curis\xE9"
           "e (" +
           Description(*tls) + ")";
  if (const auto* reply = dynamic_cast<const EProtocolReplyError*>(&error)) {
    const std::string line = OneLine(reply->what());
    if (reply->Code() == 0 || (afterDot && !IsRefusal(reply->Code())))
      return "r\xE9ponse incompr\xE9hensible du serveur (" + line + ")";
    if (stage == TSmtpStage::kSecuring)
      return "pas de connexion s\xE9"
             "curis\xE9"
             "e : STARTTLS refus\xE9 (" +
             line + ")";
    if (stage == TSmtpStage::kSigningIn)
      return "authentification refus\xE9"
             "e (" +
             line + ")";
    return "refus\xE9"
           "e par le serveur (" +
           line + ")";
  }
  if (const auto* socket = dynamic_cast<const ESocketError*>(&error)) {
    if (socket->Number() == ETIMEDOUT) {
      if (stage == TSmtpStage::kConnecting)
        return "d\xE9lai d\xE9pass\xE9 (pas de r\xE9ponse \xE0 la connexion)";
      return afterDot ? "pas de r\xE9ponse du serveur dans le d\xE9lai"
                      : "d\xE9lai d\xE9pass\xE9 (le serveur ne r\xE9pond plus)";
    }
    if (stage == TSmtpStage::kConnecting) return "serveur injoignable (" + Description(*socket) + ")";
    return (afterDot ? "connexion coup\xE9"
                       "e avant la r\xE9ponse du serveur ("
                     : "connexion coup\xE9"
                       "e (") +
           Description(*socket) + ")";
  }
  if (dynamic_cast<const EConnClosedGracefully*>(&error) != nullptr)
    return afterDot ? "connexion coup\xE9"
                      "e par le serveur avant sa r\xE9ponse"
                    : "connexion coup\xE9"
                      "e par le serveur";
  return "erreur : " + OneLine(error.what());
}

TSendingOutcome TOrderSending::Run(TMailMessage& message) {
  TSendingOutcome outcome;
  fClient.Cancellation.Reset();
  fClient.AuthenticationType = atNone;
  std::function<void(TSmtpStage)> previous = std::exchange(fClient.OnStage, [this](TSmtpStage stage) {
    if (OnStage) OnStage(stage);
  });
  try {
    fClient.OpenConnection();
    if (fClient.AnnouncedSchemes.Contains("LOGIN")) {
      fClient.AuthenticationType = atLogin;
      fClient.SignIn();
    }
    fClient.SubmitMessage(message, &outcome.copy);
    outcome.result = TSendingResult::kSent;
  } catch (const std::exception& error) {
    outcome.result = ResultOf(error, fClient.Stage());
    if (outcome.result != TSendingResult::kCancelled)
      outcome.reason = SendingFailureReason(error, fClient.Stage());
  } catch (...) {
    outcome.result = DotWritten(fClient.Stage()) ? TSendingResult::kUnknown : TSendingResult::kNotSent;
    outcome.reason = "erreur inconnue";
  }
  // "Quit" and the close come before anyone is told: a cancelled session is
  // closed already, without a word to the server.
  fClient.CloseConnection();
  fClient.OnStage = std::move(previous);
  return outcome;
}

}  // namespace quillor
