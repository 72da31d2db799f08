// Ending a session over real loopback sockets while it waits: the socket
// stream's waits keep the caller's events flowing, so a handler (here a
// timer, as the progress window's button would) can cancel; the connection
// is then closed at once and nothing more reaches the server.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "mail/MailErrors.h"
#include "mail/SmtpClient.h"
#include "tests/support/ScriptedSmtpServer.h"
#include "tests/support/StalledListener.h"
#include "tests/support/WhenReady.h"

namespace quillor {
namespace {

using test::ScriptedSmtpServer;
using test::WhenReady;
using ::testing::Contains;
using ::testing::Not;

bool HasLine(const ScriptedSmtpServer& server, const std::string& line) {
  const std::vector<std::string> lines = server.Received();
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST(SessionCancelTest, CancelWhileAwaitingAReplyClosesAtOnceWithoutQuit) {
  const std::string ehlo = "ehlo " + TSmtpClient::LocalHostName();
  ScriptedSmtpServer server;
  // The EHLO reply never comes: only the cancellation can end the wait.
  server.Reply("220 ready").Expect(ehlo);
  server.Start();
  TSmtpClient client;
  client.Host = "127.0.0.1";
  client.Port = server.Port();
  client.ReplyTimeout = std::chrono::milliseconds{120000};
  WhenReady cancel([&] { return HasLine(server, ehlo); }, [&] { client.Cancellation.Cancel(); });

  EXPECT_THROW(client.OpenConnection(), ESendingCancelled);
  EXPECT_TRUE(cancel.Done());
  EXPECT_FALSE(client.IsOpen());
  // The server sees the connection end, and no farewell before it.
  ASSERT_TRUE(server.WaitDone());
  EXPECT_THAT(server.Received(), Not(Contains("Quit")));
}

TEST(SessionCancelTest, CancelWhileConnectingEndsTheAttempt) {
  test::StalledListener stalled;
  TSmtpClient client;
  client.Host = "127.0.0.1";
  client.Port = stalled.Port();
  client.ConnectTimeout = std::chrono::milliseconds{120000};
  WhenReady cancel([] { return true; }, [&] { client.Cancellation.Cancel(); });
  EXPECT_THROW(client.OpenConnection(), ESendingCancelled);
  EXPECT_TRUE(cancel.Done());
  EXPECT_FALSE(client.IsOpen());
}

TEST(SessionCancelTest, CancelAwaitingTheAcceptanceLeavesTheCopyUnaccepted) {
  const std::string host = TSmtpClient::LocalHostName();
  ScriptedSmtpServer server;
  server.Reply("220 ready").Expect("ehlo " + host).Reply("250 ok");
  server.Expect("Rset").Reply("250 ok").ExpectAny().Reply("250 ok").ExpectAny().Reply("250 ok");
  server.Expect("Data").Reply("354 go");
  // Silent from here on: the client waits for the 250 after its dot.
  server.Start();
  TSmtpClient client;
  client.Host = "127.0.0.1";
  client.Port = server.Port();
  client.ReplyTimeout = std::chrono::milliseconds{120000};
  TMailMessage message;
  message.From.Address = "pharmacie@quillor.test";
  message.Recipients.SetText("commandes@quillor.test");
  message.Body = {"ligne"};
  client.OpenConnection();
  TDataCopy copy;
  WhenReady cancel([&] { return HasLine(server, "."); }, [&] { client.Cancellation.Cancel(); });
  EXPECT_THROW(client.SubmitMessage(message, &copy), ESendingCancelled);
  EXPECT_FALSE(copy.Accepted);
  client.CloseConnection();
  ASSERT_TRUE(server.WaitDone());
  EXPECT_THAT(server.Received(), Not(Contains("Quit")));
}

}  // namespace
}  // namespace quillor
