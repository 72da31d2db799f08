#include "app/SendingSettings.h"

namespace quillor {

TSendingSettings DefaultSendingSettings() {
  TSendingSettings settings;
  settings.host = QUILLOR_SMTP_HOST;
  settings.port = QUILLOR_SMTP_PORT;
  settings.sender = QUILLOR_SMTP_SENDER;
  settings.password = QUILLOR_SMTP_PASSWORD;
  settings.orderMailbox = QUILLOR_ORDER_MAILBOX;
  settings.connectTimeoutMs = QUILLOR_SMTP_CONNECT_TIMEOUT_MS;
  settings.replyTimeoutMs = QUILLOR_SMTP_REPLY_TIMEOUT_MS;
  settings.allowPlainSignIn = QUILLOR_SMTP_PLAIN_SIGN_IN;
  return settings;
}

}  // namespace quillor
