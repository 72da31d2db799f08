// The application object's general error handler: an exception that escapes
// an event handler is shown as a message box and goes no further.
#include <gtest/gtest.h>

#include <QEvent>
#include <QObject>
#include <stdexcept>

#include "app/MessagePresenter.h"
#include "app/QuillorApplication.h"
#include "tests/support/TestPresenter.h"

namespace quillor {
namespace {

class ThrowingObject : public QObject {
 public:
  bool event(QEvent* event) override {
    if (event->type() == QEvent::User) throw std::runtime_error("Fichier illisible : caf\xE9");
    return QObject::event(event);
  }
};

TEST(QuillorApplicationTest, ExceptionFromAnEventHandlerIsShownAndTheLoopGoesOn) {
  int argc = 1;
  char name[] = "application_test";
  char* argv[] = {name, nullptr};
  QuillorApplication application(argc, argv);
  EXPECT_EQ(QCoreApplication::applicationName(), QStringLiteral("Quillor"));
  std::vector<std::string> shown;
  test::ScopedPresenter recording(
      std::make_unique<test::TestPresenter>([&shown](TMessageKind kind, const std::string& text) {
        shown.push_back((kind == TMessageKind::Error ? "error: " : "info: ") + text);
      }));

  ThrowingObject object;
  QEvent first(QEvent::User);
  EXPECT_FALSE(QCoreApplication::sendEvent(&object, &first));
  QCoreApplication::postEvent(&object, new QEvent(QEvent::User));
  QCoreApplication::processEvents();

  EXPECT_EQ(shown, (std::vector<std::string>{"error: Fichier illisible : caf\xE9",
                                             "error: Fichier illisible : caf\xE9"}));
}

}  // namespace
}  // namespace quillor
