// What the window keeps across runs: the kept draft of the order, restored
// at start-up and let go at a normal close, and the closing path that saves
// the address without ever trapping the user in the window.
#include <QPlainTextEdit>
#include <QTextDocument>
#include <ctime>

#include "app/DraftKeeper.h"
#include "app/MessagePresenter.h"
#include "app/Quillor_Unit.h"
#include "app/UserFiles.h"

namespace quillor {

namespace {

enum TAddressChoice : size_t { kRetry, kQuitWithoutSaving, kStay };

}  // namespace

void TQuillor_Form::RestoreKeptDraft() {
  const std::string fileName = DraftFileName();
  fDraftKeeper = std::make_unique<TDraftKeeper>(
      fileName,
      [this, fileName](const std::string& reason) {
        fDataFolderReport.Failed("le brouillon de la commande", DisplayFileName(fileName), reason);
      },
      [this] { fDataFolderReport.Succeeded(); });
  const TOrderTexts loaded = OrderTexts();
  const std::optional<TOrderDraft> draft = fDraftKeeper->RestoreAndStart(loaded, std::time(nullptr));
  if (draft) {
    if (draft->address != loaded.address) {
      Adresse_Memo->setPlainText(QString::fromStdString(draft->address));
      // An address typed before a crash has not reached the user's copy
      // yet: it is saved at this run's close.
      Adresse_Memo->document()->setModified(true);
    }
    if (draft->message) Message_Memo->setPlainText(QString::fromStdString(*draft->message));
  }
  // The keeper is handed the order's texts at each change from here on.
  auto changed = [this] {
    if (fDraftKeeper) fDraftKeeper->Changed(OrderTexts());
  };
  connect(Message_Memo, &QPlainTextEdit::textChanged, this, changed);
  connect(Adresse_Memo, &QPlainTextEdit::textChanged, this, changed);
}

bool TQuillor_Form::CloseAfterSavingAddress() {
  // The sending ends first: its progress window has the button for that.
  if (fSending) return false;
  for (;;) {
    try {
      FormClose();
      break;
    } catch (const std::exception& error) {
      const size_t choice =
          AskErrorChoice(std::string(error.what()) +
                             "\n\nR\xE9"
                             "essayer l'enregistrement, ou quitter sans enregistrer l'adresse ?",
                         {"R\xE9"
                          "essayer",
                          "Quitter sans enregistrer", "Annuler"},
                         kStay);
      if (choice == kRetry) continue;
      if (choice == kStay) return false;
      break;
    }
  }
  // A close the user asked for lets the order go, as it always did.
  if (fDraftKeeper) fDraftKeeper->Discard();
  return true;
}

}  // namespace quillor
