// The strip between the logo and the article list that says which catalogue
// the window uses, with its dates, and holds the way to update it: the button
// "Mettre à jour le catalogue" (Ctrl+M from anywhere in the window, the
// shortcut shown in its tip), whose arrow offers "Revenir au catalogue
// précédent". A second line, when there is one, says how the last update or
// refresh went, so that no box interrupts the order being composed.
//
// Owned by the order window (a child widget). Texts are Windows-1252. GUI
// thread only.
#pragma once

#include <QWidget>
#include <functional>
#include <string>

class QAction;
class QLabel;
class QToolButton;

namespace quillor {

class TCatalogueStrip : public QWidget {
 public:
  static constexpr const char* kShortcut = "Ctrl+M";

  // `update` and `rollback` run when the user asks for them.
  TCatalogueStrip(QWidget* window, std::function<void()> update, std::function<void()> rollback);
  TCatalogueStrip(const TCatalogueStrip&) = delete;
  TCatalogueStrip& operator=(const TCatalogueStrip&) = delete;

  // The catalogue in use ("Catalogue mis à jour le ..."), and the line under it.
  void SetDescription(const std::string& text);
  void SetNote(const std::string& text);
  // While an update runs, neither the button nor the undo can start another.
  void SetUpdating(bool updating);
  // Whether there is an update to undo.
  void SetCanRollback(bool canRollback);

  QLabel* Description() const { return fDescription; }
  QLabel* Note() const { return fNote; }
  QToolButton* UpdateButton() const { return fButton; }
  QAction* RollbackAction() const { return fRollback; }

 private:
  QLabel* fDescription;
  QLabel* fNote;
  QToolButton* fButton;
  QAction* fRollback;
  bool fCanRollback = false;
  bool fUpdating = false;
};

}  // namespace quillor
