// The window of a catalogue update: it shows the step and, while a file
// downloads, its progress in bytes, with "Annuler"; when the new catalogue is
// much smaller than today's, the question, with "Installer quand même" and
// "Abandonner"; at the end, what changed or why nothing did, with "Fermer"
// and, after an update, "Revenir au catalogue précédent".
//
// Not modal: the order window stays usable while it is open, searching and
// composing go on. Closing it while the update runs cancels, as "Annuler"
// does. Owned by the order window (a child). Texts are Windows-1252. GUI
// thread only.
#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "update/CatalogueUpdate.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace quillor {

class TCatalogueUpdateDialog : public QDialog {
 public:
  struct TActions {
    std::function<void()> cancel;
    std::function<void(bool accept)> answer;
    std::function<void()> rollback;
  };

  TCatalogueUpdateDialog(QWidget* owner, TActions actions);
  TCatalogueUpdateDialog(const TCatalogueUpdateDialog&) = delete;
  TCatalogueUpdateDialog& operator=(const TCatalogueUpdateDialog&) = delete;

  // A new update starts: the dialog shows, with "Annuler" only.
  void Started(const std::string& source);
  void Progress(const update::TUpdateProgress& progress);
  void Ask(const std::string& question);
  // The end: `lines` shown, "Fermer", and the undo when `canRollback`.
  void Finished(const std::vector<std::string>& lines, bool canRollback);

  QLabel* StepLabel() const { return fStep; }
  QProgressBar* Bar() const { return fBar; }
  QLabel* Details() const { return fDetails; }
  QPushButton* CancelButton() const { return fCancel; }
  QPushButton* AcceptButton() const { return fAccept; }
  QPushButton* RefuseButton() const { return fRefuse; }
  QPushButton* RollbackButton() const { return fRollback; }
  QPushButton* CloseButton() const { return fClose; }

 protected:
  void reject() override;

 private:
  enum class TState { kRunning, kAsking, kFinished };
  void Show(TState state);

  TActions fActions;
  TState fState = TState::kFinished;
  QLabel* fStep;
  QProgressBar* fBar;
  QLabel* fDetails;
  QPushButton* fCancel;
  QPushButton* fAccept;
  QPushButton* fRefuse;
  QPushButton* fRollback;
  QPushButton* fClose;
};

}  // namespace quillor
