// The small window shown while an order is being sent: it names the step in
// French (and, once the order is transmitted, that it waits for the server's
// confirmation) and offers "Annuler", which ends the sending at once. Modal
// to the order window, which meanwhile takes no input at all (TInputBlocker).
// Cancelling is deliberate: a click on Annuler, closing the window or Escape.
// No other key acts on it, since the button never takes the focus: keys
// typed into the order as the sending starts are lost, never a cancel.
// Owned by the sending (a child of the order window). GUI thread only.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

class QLabel;
class QPushButton;

namespace quillor {

class TSendingProgress : public QDialog {
 public:
  // The texts of the steps (Windows-1252).
  static constexpr const char* kConnecting = "Connexion au serveur de commandes\x85";
  static constexpr const char* kSigningIn = "Authentification\x85";
  static constexpr const char* kSending = "Envoi de la commande\x85";
  static constexpr const char* kAwaitingConfirmation =
      "Commande transmise, attente de la confirmation du serveur\x85";
  static constexpr const char* kCancelling = "Annulation\x85";

  // `onCancel` runs once, when the user cancels.
  TSendingProgress(QWidget* owner, std::function<void()> onCancel);
  TSendingProgress(const TSendingProgress&) = delete;
  TSendingProgress& operator=(const TSendingProgress&) = delete;

  // Shows `step` and makes sure it is on screen.
  void SetStep(const std::string& step);
  QLabel* StepLabel() const { return fStep; }
  QPushButton* CancelButton() const { return fCancel; }

 protected:
  void reject() override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QLabel* fStep;
  QPushButton* fCancel;
  std::function<void()> fOnCancel;
};

}  // namespace quillor
