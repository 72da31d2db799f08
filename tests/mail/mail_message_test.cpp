// Rendering of the order message: addresses, header list, header order,
// dates, the written bytes with dot-stuffing, and the mailto: link.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "mail/EmailAddress.h"
#include "mail/HeaderList.h"
#include "mail/InternetDate.h"
#include "mail/MailErrors.h"
#include "mail/MailMessage.h"
#include "mail/MailtoLink.h"
#include "mail/MessageClient.h"
#include "tests/mail/FakeLineStream.h"

namespace quillor {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Sets TZ for as long as it lives.
class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* zone) {
    const char* old = std::getenv("TZ");
    had_ = old != nullptr;
    if (had_) old_ = old;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~ScopedTimeZone() {
    if (had_)
      setenv("TZ", old_.c_str(), 1);
    else
      unsetenv("TZ");
    tzset();
  }
  ScopedTimeZone(const ScopedTimeZone&) = delete;
  ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

 private:
  bool had_ = false;
  std::string old_;
};

constexpr std::time_t kWinterMoment = 1767600245;  // 2026-01-05 08:04:05 UTC
constexpr std::time_t kSummerMoment = 1784068209;  // 2026-07-14 22:30:09 UTC

std::vector<std::string> Names(const THeaderList& headers) {
  std::vector<std::string> names;
  for (const THeader& header : headers.Headers()) names.push_back(header.Name);
  return names;
}

TMailMessage OrderMessage() {
  TMailMessage message;
  message.From.Address = "pharmacie@quillor.test";
  message.Recipients.SetText("commandes@quillor.test");
  message.Subject = "Commande CD";
  message.SetDate(kWinterMoment);
  return message;
}

// A message client whose stream is an in-memory wire.
class WireClient : public TMessageClient {
 public:
  explicit WireClient(std::shared_ptr<test::FakeWire> wire) {
    SetConnector(test::FakeConnector(std::move(wire)));
    OpenStream();
  }
};

TEST(EmailAddressTest, RendersBareQuotedAndEncodedNames) {
  TEmailAddressItem item{"", "pharmacie@quillor.test"};
  EXPECT_EQ(item.Text(), "pharmacie@quillor.test");
  item.Name = "Pharmacie du Centre";
  EXPECT_EQ(item.Text(), "\"Pharmacie du Centre\" <pharmacie@quillor.test>");
  item.Name = "Dupont \"Jean\" \\ fils";
  EXPECT_EQ(item.Text(), "\"Dupont \\\"Jean\\\" \\\\ fils\" <pharmacie@quillor.test>");
  item.Name =
      "Pharmacie Agn\xE8"
      "s";
  EXPECT_EQ(item.Text(), "=?ISO-8859-1?Q?Pharmacie_Agn=E8s?= <pharmacie@quillor.test>");
  // The euro sign has no ISO-8859-1 byte: labelling it so would turn it into a control code.
  item.Name = "Caisse \x80";
  EXPECT_EQ(item.Text(), "=?windows-1252?Q?Caisse_=80?= <pharmacie@quillor.test>");
}

TEST(EmailAddressTest, ListIsCutAtCommasOutsideQuotesAndReplacedOnEachSet) {
  TEmailAddressList list;
  list.SetText("old@quillor.test");
  list.SetText(" a@quillor.test ,\"Dupont, Jean\" <jean@quillor.test>, , \"Sa\\\"ra\" <sara@quillor.test>,");
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Item(0).Address, "a@quillor.test");
  EXPECT_EQ(list.Item(0).Name, "");
  EXPECT_EQ(list.Item(1).Name, "Dupont, Jean");
  EXPECT_EQ(list.Item(1).Address, "jean@quillor.test");
  EXPECT_EQ(list.Item(2).Name, "Sa\"ra");
  EXPECT_EQ(list.Text(),
            "a@quillor.test, \"Dupont, Jean\" <jean@quillor.test>, \"Sa\\\"ra\" <sara@quillor.test>");
  list.SetText("  ,  ");
  EXPECT_EQ(list.Count(), 0);
}

TEST(HeaderListTest, LookupIgnoresCaseAndEmptyValuesRemove) {
  THeaderList headers;
  headers.Add("X-Mailer", "one");
  headers.Add("Comment", "keep");
  headers.Add("x-mailer", "two");
  EXPECT_EQ(headers.Values("X-MAILER"), "one");
  headers.SetValue("x-MAILER", "three");
  EXPECT_EQ(headers.Count(), 2);
  EXPECT_EQ(headers.Values("X-Mailer"), "three");
  headers.SetValue("X-Mailer", "");
  EXPECT_THAT(Names(headers), ElementsAre("Comment"));
  headers.SetValue("Absent", "");
  headers.Add("Empty", "");
  EXPECT_EQ(headers.Count(), 1);
  EXPECT_EQ(headers.Values("Absent"), "");
}

TEST(HeaderListTest, LongLinesFoldAtBlanksWithinWidthAndUnfoldToTheSameWords) {
  std::string value;
  for (int i = 0; i < 30; ++i) value += "mot" + std::to_string(i) + (i % 3 == 0 ? "  " : " ");
  const std::string line = "Subject: " + value;
  const std::vector<std::string> pieces = FoldHeaderLine(line);
  ASSERT_GT(pieces.size(), 1u);
  std::string unfolded;
  for (size_t i = 0; i < pieces.size(); ++i) {
    EXPECT_LE(pieces[i].size(), 78u) << pieces[i];
    EXPECT_NE(pieces[i].back(), ' ');
    if (i > 0) {
      EXPECT_EQ(pieces[i][0], ' ');
      EXPECT_NE(pieces[i][1], ' ');
    }
    unfolded += pieces[i];
  }
  auto words = [](const std::string& text) {
    std::vector<std::string> result;
    std::string word;
    for (char c : text + " ")
      if (c == ' ') {
        if (!word.empty()) result.push_back(word);
        word.clear();
      } else {
        word += c;
      }
    return result;
  };
  EXPECT_EQ(words(unfolded), words(line));

  EXPECT_THAT(FoldHeaderLine("Subject: short"), ElementsAre("Subject: short"));
  const std::string unbreakable(100, 'x');
  EXPECT_THAT(FoldHeaderLine("References: " + unbreakable), ElementsAre("References:", " " + unbreakable));
  EXPECT_THAT(FoldHeaderLine(std::string(90, 'y')), ElementsAre(std::string(90, 'y')));
}

TEST(InternetDateTest, LocalTimeWithTheZoneOffsetOfThatMoment) {
  {
    ScopedTimeZone zone("Europe/Paris");
    EXPECT_EQ(DateTimeToInternetStr(kWinterMoment), "Mon, 5 Jan 2026 09:04:05 +0100");
    EXPECT_EQ(DateTimeToInternetStr(kSummerMoment), "Wed, 15 Jul 2026 00:30:09 +0200");
  }
  {
    ScopedTimeZone zone("America/St_Johns");
    EXPECT_EQ(DateTimeToInternetStr(kWinterMoment), "Mon, 5 Jan 2026 04:34:05 -0330");
    EXPECT_EQ(DateTimeToInternetStr(kSummerMoment), "Tue, 14 Jul 2026 20:00:09 -0230");
  }
  {
    ScopedTimeZone zone("UTC");
    EXPECT_EQ(DateTimeToInternetStr(kWinterMoment), "Mon, 5 Jan 2026 08:04:05 +0000");
  }
  EXPECT_EQ(UtcOffsetText(-30 * 60), "-0030");
}

TEST(MailMessageTest, OrderMessageHasExactlyTheSixHeaders) {
  ScopedTimeZone zone("Europe/Paris");
  TMailMessage message = OrderMessage();
  message.Body = {"Pharmacie du Centre", "3  3400930000001  ASPIRINE 500"};
  const THeaderList headers = message.GenerateHeader();
  EXPECT_THAT(
      headers.FoldedLines(),
      ElementsAre("From: pharmacie@quillor.test", "Subject: Commande CD", "To: commandes@quillor.test",
                  "Date: Mon, 5 Jan 2026 09:04:05 +0100", "X-Priority: 3", "X-Library: Quillor Mail 1.0"));
}

TEST(MailMessageTest, EveryFieldTakesItsPlaceInTheHeaderOrder) {
  TMailMessage message = OrderMessage();
  message.CCList.SetText("cc@quillor.test");
  message.BccList.SetText("hidden@quillor.test");
  message.NewsGroups = {"fr.sante", "fr.pharma"};
  message.ContentType = "text/plain";
  message.CharSet = "charset=us-ascii";
  message.ContentTransferEncoding = "7bit";
  message.Sender.Address = "sender@quillor.test";
  message.ReplyTo.SetText("reply@quillor.test");
  message.Organization = "Pharmacie";
  message.ReceiptRecipient.Address = "receipt@quillor.test";
  message.References = "<1@quillor.test>";
  message.Priority = mpLowest;
  message.ExtraHeaders.Add("X-Order", "42");
  const THeaderList headers = message.GenerateHeader();
  EXPECT_THAT(Names(headers), ElementsAre("From", "Subject", "To", "Cc", "Newsgroups", "Content-Type",
                                          "Content-Transfer-Encoding", "Sender", "Reply-To", "Organization",
                                          "Disposition-Notification-To", "References", "Date", "X-Priority",
                                          "X-Library", "X-Order"));
  EXPECT_EQ(headers.Values("Newsgroups"), "fr.sante,fr.pharma");
  EXPECT_EQ(headers.Values("Content-Type"), "text/plain;charset=us-ascii");
  EXPECT_EQ(headers.Values("X-Priority"), "5");
  EXPECT_EQ(headers.Values("Bcc"), "");

  message.Priority = mpHighest;
  EXPECT_EQ(message.GenerateHeader().Values("X-Priority"), "1");
  message.ContentType.clear();
  EXPECT_EQ(message.GenerateHeader().Values("Content-Type"), "charset=us-ascii");
}

TEST(MailMessageTest, AccentedBodyDeclaresItsCharsetWhereTheOrderPutsIt) {
  TMailMessage message = OrderMessage();
  message.Body = {"2  3400930000002  CR\xC8ME HYDRATANTE"};
  const THeaderList headers = message.GenerateHeader();
  EXPECT_THAT(Names(headers), ElementsAre("From", "Subject", "To", "Content-Type", "MIME-Version",
                                          "Content-Transfer-Encoding", "Date", "X-Priority", "X-Library"));
  EXPECT_EQ(headers.Values("Content-Type"), "text/plain; charset=windows-1252");
  EXPECT_EQ(headers.Values("MIME-Version"), "1.0");
  EXPECT_EQ(headers.Values("Content-Transfer-Encoding"), "8bit");

  // A content type chosen by the caller is left alone.
  message.ContentType = "text/plain";
  message.CharSet = "charset=ISO-8859-1";
  EXPECT_EQ(message.GenerateHeader().Values("MIME-Version"), "");
}

TEST(MailMessageTest, NonAsciiSubjectIsEncodedAndOneTextPartIsRefused) {
  TMailMessage message = OrderMessage();
  message.Subject = "Commande \xE9t\xE9";
  EXPECT_EQ(message.GenerateHeader().Values("Subject"), "=?ISO-8859-1?Q?Commande_=E9t=E9?=");

  message.MessageParts.TextPartCount = 1;
  try {
    message.GenerateHeader();
    FAIL() << "one text part was accepted";
  } catch (const EMailError& error) {
    EXPECT_STREQ(error.what(), "Invalid Text count. TTextPart must be greater than 1");
  }
}

TEST(MessageClientTest, WritesHeadersEmptyLineAndDotStuffedBodyStoredBack) {
  ScopedTimeZone zone("Europe/Paris");
  auto wire = std::make_shared<test::FakeWire>();
  WireClient client(wire);
  TMailMessage message = OrderMessage();
  message.Body = {"12 rue de la Paix", "", ".5 bo\xEEtes", ".", "fin."};
  client.WriteMessage(message);
  EXPECT_THAT(
      wire->written,
      ElementsAre("From: pharmacie@quillor.test", "Subject: Commande CD", "To: commandes@quillor.test",
                  "Content-Type: text/plain; charset=windows-1252", "MIME-Version: 1.0",
                  "Content-Transfer-Encoding: 8bit", "Date: Mon, 5 Jan 2026 09:04:05 +0100", "X-Priority: 3",
                  "X-Library: Quillor Mail 1.0", "", "12 rue de la Paix", "", "..5 bo\xEEtes", "..", "fin."));
  EXPECT_THAT(message.Body, ElementsAre("12 rue de la Paix", "", "..5 bo\xEEtes", "..", "fin."));

  // A second writing of the same object stuffs once more: the order window rebuilds its body instead.
  wire->written.clear();
  client.WriteMessage(message);
  EXPECT_EQ(wire->written.at(wire->written.size() - 3), "...5 bo\xEEtes");
}

TEST(MessageClientTest, EmptyBodyEndsAtTheSeparatorAndLineBreaksAreRefusedBeforeWriting) {
  auto wire = std::make_shared<test::FakeWire>();
  WireClient client(wire);
  TMailMessage message = OrderMessage();
  client.WriteMessage(message);
  ASSERT_EQ(wire->written.size(), 7u);
  EXPECT_EQ(wire->written.back(), "");

  // Long header values leave folded, the continuation within the header block.
  wire->written.clear();
  message.ExtraHeaders.Add("X-Commentaire", std::string(60, 'a') + " " + std::string(30, 'b'));
  client.WriteMessage(message);
  ASSERT_EQ(wire->written.size(), 9u);
  EXPECT_EQ(wire->written.at(6), "X-Commentaire: " + std::string(60, 'a'));
  EXPECT_EQ(wire->written.at(7), " " + std::string(30, 'b'));
  message.ExtraHeaders.Clear();

  wire->written.clear();
  message.Body = {"ligne", "a\r\n.\r\nMAIL FROM:<x@y>"};
  EXPECT_THROW(client.WriteMessage(message), EUnsafeMailText);
  message.Body = {"ligne"};
  message.Subject = "Commande\r\nBcc: victim@quillor.test";
  EXPECT_THROW(client.WriteMessage(message), EUnsafeMailText);
  message.Subject = "Commande CD";
  message.ExtraHeaders.Add("Bcc: victim@quillor.test\r\nX-Note", "1");
  EXPECT_THROW(client.WriteMessage(message), EUnsafeMailText);
  EXPECT_THAT(wire->written, IsEmpty());
}

TEST(MessageClientTest, DataCopyIsTheWireWithTheStuffingDotsTakenOffAgain) {
  auto wire = std::make_shared<test::FakeWire>();
  WireClient client(wire);
  TMailMessage message = OrderMessage();
  message.Body = {"Pharmacie", "", ".5 bo\xEEtes", ".", "..deux", "fin."};
  TDataCopy copy;
  copy.Lines = {"left over from an earlier sending"};
  copy.Accepted = true;
  client.WriteMessage(message, &copy);

  EXPECT_FALSE(copy.Accepted) << "only the server's 250 after the dot accepts";
  ASSERT_EQ(copy.Lines.size(), wire->written.size());
  for (size_t i = 0; i < copy.Lines.size(); ++i) {
    const std::string& sent = wire->written[i];
    // What a server stores of each data line: one leading dot fewer.
    EXPECT_EQ(copy.Lines[i], sent.empty() || sent[0] != '.' ? sent : sent.substr(1)) << i;
  }
  EXPECT_THAT(std::vector<std::string>(copy.Lines.end() - 6, copy.Lines.end()),
              ElementsAre("Pharmacie", "", ".5 bo\xEEtes", ".", "..deux", "fin."));
  std::string joined;
  for (const std::string& line : copy.Lines) joined += line + "\r\n";
  EXPECT_EQ(copy.Bytes(), joined);
}

TEST(MessageClientTest, RenderedLinesAreWhatAWritingWouldStore) {
  ScopedTimeZone zone("Europe/Paris");
  auto wire = std::make_shared<test::FakeWire>();
  WireClient client(wire);
  TMailMessage message = OrderMessage();
  message.Body = {"Pharmacie", ".5 bo\xEEtes", "."};
  const std::vector<std::string> rendered = TMessageClient::RenderedLines(message);
  EXPECT_THAT(message.Body, ElementsAre("Pharmacie", ".5 bo\xEEtes", ".")) << "rendering changes nothing";
  TDataCopy copy;
  client.WriteMessage(message, &copy);
  EXPECT_EQ(rendered, copy.Lines);

  message.Body = {"a\r\nb"};
  EXPECT_THROW(TMessageClient::RenderedLines(message), EUnsafeMailText);
}

TEST(MailtoLinkTest, EveryPartIsPercentEncodedAsUtf8WithLineBreaks) {
  const std::string link = BuildMailtoLink("commandes@quillor.test", "Commande",
                                           {"Pharmacie R&D #2", "", "3  340093  CR\xC8ME 50% ?x=1", "\x80"});
  EXPECT_EQ(link,
            "mailto:commandes@quillor.test?subject=Commande&body="
            "Pharmacie%20R%26D%20%232%0D%0A%0D%0A3%20%20340093%20%20CR%C3%88ME%2050%25%20%3Fx%3D1%0D%0A"
            "%E2%82%AC%0D%0A");
  EXPECT_EQ(BuildMailtoLink("a&b@quillor.test", "x y", {}), "mailto:a%26b@quillor.test?subject=x%20y&body=");
}

}  // namespace
}  // namespace quillor
