#include "mail/MailErrors.h"

namespace quillor {

EProtocolReplyError::EProtocolReplyError(int code, const std::string& replyLine)
    : EMailError(replyLine), code_(code) {}

EConnClosedGracefully::EConnClosedGracefully() : EMailError("Connection Closed Gracefully.") {}

ESocketError::ESocketError(int number, const std::string& description)
    : EMailError("Socket Error # " + std::to_string(number) + "\r\n" + description), number_(number) {}

EInsecureSignIn::EInsecureSignIn()
    : EMailError("Sign-in refused: the connection is not secured by STARTTLS.") {}

EAlreadyConnected::EAlreadyConnected() : EMailError("Already connected.") {}

ESendingCancelled::ESendingCancelled() : EMailError("Envoi annul\xE9.") {}

EUnsafeMailText::EUnsafeMailText(const std::string& what)
    : EMailError("Line break refused in " + what + ".") {}

void RequireSingleLine(const std::string& text, const std::string& what) {
  if (text.find_first_of("\r\n") != std::string::npos) throw EUnsafeMailText(what);
}

}  // namespace quillor
