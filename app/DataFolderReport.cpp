#include "app/DataFolderReport.h"

#include "app/MessagePresenter.h"

namespace quillor {

void TDataFolderReport::Failed(const std::string& what, const std::string& place, const std::string& reason) {
  if (fShown) return;
  fShown = true;
  ShowErrorMessage("Impossible d'enregistrer " + what + " dans " + place + " : " + reason +
                   ".\nTant que ce dossier reste inaccessible, ni la commande en cours ni le journal des "
                   "commandes n'y sont conserv\xE9s. L'envoi des commandes n'en est pas emp\xEA"
                   "ch\xE9.");
}

}  // namespace quillor
