// Whole submissions to a real SMTP server on a loopback port, in each of its
// modes, with the stored message compared byte for byte.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "mail/MailErrors.h"
#include "mail/SmtpClient.h"
#include "tests/support/OrderHeaders.h"
#include "tests/support/SmtpServerProcess.h"

namespace quillor {
namespace {

using test::MaskDate;
using test::OrderHeaders;
using test::SmtpServerProcess;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

constexpr std::time_t kOrderMoment = 1767600245;  // 2026-01-05 08:04:05 UTC

TMailMessage OrderMessage() {
  TMailMessage message;
  message.From.Address = SmtpServerProcess::kUser;
  message.Recipients.SetText("commandes@quillor.test");
  message.Subject = "Commande CD";
  message.SetDate(kOrderMoment);
  message.Body = {"Pharmacie du Centre",
                  "12 rue de la Paix",
                  "",
                  "3  3400930000001  ASPIRINE 500",
                  ".5 bo\xEEtes",
                  ".",
                  "fin"};
  return message;
}

// What the server must store for OrderMessage(): the header block with the
// date masked, then the body with the stuffing dots removed again.
void ExpectStoredOrder(const SmtpServerProcess::StoredMessage& stored) {
  EXPECT_EQ(MaskDate(stored.data), OrderHeaders("commandes@quillor.test", "commandes@quillor.test") +
                                       "Pharmacie du Centre\r\n"
                                       "12 rue de la Paix\r\n"
                                       "\r\n"
                                       "3  3400930000001  ASPIRINE 500\r\n"
                                       ".5 bo\xEEtes\r\n"
                                       ".\r\n"
                                       "fin\r\n");
  EXPECT_EQ(stored.mailFrom, SmtpServerProcess::kUser);
  EXPECT_THAT(stored.rcptTos, ElementsAre("commandes@quillor.test"));
}

// Sends as the order window does: LOGIN only when the server offers it.
void SendOrder(TSmtpClient& client, TMailMessage& message) {
  client.OpenConnection();
  client.AuthenticationType = atNone;
  if (client.AnnouncedSchemes.Contains("LOGIN")) {
    client.AuthenticationType = atLogin;
    client.SignIn();
  }
  client.SubmitMessage(message);
  client.CloseConnection();
}

TSmtpClient& Point(TSmtpClient& client, const SmtpServerProcess& server) {
  client.Host = "127.0.0.1";
  client.Port = server.Port();
  client.UserId = SmtpServerProcess::kUser;
  client.Password = SmtpServerProcess::kPassword;
  client.ReplyTimeout = std::chrono::milliseconds{10000};
  return client;
}

TEST(RealServerTest, PlainSubmissionIsStoredByteForByte) {
  SmtpServerProcess server(SmtpServerProcess::Mode::kPlain);
  TSmtpClient client;
  TMailMessage message = OrderMessage();
  SendOrder(Point(client, server), message);
  EXPECT_FALSE(client.SignedIn);
  const auto stored = server.WaitForMessages(1);
  ASSERT_EQ(stored.size(), 1u) << server.ServerLog();
  ExpectStoredOrder(stored[0]);
}

TEST(RealServerTest, TheDataCopyIsByteForByteWhatTheServerStored) {
  for (const SmtpServerProcess::Mode mode :
       {SmtpServerProcess::Mode::kPlain, SmtpServerProcess::Mode::kStartTls}) {
    SmtpServerProcess server(mode);
    TSmtpClient client;
    Point(client, server).TlsCaFile = server.CaFile();
    TMailMessage message = OrderMessage();
    TDataCopy copy;
    client.OpenConnection();
    if (client.AnnouncedSchemes.Contains("LOGIN")) {
      client.AuthenticationType = atLogin;
      client.SignIn();
    }
    client.SubmitMessage(message, &copy);
    client.CloseConnection();
    EXPECT_TRUE(copy.Accepted);
    const auto stored = server.WaitForMessages(1);
    ASSERT_EQ(stored.size(), 1u) << server.ServerLog();
    EXPECT_EQ(copy.Bytes(), stored[0].data);
  }
}

TEST(RealServerTest, LoginOverPlainTextGoesOnlyToATrustedRelay) {
  SmtpServerProcess server(SmtpServerProcess::Mode::kLogin);
  TSmtpClient client;
  Point(client, server);
  TMailMessage message = OrderMessage();
  // By default the password never crosses a connection STARTTLS did not secure.
  EXPECT_THROW(SendOrder(client, message), EInsecureSignIn);
  client.CloseConnection();
  EXPECT_TRUE(server.WaitForMessages(1, std::chrono::milliseconds{300}).empty());

  client.AllowPlainSignIn = true;
  message = OrderMessage();
  SendOrder(client, message);
  const auto stored = server.WaitForMessages(1);
  ASSERT_EQ(stored.size(), 1u) << server.ServerLog();
  ExpectStoredOrder(stored[0]);
}

TEST(RealServerTest, LoginWithAWrongPasswordIsRefused) {
  SmtpServerProcess server(SmtpServerProcess::Mode::kStartTls);
  TSmtpClient client;
  Point(client, server).Password = "wrong";
  client.TlsCaFile = server.CaFile();
  TMailMessage message = OrderMessage();
  try {
    SendOrder(client, message);
    FAIL() << "a wrong password was accepted";
  } catch (const EProtocolReplyError& error) {
    EXPECT_EQ(error.Code(), 535);
  }
  EXPECT_FALSE(client.SignedIn);
  client.CloseConnection();
  EXPECT_TRUE(server.WaitForMessages(1, std::chrono::milliseconds{300}).empty());
}

TEST(RealServerTest, StartTlsSubmissionVerifiesTheServerAndAuthenticatesInside) {
  SmtpServerProcess server(SmtpServerProcess::Mode::kStartTls);
  TSmtpClient client;
  Point(client, server).TlsCaFile = server.CaFile();
  client.OpenConnection();
  // This server announces AUTH only once TLS is on, so seeing LOGIN proves the schemes were read afresh.
  EXPECT_TRUE(client.AnnouncedSchemes.Contains("LOGIN"));
  client.CloseConnection();

  TMailMessage message = OrderMessage();
  SendOrder(client, message);
  const auto stored = server.WaitForMessages(1);
  ASSERT_EQ(stored.size(), 1u) << server.ServerLog();
  ExpectStoredOrder(stored[0]);
}

TEST(RealServerTest, StartTlsWithAnUntrustedCertificateFailsAndSendsNothing) {
  SmtpServerProcess server(SmtpServerProcess::Mode::kStartTls);
  TSmtpClient client;
  Point(client, server);  // the system's CAs do not know the test CA
  try {
    client.OpenConnection();
    FAIL() << "an untrusted certificate was accepted";
  } catch (const ESocketError& error) {
    EXPECT_THAT(error.what(), HasSubstr("TLS handshake failed"));
  }
  EXPECT_FALSE(client.IsOpen());
  EXPECT_FALSE(client.SignedIn);
}

TEST(RealServerTest, StartTlsChecksTheHostName) {
  // A certificate from the trusted CA, but for another name than the one connected to.
  SmtpServerProcess server(SmtpServerProcess::Mode::kStartTls, "mail.quillor.test");
  TSmtpClient client;
  Point(client, server).TlsCaFile = server.CaFile();
  try {
    client.OpenConnection();
    FAIL() << "a certificate for another name was accepted";
  } catch (const ESocketError& error) {
    EXPECT_THAT(error.what(), HasSubstr("TLS handshake failed"));
  }
  EXPECT_FALSE(client.IsOpen());
}

}  // namespace
}  // namespace quillor
