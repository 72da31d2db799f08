#include "QuillorApplication.h"

#include <exception>

#include "ErrorHandler.h"

namespace quillor {

void SetApplicationIdentity() {
  QCoreApplication::setOrganizationName(QStringLiteral("Quillor"));
  QCoreApplication::setApplicationName(QStringLiteral("Quillor"));
}

QuillorApplication::QuillorApplication(int& argc, char** argv) : QApplication(argc, argv) {
  SetApplicationIdentity();
}

bool QuillorApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    ShowException(error);
  } catch (...) {
    ShowUnknownException();
  }
  return false;
}

}  // namespace quillor
