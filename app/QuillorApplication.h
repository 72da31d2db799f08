// The application object: a QApplication whose event dispatch shows any
// exception an event handler lets escape, instead of letting it unwind
// through Qt. It also names the application, which fixes where the user's
// copy of the address is kept.
#pragma once

#include <QApplication>

#include "update/UserFolders.h"

namespace quillor {

class QuillorApplication : public QApplication {
 public:
  QuillorApplication(int& argc, char** argv);
  QuillorApplication(const QuillorApplication&) = delete;
  QuillorApplication& operator=(const QuillorApplication&) = delete;

  bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace quillor
