#include "app/ErrorHandler.h"

#include "app/MessagePresenter.h"

namespace quillor {

void ShowException(const std::exception& error) {
  ShowErrorMessage(error.what());
}

void ShowUnknownException() {
  ShowErrorMessage("Erreur inattendue.");
}

}  // namespace quillor
