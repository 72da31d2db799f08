#include "SendingSettings.h"

namespace quillor {

TSendingSettings DefaultSendingSettings() {
  TSendingSettings settings;
  settings.host = QUILLOR_SMTP_HOST;
  settings.port = QUILLOR_SMTP_PORT;
  settings.sender = QUILLOR_SMTP_SENDER;
  settings.password = QUILLOR_SMTP_PASSWORD;
  settings.orderMailbox = QUILLOR_ORDER_MAILBOX;
  return settings;
}

}  // namespace quillor
