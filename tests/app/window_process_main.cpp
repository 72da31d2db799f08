// A real Quillor process for the tests that kill one: the window built as
// the program's main() builds it, driven by its arguments instead of a user.
// Message boxes go to stderr (a test never waits on a box).
//
//   window_process type <message text> <address text>
//       types both texts, key by key ("\n" as Enter), at the end of the
//       order message and of the address, prints "typed" and runs until
//       it is killed;
//   window_process send <port> <message text>
//       types the text at the end of the order message, prints "sending",
//       and sends the order to 127.0.0.1:<port> (waiting up to two minutes
//       for each reply), then runs until it is killed;
//   window_process show
//       prints the order message, a line "--", and the address, as shown
//       once started (UTF-8), then ends at once without closing the window.
// A mailto: link is printed ("mailto: <link>"), never opened.
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/MessagePresenter.h"
#include "app/QuillorApplication.h"
#include "app/Quillor_Unit.h"
#include "app/WidgetText.h"
#include "tests/support/TestPresenter.h"

namespace {

void TypeInto(QPlainTextEdit& memo, const char* text) {
  memo.setFocus();
  memo.moveCursor(QTextCursor::End);
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c == '\n') {
      QTest::keyClick(&memo, Qt::Key_Return);
    } else {
      QTest::keyClicks(&memo, QString(QChar::fromLatin1(*c)));
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  quillor::QuillorApplication application(argc, argv);
  quillor::SetMessagePresenter(
      std::make_unique<quillor::test::TestPresenter>([](quillor::TMessageKind, const std::string& text) {
        std::fprintf(stderr, "box: %s\n", text.c_str());
      }));
  const bool typing = argc == 4 && std::strcmp(argv[1], "type") == 0;
  const bool sending = argc == 4 && std::strcmp(argv[1], "send") == 0;
  const bool showing = argc == 2 && std::strcmp(argv[1], "show") == 0;
  if (!typing && !sending && !showing) {
    std::fprintf(stderr, "usage: %s type <message> <address> | send <port> <message> | show\n", argv[0]);
    return 2;
  }
  quillor::TQuillorOptions options;
  options.openUrl = [](const std::string& url) {
    std::printf("mailto: %s\n", url.c_str());
    std::fflush(stdout);
    return true;
  };
  if (sending) {
    options.sending.host = "127.0.0.1";
    options.sending.port = static_cast<uint16_t>(std::atoi(argv[2]));
    options.sending.sender = "commandes@quillor.test";
    options.sending.orderMailbox = "reception@quillor.test";
    options.sending.replyTimeoutMs = 120000;
  }
  quillor::TQuillor_Form form(options);
  QTimer::singleShot(0, [&] {
    if (sending) {
      TypeInto(*form.Message_Memo, argv[3]);
      std::printf("sending\n");
      std::fflush(stdout);
      form.Button2Click();
      return;
    }
    if (typing) {
      TypeInto(*form.Message_Memo, argv[2]);
      TypeInto(*form.Adresse_Memo, argv[3]);
      std::printf("typed\n");
      std::fflush(stdout);
      return;
    }
    std::printf("%s\n--\n%s", quillor::MemoUnicodeText(*form.Message_Memo).toUtf8().constData(),
                quillor::MemoUnicodeText(*form.Adresse_Memo).toUtf8().constData());
    std::fflush(stdout);
    std::_Exit(0);
  });
  return application.exec();
}
