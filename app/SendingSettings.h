// The fixed values with which an order is sent, and the window's other
// replaceable parts. The defaults are settings of the build (CMake cache
// variables QUILLOR_SMTP_HOST, QUILLOR_SMTP_PORT, QUILLOR_SMTP_SENDER,
// QUILLOR_SMTP_PASSWORD, QUILLOR_ORDER_MAILBOX, QUILLOR_SMTP_CONNECT_TIMEOUT_MS,
// QUILLOR_SMTP_REPLY_TIMEOUT_MS, QUILLOR_SMTP_PLAIN_SIGN_IN); tests hand the
// window their own values to point it at a local server. The user never
// types them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "update/UpdateSource.h"

namespace quillor {

struct TSendingSettings {
  std::string host;
  uint16_t port = 587;
  std::string sender;  // SMTP user name and the From address
  std::string password;
  std::string orderMailbox;  // the one recipient, and the mailto: target
  std::string subject = "Commande CD";
  std::string mailtoSubject = "Commande";
  // Extra certificate authority trusted for STARTTLS (PEM file); empty: the
  // system's trusted authorities only.
  std::string caCertificateFile;
  // Waits on the network, in milliseconds; 0 keeps the client's own defaults
  // (20 s to connect, 60 s for each reply).
  int32_t connectTimeoutMs = 0;
  int32_t replyTimeoutMs = 0;
  // Whether the password may go over a connection that STARTTLS did not
  // secure: only for a trusted relay on the pharmacy's own machine or
  // network. Off, a server that offers no STARTTLS gets no password.
  bool allowPlainSignIn = false;
};

// The values the program was built with.
TSendingSettings DefaultSendingSettings();

// Hands a URL to the desktop (the mailto: fallback); false when nothing
// took it (no mail program). The default opens it with
// QDesktopServices::openUrl.
using TUrlOpener = std::function<bool(const std::string& url)>;

struct TQuillorOptions {
  TSendingSettings sending = DefaultSendingSettings();
  TUrlOpener openUrl;  // empty: the desktop's own opener
  // Where catalogue updates download from (the build's address by default).
  update::TUpdateSettings update = update::DefaultUpdateSettings();
  // Whether the availability is fetched at start-up when it is older than a
  // week (unless the user turned that off, UpdatePreferences.h). Only the
  // program itself asks for it: a window made for a test or a benchmark
  // never reaches the network by itself.
  bool refreshAvailability = false;
};

}  // namespace quillor
