// An order's sending and its four outcomes, against scripted servers on
// 127.0.0.1 (and the real server where TLS is needed): sent only on the 250
// to the final ".", not sent with its reason for anything that failed
// before it, cancelled, and unknown when the final "." went and no answer
// came. Also what never goes on the wire: a password over a connection that
// STARTTLS did not secure.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "mail/MailErrors.h"
#include "mail/OrderSending.h"
#include "tests/support/RefusingPort.h"
#include "tests/support/ScriptedSmtpServer.h"
#include "tests/support/SmtpServerProcess.h"
#include "tests/support/WhenReady.h"

namespace quillor {
namespace {

using test::ScriptedSmtpServer;
using test::SmtpServerProcess;
using test::WhenReady;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::StartsWith;

constexpr const char* kUser = "pharmacie@quillor.test";
constexpr const char* kPassword = "TorvaLindo52";
// Base64 of kUser and kPassword: neither may ever cross a plain connection.
constexpr const char* kUserOnTheWire = "cGhhcm1hY2llQHF1aWxsb3IudGVzdA==";
constexpr const char* kPasswordOnTheWire = "VG9ydmFMaW5kbzUy";

bool HasLine(const ScriptedSmtpServer& server, const std::string& line) {
  const std::vector<std::string> lines = server.Received();
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class OrderSendingTest : public ::testing::Test {
 protected:
  OrderSendingTest() {
    client.Host = "127.0.0.1";
    client.Port = server.Port();
    client.UserId = kUser;
    client.Password = kPassword;
    client.ConnectTimeout = std::chrono::milliseconds{5000};
    client.ReplyTimeout = std::chrono::milliseconds{10000};
    message.From.Address = kUser;
    message.Recipients.SetText("commandes@quillor.test");
    message.Subject = "Commande CD";
    message.Body = {"Pharmacie du Centre", "", "3  3400930000001  ASPIRINE 500", ".5 bo\xEEtes"};
    sending.OnStage = [this](TSmtpStage stage) { stages.push_back(stage); };
  }

  // The server's part up to the data and its final ".", without LOGIN.
  ScriptedSmtpServer& UpToTheDot() {
    server.Reply("220 quillor-test ESMTP").Expect(ehlo).Reply("250-quillor-test").Reply("250 HELP");
    server.Expect("Rset").Reply("250 ok");
    server.Expect("Mail from:<" + std::string(kUser) + ">").Reply("250 ok");
    server.Expect("RCPT to:<commandes@quillor.test>").Reply("250 ok");
    return server.Expect("Data").Reply("354 go").ReadData();
  }
  TSendingOutcome Run() {
    server.Start();
    TSendingOutcome outcome = sending.Run(message);
    EXPECT_FALSE(client.IsOpen()) << "closed before the outcome is told";
    EXPECT_TRUE(server.WaitDone());
    return outcome;
  }
  // The message's lines as the server keeps them.
  std::vector<std::string> StoredLines() const {
    std::vector<std::string> lines = server.DataLines();
    for (std::string& line : lines)
      if (!line.empty() && line.front() == '.') line.erase(0, 1);
    return lines;
  }

  ScriptedSmtpServer server;
  TSmtpClient client;
  TMailMessage message;
  TOrderSending sending{client};
  std::vector<TSmtpStage> stages;
  const std::string ehlo = "ehlo " + TSmtpClient::LocalHostName();
};

// --- sent -------------------------------------------------------------------------------------

TEST_F(OrderSendingTest, SentOnlyOnTheTwoHundredFiftyThenQuitAndClosed) {
  UpToTheDot().Reply("250 2.0.0 queued").Expect("Quit");
  const TSendingOutcome outcome = Run();
  EXPECT_EQ(outcome.result, TSendingResult::kSent);
  EXPECT_EQ(outcome.reason, "");
  EXPECT_TRUE(outcome.copy.Accepted);
  EXPECT_EQ(outcome.copy.Lines, StoredLines());
  EXPECT_THAT(server.Mismatches(), IsEmpty());
  EXPECT_EQ(server.Received().back(), "Quit");
  EXPECT_THAT(stages, ElementsAre(TSmtpStage::kConnecting, TSmtpStage::kGreeting, TSmtpStage::kTransaction,
                                  TSmtpStage::kEndingData, TSmtpStage::kAccepted));
}

TEST_F(OrderSendingTest, ATwoHundredFiftyThenADroppedConnectionIsStillSent) {
  UpToTheDot().Reply("250 2.0.0 queued").Close();
  const TSendingOutcome outcome = Run();
  EXPECT_EQ(outcome.result, TSendingResult::kSent);
  EXPECT_EQ(outcome.copy.Lines, StoredLines());
}

// --- not sent: nothing can have been stored ------------------------------------------------

TEST(OrderSendingNotSent, ARefusedConnectionIsUnreachable) {
  test::RefusingPort refusing;
  TSmtpClient client;
  client.Host = "127.0.0.1";
  client.Port = refusing.Port();
  TMailMessage message;
  message.From.Address = kUser;
  message.Recipients.SetText("commandes@quillor.test");
  TOrderSending sending(client);
  const TSendingOutcome outcome = sending.Run(message);
  EXPECT_EQ(outcome.result, TSendingResult::kNotSent);
  EXPECT_THAT(outcome.reason, StartsWith("serveur injoignable ("));
  EXPECT_EQ(outcome.reason.find_first_of("\r\n"), std::string::npos) << "one line";
  EXPECT_FALSE(client.IsOpen());
}

TEST_F(OrderSendingTest, ABusyServerRefusesWithItsOwnLine) {
  server.Reply("421 4.3.2 service busy, try later");
  const TSendingOutcome outcome = Run();
  EXPECT_EQ(outcome.result, TSendingResult::kNotSent);
  EXPECT_EQ(outcome.reason,
            "refus\xE9"
            "e par le serveur (421 4.3.2 service busy, try later)");
}

TEST_F(OrderSendingTest, ARefusedRecipientOrARefusedDataIsNotSent) {
  UpToTheDot().Reply("554 5.7.1 message refused").Expect("Quit");
  const TSendingOutcome outcome = Run();
  EXPECT_EQ(outcome.result, TSendingResult::kNotSent) << "a refusal of the data is an answer";
  EXPECT_THAT(outcome.reason, HasSubstr("554 5.7.1 message refused"));
  EXPECT_FALSE(outcome.copy.Accepted);
}

TEST_F(OrderSendingTest, AConnectionLostBeforeTheDotIsNotSent) {
  server.Reply("220 quillor-test ESMTP").Expect(ehlo).Reply("250 HELP").Expect("Rset").Reply("250 ok");
  server.ExpectAny().Reply("250 ok").ExpectAny().Reply("250 ok").Expect("Data").Reply("354 go").Close();
  const TSendingOutcome outcome = Run();
  EXPECT_EQ(outcome.result, TSendingResult::kNotSent);
  EXPECT_THAT(outcome.reason, StartsWith("connexion coup\xE9"));
}

// --- no password in clear ----------------------------------------------------------------------

TEST_F(OrderSendingTest, AuthWithoutStartTlsGetsNoPasswordAndTheOrderIsNotSent) {
  server.Reply("220 quillor-test ESMTP").Expect(ehlo);
  server.Reply("250-quillor-test").Reply("250-AUTH LOGIN PLAIN").Reply("250 HELP");
  const TSendingOutcome outcome = Run();
  EXPECT_EQ(outcome.result, TSendingResult::kNotSent);
  EXPECT_THAT(outcome.reason, HasSubstr("pas de connexion s\xE9"
                                        "curis\xE9"
                                        "e"));
  EXPECT_THAT(server.Received(), ElementsAre(ehlo, "Quit"));
  EXPECT_THAT(server.ReceivedBytes(), Not(HasSubstr("auth")));
  EXPECT_THAT(server.ReceivedBytes(), Not(HasSubstr(kPasswordOnTheWire)));
  EXPECT_THAT(server.ReceivedBytes(), Not(HasSubstr(kUserOnTheWire)));
}

TEST_F(OrderSendingTest, AStrippedStartTlsOfferGetsNoPassword) {
  // What a machine in the middle leaves of "250-STARTTLS": the offer is
  // gone, the AUTH line is still there.
  server.Reply("220 quillor-test ESMTP").Expect(ehlo);
  server.Reply("250-quillor-test").Reply("250-XXXXXXXA").Reply("250-AUTH=LOGIN").Reply("250 HELP");
  const TSendingOutcome outcome = Run();
  EXPECT_EQ(outcome.result, TSendingResult::kNotSent);
  EXPECT_FALSE(client.IsSecure());
  EXPECT_THAT(server.Received(), ElementsAre(ehlo, "Quit"));
  EXPECT_THAT(server.ReceivedBytes(), Not(HasSubstr(kPasswordOnTheWire)));
}

TEST_F(OrderSendingTest, PlainSignInIsAllowedOnlyByTheTrustedRelaySetting) {
  server.AcceptOrder(TSmtpClient::LocalHostName(), kUser, "commandes@quillor.test", kUser, kPassword);
  client.AllowPlainSignIn = true;
  const TSendingOutcome outcome = Run();
  EXPECT_EQ(outcome.result, TSendingResult::kSent);
  EXPECT_THAT(server.Mismatches(), IsEmpty());
  EXPECT_THAT(server.Received(), Contains(kPasswordOnTheWire));
  EXPECT_THAT(stages, Contains(TSmtpStage::kSigningIn));
}

TEST(OrderSendingTls, AnUntrustedCertificateGetsNoPasswordAndIsNotSent) {
  SmtpServerProcess server(SmtpServerProcess::Mode::kStartTls);
  TSmtpClient client;
  client.Host = "127.0.0.1";
  client.Port = server.Port();
  client.UserId = SmtpServerProcess::kUser;
  client.Password = SmtpServerProcess::kPassword;
  client.ReplyTimeout = std::chrono::milliseconds{10000};
  // No TlsCaFile: the system's authorities do not know the fixture's CA.
  TMailMessage message;
  message.From.Address = SmtpServerProcess::kUser;
  message.Recipients.SetText("commandes@quillor.test");
  TOrderSending sending(client);
  const TSendingOutcome outcome = sending.Run(message);
  EXPECT_EQ(outcome.result, TSendingResult::kNotSent);
  EXPECT_THAT(outcome.reason, StartsWith("pas de connexion s\xE9"
                                         "curis\xE9"
                                         "e ("));
  EXPECT_TRUE(server.WaitForMessages(1, std::chrono::milliseconds{300}).empty());
}

TEST(OrderSendingTls, AWrongPasswordOverTlsIsARefusedAuthentication) {
  SmtpServerProcess server(SmtpServerProcess::Mode::kStartTls);
  TSmtpClient client;
  client.Host = "127.0.0.1";
  client.Port = server.Port();
  client.UserId = SmtpServerProcess::kUser;
  client.Password = "wrong";
  client.TlsCaFile = server.CaFile();
  client.ReplyTimeout = std::chrono::milliseconds{10000};
  TMailMessage message;
  message.From.Address = SmtpServerProcess::kUser;
  message.Recipients.SetText("commandes@quillor.test");
  TOrderSending sending(client);
  const TSendingOutcome outcome = sending.Run(message);
  EXPECT_EQ(outcome.result, TSendingResult::kNotSent);
  EXPECT_THAT(outcome.reason, StartsWith("authentification refus\xE9"
                                         "e (535"));
}

// --- unknown: the final "." went and no answer came -------------------------------------------

TEST_F(OrderSendingTest, NoAnswerToTheDotIsUnknownNeverNotSent) {
  UpToTheDot();  // then silent: the order may well be stored
  // Long enough for every earlier reply of a loaded machine; only the last never comes.
  client.ReplyTimeout = std::chrono::milliseconds{5000};
  const TSendingOutcome outcome = Run();
  EXPECT_EQ(outcome.result, TSendingResult::kUnknown);
  EXPECT_EQ(outcome.reason,
            "pas de r\xE9"
            "ponse du serveur dans le d\xE9lai");
  EXPECT_FALSE(outcome.copy.Accepted);
  EXPECT_EQ(outcome.copy.Lines, StoredLines()) << "the whole order went";
  EXPECT_EQ(stages.back(), TSmtpStage::kEndingData);
}

TEST_F(OrderSendingTest, AConnectionLostAfterTheDotIsUnknown) {
  UpToTheDot().Close();
  const TSendingOutcome outcome = Run();
  EXPECT_EQ(outcome.result, TSendingResult::kUnknown);
  EXPECT_THAT(outcome.reason, HasSubstr("avant sa r\xE9ponse"));
}

TEST_F(OrderSendingTest, AnAnswerThatMakesNoSenseIsUnknown) {
  UpToTheDot().Reply(std::string(5000, 'x'));
  const TSendingOutcome outcome = Run();
  EXPECT_EQ(outcome.result, TSendingResult::kUnknown);
  EXPECT_THAT(outcome.reason, StartsWith("r\xE9ponse incompr\xE9hensible"));
}

// --- cancelled, and cancelled too late --------------------------------------------------------

TEST_F(OrderSendingTest, CancelledBeforeTheDotIsCancelledAndSaysNothingMore) {
  server.Reply("220 quillor-test ESMTP").Expect(ehlo).Reply("250 HELP").Expect("Rset").Reply("250 ok");
  server.ExpectAny();  // Mail from: held, no answer
  client.ReplyTimeout = std::chrono::milliseconds{120000};
  WhenReady cancel([&] { return HasLine(server, "Mail from:<" + std::string(kUser) + ">"); },
                   [&] { client.Cancellation.Cancel(); });
  const TSendingOutcome outcome = Run();
  EXPECT_TRUE(cancel.Done());
  EXPECT_EQ(outcome.result, TSendingResult::kCancelled);
  EXPECT_EQ(outcome.reason, "");
  EXPECT_THAT(server.Received(), Not(Contains("Quit")));
  EXPECT_THAT(server.Received(), Not(Contains("Data")));
}

TEST_F(OrderSendingTest, CancelledWhileAwaitingTheAnswerToTheDotIsUnknown) {
  UpToTheDot();
  client.ReplyTimeout = std::chrono::milliseconds{120000};
  WhenReady cancel([&] { return HasLine(server, "."); }, [&] { client.Cancellation.Cancel(); });
  const TSendingOutcome outcome = Run();
  EXPECT_TRUE(cancel.Done());
  EXPECT_EQ(outcome.result, TSendingResult::kUnknown);
  EXPECT_EQ(outcome.reason, "envoi interrompu par Annuler avant la r\xE9ponse du serveur");
  EXPECT_EQ(outcome.copy.Lines, StoredLines());

  // The next sending is armed afresh.
  ScriptedSmtpServer next;
  next.AcceptOrder(TSmtpClient::LocalHostName(), kUser, "commandes@quillor.test");
  next.Start();
  client.Port = next.Port();
  EXPECT_EQ(sending.Run(message).result, TSendingResult::kSent);
  EXPECT_TRUE(next.WaitDone());
  EXPECT_THAT(next.Mismatches(), IsEmpty());
}

TEST(OrderSendingReasons, EachFailureIsToldInOneLineByItsKindAndStage) {
  EXPECT_EQ(SendingFailureReason(ESocketError(ETIMEDOUT, "x"), TSmtpStage::kConnecting),
            "d\xE9lai d\xE9pass\xE9 (pas de r\xE9ponse \xE0 la connexion)");
  EXPECT_EQ(SendingFailureReason(ESocketError(ETIMEDOUT, "x"), TSmtpStage::kTransaction),
            "d\xE9lai d\xE9pass\xE9 (le serveur ne r\xE9pond plus)");
  EXPECT_EQ(SendingFailureReason(ESocketError(ECONNREFUSED, "Connection refused"), TSmtpStage::kConnecting),
            "serveur injoignable (Connection refused)");
  EXPECT_EQ(SendingFailureReason(EProtocolReplyError(454, "454 TLS not available"), TSmtpStage::kSecuring),
            "pas de connexion s\xE9"
            "curis\xE9"
            "e : STARTTLS refus\xE9 (454 TLS not available)");
  EXPECT_EQ(SendingFailureReason(EProtocolReplyError(535, "535 bad"), TSmtpStage::kSigningIn),
            "authentification refus\xE9"
            "e (535 bad)");
  EXPECT_EQ(SendingFailureReason(EInsecureSignIn(), TSmtpStage::kSigningIn).rfind("pas de connexion", 0), 0u);
  EXPECT_EQ(SendingFailureReason(EConnClosedGracefully(), TSmtpStage::kEndingData),
            "connexion coup\xE9"
            "e par le serveur avant sa r\xE9ponse");
}

}  // namespace
}  // namespace quillor
