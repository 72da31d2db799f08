// The protocol logic over an in-memory stream: reply reading and codes,
// scheme collection, the STARTTLS re-greeting, and the order of commands.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "mail/MailErrors.h"
#include "mail/SmtpClient.h"
#include "tests/mail/FakeLineStream.h"

namespace quillor {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class FakeSessionTest : public ::testing::Test {
 protected:
  FakeSessionTest() { client.SetConnector(test::FakeConnector(wire)); }

  void Serve(std::initializer_list<std::string> lines) {
    wire->serverLines.insert(wire->serverLines.end(), lines.begin(), lines.end());
  }
  // Greets with the given EHLO reply lines.
  void Open(std::initializer_list<std::string> ehloReply) {
    Serve({"220 ready"});
    Serve(ehloReply);
    client.OpenConnection();
  }
  std::vector<std::string> SchemesOf(std::initializer_list<std::string> ehloReply) {
    Open(ehloReply);
    std::vector<std::string> schemes = client.AnnouncedSchemes.Items();
    client.CloseConnection();
    return schemes;
  }

  std::shared_ptr<test::FakeWire> wire = std::make_shared<test::FakeWire>();
  TSmtpClient client;
  const std::string ehlo = "ehlo " + TSmtpClient::LocalHostName();
};

TEST_F(FakeSessionTest, ReplyCodesComeFromTheLastLine) {
  Open({"250 ok"});
  Serve({"+ok fine", "-ERR no", "abc text", "25", "354 go on"});
  EXPECT_EQ(client.ReadReply({}), 1);
  EXPECT_EQ(client.ReadReply({}), 0);
  EXPECT_EQ(client.ReadReply({}), 0);
  EXPECT_EQ(client.ReadReply({}), 25);
  EXPECT_EQ(client.ReadReply({354}), 354);
  EXPECT_EQ(client.ReplyCode, 354);
}

TEST_F(FakeSessionTest, MultiLineReplyEndsAtCodeAndSpaceOrAShortLine) {
  Open({"250 ok"});
  Serve({"250-first", "250-second", "", "   ", "250-third", "250 last", "220 next"});
  EXPECT_EQ(client.ReadReply({250}), 250);
  EXPECT_THAT(client.ReplyLines, ElementsAre("250-first", "250-second", "250-third", "250 last"));
  EXPECT_EQ(client.ReadReply({220}), 220);

  // The end marker is compared without regard to case; a short line ends too.
  Serve({"25A-x", "25a end", "451-x", "45", "354 after"});
  EXPECT_EQ(client.ReadReply({}), 0);
  EXPECT_EQ(client.ReplyLines.size(), 2u);
  EXPECT_EQ(client.ReadReply({}), 45);
  EXPECT_THAT(client.ReplyLines, ElementsAre("451-x", "45"));
}

TEST_F(FakeSessionTest, UnexpectedCodeRaisesWithTheTrimmedLastLine) {
  Open({"250 ok"});
  Serve({"550-mailbox", "  550 5.1.1 unknown user \t"});
  try {
    client.ReadReply({250});
    FAIL() << "550 was accepted";
  } catch (const EProtocolReplyError& error) {
    EXPECT_EQ(error.Code(), 550);
    EXPECT_STREQ(error.what(), "550 5.1.1 unknown user");
  }
}

TEST_F(FakeSessionTest, AReplyOfTooManyLinesIsAProtocolError) {
  Open({"250 ok"});
  for (int i = 0; i < TTcpConnection::kMaxReplyLines; ++i) wire->serverLines.push_back("250-more");
  wire->serverLines.push_back("250 end");
  EXPECT_THROW(client.ReadReply({}), EProtocolReplyError);

  // Exactly the limit is still a reply.
  wire->serverLines.clear();
  for (int i = 0; i < TTcpConnection::kMaxReplyLines - 1; ++i) wire->serverLines.push_back("250-more");
  wire->serverLines.push_back("250 end");
  EXPECT_EQ(client.ReadReply({250}), 250);
}

TEST_F(FakeSessionTest, AuthSchemesAreCollectedFromAuthLinesOnly) {
  EXPECT_THAT(SchemesOf({"250-server", "250-AUTH LOGIN PLAIN", "250 SIZE"}), ElementsAre("LOGIN", "PLAIN"));
  EXPECT_THAT(SchemesOf({"250-server", "250-AUTH=LOGIN", "250 HELP"}), ElementsAre("LOGIN"));
  EXPECT_THAT(SchemesOf({"250-server", "250-XAUTH LOGIN", "250-AUTHX LOGIN", "250 HELP"}), IsEmpty());
  EXPECT_THAT(SchemesOf({"250-server", "250-auth login Plain", "250-AUTH=LOGIN CRAM-MD5", "250 HELP"}),
              ElementsAre("LOGIN", "PLAIN", "CRAM-MD5"));
  // "=" counts as a space; two adjacent spaces give one empty scheme, kept once.
  EXPECT_THAT(SchemesOf({"250-server", "250-AUTH LOGIN=PLAIN  CRAM-MD5  X", "250 HELP"}),
              ElementsAre("LOGIN", "PLAIN", "", "CRAM-MD5", "X"));
  // The first line is the server's greeting, even when it looks like an AUTH line.
  EXPECT_THAT(SchemesOf({"250-AUTH GREETING", "250 AUTH LOGIN"}), ElementsAre("LOGIN"));
}

TEST_F(FakeSessionTest, RefusedEhloFallsBackToHeloWithoutSchemes) {
  Open({"500 unknown command", "250 hello"});
  EXPECT_THAT(wire->written, ElementsAre(ehlo, "Helo " + TSmtpClient::LocalHostName()));
  EXPECT_THAT(client.AnnouncedSchemes.Items(), IsEmpty());
  EXPECT_TRUE(client.IsOpen());
}

TEST_F(FakeSessionTest, StartTlsUpgradesThenCollectsSchemesAfresh) {
  Serve({"220 ready", "250-server", "250-AUTH PLAIN", "250 STARTTLS", "220 go ahead", "250-server",
         "250 AUTH LOGIN"});
  client.OpenConnection();
  EXPECT_TRUE(wire->tlsStarted);
  EXPECT_THAT(wire->written, ElementsAre(ehlo, "STARTTLS", ehlo));
  EXPECT_THAT(client.AnnouncedSchemes.Items(), ElementsAre("LOGIN"));
}

TEST_F(FakeSessionTest, RefusedStartTlsClosesTheConnection) {
  Serve({"220 ready", "250-server", "250 STARTTLS", "454 TLS not available"});
  EXPECT_THROW(client.OpenConnection(), EProtocolReplyError);
  EXPECT_FALSE(wire->tlsStarted);
  EXPECT_FALSE(client.IsOpen());
  EXPECT_EQ(wire->written.back(), "Quit");
}

TEST_F(FakeSessionTest, OnlyAConnectionThatStartTlsSecuredCarriesThePassword) {
  client.UserId = "u";
  client.Password = "p";
  client.AuthenticationType = atLogin;
  Open({"250-server", "250 AUTH LOGIN"});
  EXPECT_FALSE(client.IsSecure());
  wire->written.clear();
  EXPECT_THROW(client.SignIn(), EInsecureSignIn);
  EXPECT_THAT(wire->written, IsEmpty());
  client.CloseConnection();

  Serve({"220 ready", "250-server", "250 STARTTLS", "220 go ahead", "250-server", "250 AUTH LOGIN"});
  client.OpenConnection();
  EXPECT_TRUE(client.IsSecure());
  wire->written.clear();
  Serve({"334 VXNlcm5hbWU6", "334 UGFzc3dvcmQ6", "235 ok"});
  EXPECT_TRUE(client.SignIn());
  EXPECT_THAT(wire->written, ElementsAre("auth LOGIN", "dQ==", "cA=="));
  client.CloseConnection();
  EXPECT_FALSE(client.IsSecure()) << "a new connection starts plain";
}

TEST_F(FakeSessionTest, SubmissionSignsInOnlyWhenLoginWasAnnounced) {
  // The in-memory stream stands for a trusted local relay.
  client.AllowPlainSignIn = true;
  TMailMessage message;
  message.From.Address = "pharmacie@quillor.test";
  message.Recipients.SetText("commandes@quillor.test, autre@quillor.test");
  message.BccList.SetText("copie@quillor.test");
  message.Body = {"ligne"};
  client.UserId = "u";
  client.Password = "p";
  client.AuthenticationType = atLogin;
  client.MailAgent = "Quillor";

  Open({"250-server", "250 AUTH PLAIN"});
  wire->written.clear();
  Serve({"250 reset", "250 ok", "250 ok", "250 ok", "250 ok", "354 go", "250 queued"});
  client.SubmitMessage(message);
  EXPECT_FALSE(client.SignedIn);
  EXPECT_EQ(wire->written.front(), "Rset");
  EXPECT_EQ(wire->written.at(1), "Mail from:<pharmacie@quillor.test>");
  EXPECT_EQ(wire->written.at(4), "RCPT to:<copie@quillor.test>");
  EXPECT_EQ(wire->written.at(5), "Data");
  EXPECT_EQ(wire->written.back(), ".");
  EXPECT_EQ(message.ExtraHeaders.Values("X-Mailer"), "Quillor");
  client.CloseConnection();

  wire->written.clear();
  Open({"250-server", "250 AUTH LOGIN"});
  Serve({"421 busy", "334 VXNlcm5hbWU6", "334 UGFzc3dvcmQ6", "235 ok", "250 ok", "250 ok", "250 ok", "250 ok",
         "354 go", "250 queued"});
  client.MailAgent.clear();
  client.SubmitMessage(message);
  EXPECT_TRUE(client.SignedIn);
  EXPECT_THAT(std::vector<std::string>(wire->written.begin() + 1, wire->written.begin() + 5),
              ElementsAre("Rset", "auth LOGIN", "dQ==", "cA=="));
  EXPECT_EQ(message.ExtraHeaders.Values("X-Mailer"), "");
  client.CloseConnection();
  EXPECT_FALSE(client.SignedIn);
}

TEST_F(FakeSessionTest, SignInWithoutAuthenticationSendsNothingButCountsAsSignedIn) {
  Open({"250-server", "250 AUTH LOGIN"});
  wire->written.clear();
  EXPECT_FALSE(client.SignIn());
  EXPECT_THAT(wire->written, IsEmpty());
  EXPECT_TRUE(client.SignedIn);

  // Signed in already, so a later LOGIN setting does not authenticate this session.
  client.AuthenticationType = atLogin;
  TMailMessage message;
  message.From.Address = "pharmacie@quillor.test";
  message.Recipients.SetText("commandes@quillor.test");
  Serve({"250 reset", "250 ok", "250 ok", "354 go", "250 queued"});
  client.SubmitMessage(message);
  EXPECT_THAT(std::vector<std::string>(wire->written.begin(), wire->written.begin() + 2),
              ElementsAre("Rset", "Mail from:<pharmacie@quillor.test>"));
  client.CloseConnection();
  EXPECT_FALSE(client.SignedIn);
}

TEST_F(FakeSessionTest, LineBreaksInEnvelopeAddressesAreRefusedBeforeAnyCommand) {
  Open({"250 ok"});
  wire->written.clear();
  TMailMessage message;
  message.From.Address = "pharmacie@quillor.test";
  message.Recipients.Add({"", "commandes@quillor.test>\r\nRCPT to:<intrus@quillor.test"});
  EXPECT_THROW(client.SubmitMessage(message), EUnsafeMailText);
  message.Recipients.Clear();
  message.Recipients.SetText("commandes@quillor.test");
  message.From.Address = "a@quillor.test\nDATA";
  EXPECT_THROW(client.SubmitMessage(message), EUnsafeMailText);
  EXPECT_THAT(wire->written, IsEmpty());
  EXPECT_THROW(client.WriteLine("Rset\r\nQuit"), EUnsafeMailText);

  // A message that cannot be rendered fails before the transaction, not after "Data".
  message.From.Address = "pharmacie@quillor.test";
  message.MessageParts.TextPartCount = 1;
  EXPECT_THROW(client.SubmitMessage(message), EMailError);
  EXPECT_THAT(wire->written, IsEmpty());
}

TEST_F(FakeSessionTest, CopyIsAcceptedOnlyByTheFinalTwoHundredFifty) {
  TMailMessage message;
  message.From.Address = "pharmacie@quillor.test";
  message.Recipients.SetText("commandes@quillor.test");
  message.Body = {"ligne"};
  Open({"250 ok"});
  TDataCopy copy;
  Serve({"250 reset", "250 ok", "250 ok", "354 go", "554 refused after the data"});
  EXPECT_THROW(client.SubmitMessage(message, &copy), EProtocolReplyError);
  EXPECT_FALSE(copy.Accepted);
  EXPECT_EQ(copy.Lines.back(), "ligne");

  Serve({"250 reset", "250 ok", "250 ok", "354 go", "250 queued"});
  client.SubmitMessage(message, &copy);
  EXPECT_TRUE(copy.Accepted);
  client.CloseConnection();
}

TEST_F(FakeSessionTest, ACancelledSessionWritesNothingMoreAndClosesWithoutQuit) {
  Open({"250 ok"});
  wire->written.clear();
  client.Cancellation.Cancel();
  TMailMessage message;
  message.From.Address = "pharmacie@quillor.test";
  message.Recipients.SetText("commandes@quillor.test");
  EXPECT_THROW(client.SubmitMessage(message), ESendingCancelled);
  EXPECT_FALSE(wire->open) << "the stream is closed at once";
  EXPECT_FALSE(client.IsOpen());
  client.CloseConnection();
  EXPECT_THAT(wire->written, IsEmpty()) << "not even Quit";
  // Still cancelled: no new connection is made.
  EXPECT_THROW(client.OpenConnection(), ESendingCancelled);
  EXPECT_FALSE(wire->open);

  client.Cancellation.Reset();
  Open({"250 ok"});
  EXPECT_TRUE(client.IsOpen());
  client.CloseConnection();
  EXPECT_EQ(wire->written.back(), "Quit");
}

}  // namespace
}  // namespace quillor
