#include "app/CatalogueUpdater.h"

#include "app/CatalogueUpdateDialog.h"
#include "update/DataSetStore.h"
#include "update/FrenchText.h"
#include "update/UpdateLock.h"

namespace quillor {

using update::Fr;

TCatalogueUpdater::TCatalogueUpdater(QWidget* window, THooks hooks) : fHooks(std::move(hooks)) {
  fDialog = new TCatalogueUpdateDialog(
      window, {[this] { fUpdate.Cancel(); }, [this](bool accept) { fUpdate.Confirm(accept); },
               [this] { Rollback(); }});
}

TCatalogueUpdater::~TCatalogueUpdater() = default;

void TCatalogueUpdater::Update() {
  if (fUpdate.IsRunning()) {
    fDialog->show();
    fDialog->raise();
    return;
  }
  update::TUpdateRequest request = fHooks.request();
  const std::string source = update::DescribeSource(request.settings.source);
  std::string whyNot;
  fDialog->Started(source);
  const bool started = fUpdate.Start(
      std::move(request), [this](const update::TUpdateProgress& progress) { fDialog->Progress(progress); },
      [this](const std::string& question) { fDialog->Ask(question); },
      [this](update::TUpdateResult result) { Done(std::move(result)); }, &whyNot);
  if (!started) {
    Done({update::TUpdateResult::TStatus::kFailed, whyNot, {}, {}});
    return;
  }
  if (fHooks.running) fHooks.running(true);
}

void TCatalogueUpdater::Done(update::TUpdateResult result) {
  if (fHooks.running) fHooks.running(false);
  const bool updated = result.status == update::TUpdateResult::TStatus::kUpdated;
  fDialog->Finished(result.Lines(), updated);
  if (updated && fHooks.changed) fHooks.changed();
}

void TCatalogueUpdater::Rollback() {
  if (fUpdate.IsRunning()) {
    fDialog->show();
    fDialog->raise();
    return;
  }
  const std::string dataFolder = fHooks.request().dataFolder;
  update::TDataSetStore store(dataFolder);
  update::TUpdateLock lock(store.Folder());
  std::string why;
  if (!lock.Held()) {
    why = lock.Reason();
  } else if (store.Rollback(&why)) {
    fDialog->Finished({Fr("Catalogue précédent rétabli : la dernière mise à jour est défaite.")}, false);
    if (fHooks.changed) fHooks.changed();
    return;
  }
  fDialog->Finished({Fr("Impossible de revenir au catalogue précédent : ") + why}, false);
}

}  // namespace quillor
