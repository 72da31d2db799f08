#include "CatalogueUpdater.h"

#include "CatalogueUpdateDialog.h"
#include "DataSetStore.h"
#include "FrenchText.h"
#include "UpdateLock.h"

namespace quillor {
namespace {

using update::Fr;

std::string Plural(size_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + Fr(count == 1 ? one : many);
}

// The strip's line after an update: its moment and what changed, briefly.
std::string UpdatedNote(const update::TUpdateResult& result) {
  const update::TCatalogueChanges& changes = result.changes;
  return Fr("Mise à jour : ") + Plural(changes.added, "article ajouté", "articles ajoutés") + ", " +
         Plural(changes.withdrawn, "retiré", "retirés") + ", " +
         Plural(changes.pricesChanged, "prix modifié", "prix modifiés");
}

}  // namespace

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
  if (!fHooks.note) return;
  switch (result.status) {
    case update::TUpdateResult::TStatus::kUpdated:
      fHooks.note(UpdatedNote(result));
      break;
    case update::TUpdateResult::TStatus::kCancelled:
      fHooks.note(Fr("Dernière mise à jour annulée"));
      break;
    case update::TUpdateResult::TStatus::kFailed:
      fHooks.note(Fr("Dernière mise à jour impossible : ") + result.reason);
      break;
  }
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
    if (fHooks.note) fHooks.note(Fr("Catalogue précédent rétabli"));
    return;
  }
  fDialog->Finished({Fr("Impossible de revenir au catalogue précédent : ") + why}, false);
}

}  // namespace quillor
