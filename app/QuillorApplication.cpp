#include "app/QuillorApplication.h"

#include <exception>

#include "app/ErrorHandler.h"

namespace quillor {

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
