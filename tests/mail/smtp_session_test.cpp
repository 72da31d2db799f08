// The SMTP session over real loopback sockets against a scripted server:
// exact dialogues, broken servers, time-outs and the bytes of the data.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>

#include "mail/MailErrors.h"
#include "mail/SmtpClient.h"
#include "tests/support/OrderHeaders.h"
#include "tests/support/ScriptedSmtpServer.h"
#include "tests/support/StalledListener.h"

namespace quillor {
namespace {

using test::MaskDate;
using test::OrderHeaders;
using test::ScriptedSmtpServer;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::MatchesRegex;

class SessionTest : public ::testing::Test {
 protected:
  SessionTest() {
    client.Host = "127.0.0.1";
    client.Port = server.Port();
    // Long enough for a loaded CI machine; the tests that wait for a silent
    // server set a short one of their own.
    client.ReplyTimeout = std::chrono::milliseconds{10000};
    client.ConnectTimeout = std::chrono::milliseconds{5000};
    message.From.Address = "pharmacie@quillor.test";
    message.Recipients.SetText("commandes@quillor.test");
    message.Subject = "Commande CD";
    message.Body = {"Pharmacie du Centre",
                    "12 rue de la Paix",
                    "",
                    "3  3400930000001  ASPIRINE 500",
                    ".5 bo\xEEtes",
                    "."};
  }

  // The server's part up to a greeted session with the given EHLO reply.
  ScriptedSmtpServer& Greeting(std::initializer_list<std::string> ehloReply) {
    server.Reply("220 quillor-test ESMTP").Expect(ehlo);
    for (const std::string& line : ehloReply) server.Reply(line);
    return server;
  }
  // Ends the test's dialogue: the client quits and the server saw it all.
  void Finish() {
    client.CloseConnection();
    ASSERT_TRUE(server.WaitDone());
    EXPECT_THAT(server.Mismatches(), IsEmpty());
  }

  ScriptedSmtpServer server;
  TSmtpClient client;
  TMailMessage message;
  const std::string ehlo = "ehlo " + TSmtpClient::LocalHostName();
};

TEST_F(SessionTest, OrderWithLoginFollowsTheExactDialogueAndDataBytes) {
  server.AcceptOrder(TSmtpClient::LocalHostName(), "pharmacie@quillor.test", "commandes@quillor.test",
                     "pharmacie@quillor.test", "TorvaLindo52");
  server.Start();

  client.UserId = "pharmacie@quillor.test";
  client.Password = "TorvaLindo52";
  // A plain connection: only the trusted-relay setting lets the password go.
  client.AllowPlainSignIn = true;
  client.OpenConnection();
  EXPECT_THAT(client.AnnouncedSchemes.Items(), ElementsAre("LOGIN", "PLAIN"));
  ASSERT_TRUE(client.AnnouncedSchemes.Contains("login"));
  client.AuthenticationType = atLogin;
  EXPECT_TRUE(client.SignIn());
  client.SubmitMessage(message);
  Finish();
  // The dialogue up to the data, spelled out here rather than trusted to the fixture.
  const std::vector<std::string> lines = server.Received();
  ASSERT_GE(lines.size(), 8u);
  EXPECT_THAT(std::vector<std::string>(lines.begin(), lines.begin() + 8),
              ElementsAre(ehlo, "auth LOGIN", "cGhhcm1hY2llQHF1aWxsb3IudGVzdA==", "VG9ydmFMaW5kbzUy", "Rset",
                          "Mail from:<pharmacie@quillor.test>", "RCPT to:<commandes@quillor.test>", "Data"));

  const std::string bytes = server.ReceivedBytes();
  const std::string data = bytes.substr(bytes.find("Data\r\n") + 6);
  EXPECT_EQ(MaskDate(data), OrderHeaders("pharmacie@quillor.test", "commandes@quillor.test") +
                                "Pharmacie du Centre\r\n"
                                "12 rue de la Paix\r\n"
                                "\r\n"
                                "3  3400930000001  ASPIRINE 500\r\n"
                                "..5 bo\xEEtes\r\n"
                                "..\r\n"
                                ".\r\n"
                                "Quit\r\n");
  EXPECT_THAT(server.DataLines(), ::testing::Contains("..5 bo\xEEtes"));
}

TEST_F(SessionTest, RefusedEhloGetsHeloAndTheOrderGoesWithoutAuthentication) {
  server.Reply("220 old server")
      .Expect(ehlo)
      .Reply("500 Command unrecognized")
      .Expect("Helo " + TSmtpClient::LocalHostName())
      .Reply("250 hello")
      .Expect("Rset")
      .Reply("250 ok")
      .Expect("Mail from:<pharmacie@quillor.test>")
      .Reply("250 ok")
      .Expect("RCPT to:<commandes@quillor.test>")
      .Reply("250 ok")
      .Expect("Data")
      .Reply("354 go")
      .ReadData()
      .Reply("250 queued");
  server.Start();
  client.AuthenticationType = atLogin;
  client.OpenConnection();
  EXPECT_THAT(client.AnnouncedSchemes.Items(), IsEmpty());
  client.SubmitMessage(message);
  EXPECT_FALSE(client.SignedIn);
  Finish();
  EXPECT_EQ(server.Received().back(), "Quit");
}

TEST_F(SessionTest, GreetingOtherThan220RaisesWithTheLineAndCloses) {
  server.Reply("554 5.3.2 no service here ").Expect("Quit");
  server.Start();
  try {
    client.OpenConnection();
    FAIL() << "a 554 greeting was accepted";
  } catch (const EProtocolReplyError& error) {
    EXPECT_EQ(error.Code(), 554);
    EXPECT_STREQ(error.what(), "554 5.3.2 no service here");
  }
  EXPECT_FALSE(client.IsOpen());
  ASSERT_TRUE(server.WaitDone());
  EXPECT_THAT(server.Mismatches(), IsEmpty());
}

TEST_F(SessionTest, MultiLineAndEmptyReplyLinesOverTheWire) {
  server.SendRaw("\r\n   \r\n\n220 ready\r\n")
      .Expect(ehlo)
      .SendRaw("250-first\r\n\r\n250-second\n250-third\r\n250 last\r\n");
  server.Start();
  client.OpenConnection();
  EXPECT_THAT(client.ReplyLines, ElementsAre("250-first", "250-second", "250-third", "250 last"));
  EXPECT_EQ(client.ReplyCode, 250);
  Finish();
}

TEST_F(SessionTest, SignInOverAPlainConnectionSendsNothingAtAll) {
  Greeting({"250-quillor-test", "250 AUTH LOGIN"}).Expect("Rset").Reply("250 ok");
  server.Start();
  client.OpenConnection();
  client.AuthenticationType = atLogin;
  client.UserId = "pharmacie@quillor.test";
  client.Password = "TorvaLindo52";
  EXPECT_FALSE(client.IsSecure());
  EXPECT_THROW(client.SignIn(), EInsecureSignIn);
  EXPECT_FALSE(client.SignedIn);
  // Nor does a submission sign in on its own.
  message.Body = {"ligne"};
  EXPECT_THROW(client.SubmitMessage(message), EInsecureSignIn);
  Finish();
  EXPECT_THAT(server.Received(), ElementsAre(ehlo, "Rset", "Quit"));
  EXPECT_THAT(server.ReceivedBytes(), ::testing::Not(HasSubstr("VG9ydmFMaW5kbzUy")));
}

TEST_F(SessionTest, RefusedAuthSendsNoUserName) {
  Greeting({"250-quillor-test", "250 AUTH=LOGIN"}).Expect("auth LOGIN").Reply("504 5.5.4 mechanism refused");
  server.Start();
  client.AllowPlainSignIn = true;
  client.OpenConnection();
  client.AuthenticationType = atLogin;
  client.UserId = "pharmacie@quillor.test";
  EXPECT_THROW(client.SignIn(), EProtocolReplyError);
  EXPECT_FALSE(client.SignedIn);
  Finish();
  EXPECT_THAT(server.Received(), ElementsAre(ehlo, "auth LOGIN", "Quit"));
}

TEST_F(SessionTest, RefusedRecipientStopsBeforeData) {
  Greeting({"250 quillor-test"})
      .Expect("Rset")
      .Reply("250 ok")
      .Expect("Mail from:<pharmacie@quillor.test>")
      .Reply("250 ok")
      .Expect("RCPT to:<commandes@quillor.test>")
      .Reply("550 5.1.1 <commandes@quillor.test>: user unknown");
  server.Start();
  client.OpenConnection();
  try {
    client.SubmitMessage(message);
    FAIL() << "a refused recipient was accepted";
  } catch (const EProtocolReplyError& error) {
    EXPECT_EQ(error.Code(), 550);
    EXPECT_STREQ(error.what(), "550 5.1.1 <commandes@quillor.test>: user unknown");
  }
  // The failed transaction leaves the connection to its caller.
  EXPECT_TRUE(client.IsOpen());
  Finish();
  EXPECT_EQ(server.Received().back(), "Quit");
}

TEST_F(SessionTest, RecipientAcceptedWith251IsStillRefused) {
  Greeting({"250 quillor-test"})
      .Expect("Rset")
      .Reply("250 ok")
      .ExpectAny()
      .Reply("250 ok")
      .ExpectAny()
      .Reply("251 user not local; will forward");
  server.Start();
  client.OpenConnection();
  EXPECT_THROW(client.SubmitMessage(message), EProtocolReplyError);
  Finish();
}

TEST_F(SessionTest, ServerClosingMidReplyRaisesConnClosedGracefully) {
  Greeting({"250-quillor-test"}).SendRaw("250-SIZE 100\r\n250 HE").Close();
  server.Start();
  try {
    client.OpenConnection();
    FAIL() << "a cut reply was accepted";
  } catch (const EConnClosedGracefully& error) {
    EXPECT_STREQ(error.what(), "Connection Closed Gracefully.");
  }
  EXPECT_FALSE(client.IsOpen());
  ASSERT_TRUE(server.WaitDone());
}

TEST_F(SessionTest, ConnectionClosedByThePeerIsNoticedByIsOpen) {
  Greeting({"250 quillor-test"}).Close();
  server.Start();
  client.OpenConnection();
  ASSERT_TRUE(server.WaitDone());
  EXPECT_FALSE(client.IsOpen());
  // Closed on the spot, so opening again is allowed (and meets a listener that never greets).
  client.ReplyTimeout = std::chrono::milliseconds{200};
  EXPECT_THROW(client.OpenConnection(), ESocketError);
}

TEST_F(SessionTest, OpeningTwiceRaisesAlreadyConnected) {
  Greeting({"250 quillor-test"});
  server.Start();
  client.OpenConnection();
  try {
    client.OpenConnection();
    FAIL() << "a second opening was accepted";
  } catch (const EAlreadyConnected& error) {
    EXPECT_STREQ(error.what(), "Already connected.");
  }
  EXPECT_TRUE(client.IsOpen());
  Finish();
}

TEST_F(SessionTest, SilentServerHitsTheReplyTimeOutAndIsClosed) {
  server.Expect("Quit");
  server.Start();
  client.ReplyTimeout = std::chrono::milliseconds{1500};
  try {
    client.OpenConnection();
    FAIL() << "a silent server was waited for without end";
  } catch (const ESocketError& error) {
    EXPECT_EQ(error.Number(), ETIMEDOUT);
    EXPECT_THAT(error.what(), HasSubstr("Socket Error # "));
    EXPECT_THAT(error.what(), HasSubstr("did not reply in time"));
  }
  EXPECT_FALSE(client.IsOpen());
  ASSERT_TRUE(server.WaitDone());
  EXPECT_THAT(server.Mismatches(), IsEmpty());
}

TEST_F(SessionTest, TricklingServerCannotStretchOneReplyPastTheTimeOut) {
  // Empty lines are skipped, but they do not restart the clock of the reply.
  server.Reply("220 ready").Expect(ehlo);
  for (int i = 0; i < 8; ++i) server.Reply("").Pause(std::chrono::milliseconds{100});
  // A complete reply in the end: only a clock kept across the whole reply refuses it.
  server.Reply("250 ok");
  server.Start();
  client.ReplyTimeout = std::chrono::milliseconds{300};
  EXPECT_THROW(client.OpenConnection(), ESocketError);
  server.WaitDone();
}

TEST_F(SessionTest, OverlongReplyLineIsAProtocolError) {
  server.Reply("220 " + std::string(TTcpConnection::kMaxReplyLineLength, 'x'));
  server.Start();
  EXPECT_THROW(client.OpenConnection(), EProtocolReplyError);
  EXPECT_FALSE(client.IsOpen());
  server.WaitDone();
}

TEST_F(SessionTest, LineOfExactlyTheLimitIsAccepted) {
  const std::string longest = "220 " + std::string(TTcpConnection::kMaxReplyLineLength - 4, 'x');
  server.Reply(longest).Expect(ehlo).Reply("250 ok");
  server.Start();
  client.OpenConnection();
  Finish();
}

TEST_F(SessionTest, EndlessMultiLineReplyIsAProtocolError) {
  std::string flood;
  for (int i = 0; i <= TTcpConnection::kMaxReplyLines; ++i) flood += "220-more\r\n";
  server.SendRaw(flood).Reply("220 end");
  server.Start();
  try {
    client.OpenConnection();
    FAIL() << "a reply of more lines than the limit was accepted";
  } catch (const EProtocolReplyError& error) {
    EXPECT_THAT(error.what(), HasSubstr("1000"));
  }
  server.WaitDone();
}

TEST(SessionConnectTest, RefusedConnectionRaisesSocketErrorWithTheSystemNumber) {
  int port = 0;
  {
    ScriptedSmtpServer closed;  // a port that was free a moment ago, now with no listener
    port = closed.Port();
  }
  TSmtpClient client;
  client.Host = "127.0.0.1";
  client.Port = port;
  try {
    client.OpenConnection();
    FAIL() << "connected to a closed port";
  } catch (const ESocketError& error) {
    EXPECT_EQ(error.Number(), ECONNREFUSED);
    EXPECT_THAT(error.what(), MatchesRegex("Socket Error # [0-9]+\r\n.+"));
  }
  EXPECT_FALSE(client.IsOpen());
  client.CloseConnection();  // harmless when closed
  EXPECT_EQ(client.Port, port);
}

TEST(SessionConnectTest, PortOutsideTheTcpRangeIsRefusedNotWrapped) {
  ScriptedSmtpServer server;
  server.Reply("220 wrong service").Expect("ehlo " + TSmtpClient::LocalHostName()).Reply("250 ok");
  server.Start();
  TSmtpClient client;
  client.Host = "127.0.0.1";
  client.Port = server.Port() + 65536;
  try {
    client.OpenConnection();
    FAIL() << "port " << client.Port << " reached port " << server.Port();
  } catch (const ESocketError& error) {
    EXPECT_EQ(error.Number(), EINVAL);
  }
  EXPECT_FALSE(client.IsOpen());
}

TEST(SessionConnectTest, UnansweredConnectionGivesUpAtTheConnectTimeOut) {
  test::StalledListener stalled;
  TSmtpClient client;
  client.Host = "127.0.0.1";
  client.Port = stalled.Port();
  client.ConnectTimeout = std::chrono::milliseconds{300};
  try {
    client.OpenConnection();
    FAIL() << "connected to a port that never completes a handshake";
  } catch (const ESocketError& error) {
    EXPECT_EQ(error.Number(), ETIMEDOUT);
    EXPECT_THAT(error.what(), HasSubstr("timed out after 300 ms"));
  }
  EXPECT_FALSE(client.IsOpen());
}

TEST_F(SessionTest, BytesSentAheadOfTheTlsHandshakeAreRefused) {
  // A reply smuggled behind the 220 would later read as if it came over TLS.
  Greeting({"250-quillor-test", "250 STARTTLS"})
      .Expect("STARTTLS")
      .SendRaw("220 go ahead\r\n250 smuggled\r\n");
  server.Start();
  client.TlsCaFile = "/nonexistent/ca.pem";
  EXPECT_THROW(client.OpenConnection(), EProtocolReplyError);
  EXPECT_FALSE(client.IsOpen());
  server.WaitDone();
}

}  // namespace
}  // namespace quillor
