#include "app/DraftKeeper.h"

#include "app/UserFiles.h"
#include "trace/TraceUnit.h"

namespace quillor {

TDraftKeeper::TDraftKeeper(std::string fileName, TFailure onFailure, std::function<void()> onSuccess)
    : fFileName(std::move(fileName)), fOnFailure(std::move(onFailure)), fOnSuccess(std::move(onSuccess)) {
  fTimer.setSingleShot(true);
  connect(&fTimer, &QTimer::timeout, this, &TDraftKeeper::SaveNow);
}

std::optional<TOrderDraft> TDraftKeeper::RestoreAndStart(const TOrderTexts& baseline, std::time_t now) {
  fBaseline = baseline;
  fCurrent = baseline;
  fKeeping = true;
  std::string error;
  std::optional<TOrderDraft> draft = LoadOrderDraft(fFileName, &error);
  if (draft) {
    fCurrent.address = draft->address;
    if (draft->message) fCurrent.message = *draft->message;
  } else if (!error.empty()) {
    const std::string where = DisplayFileName(fFileName);
    std::string why;
    if (const std::optional<std::string> aside = SetAsideUnreadableFile(fFileName, now, &why)) {
      Trace().TraceError("TDraftKeeper.RestoreAndStart: " + error + " (" + where +
                         ") ; il a \xE9t\xE9 mis de c\xF4t\xE9 sous le nom " + DisplayFileName(*aside));
    } else {
      // Whatever it holds stays for the user to look at.
      fKeeping = false;
      Trace().TraceError("TDraftKeeper.RestoreAndStart: " + error + " (" + where +
                         ") et n'a pu \xEAtre mis de c\xF4t\xE9 : " + why +
                         ". La commande en cours ne sera pas conserv\xE9"
                         "e pendant cette session.");
    }
  }
  return draft;
}

void TDraftKeeper::Changed(TOrderTexts current) {
  fCurrent = std::move(current);
  if (!fKeeping) return;
  fPending = true;
  if (!fTimer.isActive()) fTimer.start(kSaveDelayMs);
}

void TDraftKeeper::StartAfresh(const TOrderTexts& current) {
  fBaseline.message = current.message;
  fCurrent = current;
  fPending = true;
  SaveNow();
}

void TDraftKeeper::SaveNow() {
  fTimer.stop();
  if (!fKeeping || !fPending) return;
  fPending = false;
  std::string error;
  bool written = false;
  if (fCurrent == fBaseline) {
    written = RemoveOrderDraft(fFileName, &error);
  } else {
    TOrderDraft draft;
    draft.address = fCurrent.address;
    if (fCurrent.message != fBaseline.message) draft.message = fCurrent.message;
    written = SaveOrderDraft(fFileName, draft, &error);
  }
  if (written) {
    fOnSuccess();
  } else {
    fOnFailure(error);
  }
}

void TDraftKeeper::Discard() {
  fTimer.stop();
  const bool keeping = fKeeping;
  fKeeping = false;
  fPending = false;
  // A draft that could not be set aside is the user's to look at.
  if (!keeping) return;
  std::string error;
  if (!RemoveOrderDraft(fFileName, &error)) fOnFailure(error);
}

}  // namespace quillor
