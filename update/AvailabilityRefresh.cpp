#include "update/AvailabilityRefresh.h"

#include "catalogue/KnowledgeImport.h"
#include "update/AvailabilityInUse.h"
#include "update/DataSetStore.h"
#include "update/FrenchText.h"
#include "update/PublicFileCheck.h"
#include "update/PublicFiles.h"
#include "update/UpdateLock.h"

namespace quillor::update {

TAvailabilityRefresh::TAvailabilityRefresh() = default;

TAvailabilityRefresh::~TAvailabilityRefresh() = default;

bool TAvailabilityRefresh::Start(const TUpdateSettings& settings, const std::string& userDataFolder,
                                 TDayDate inUse, TDoneCallback done, std::string* whyNot) {
  if (fRunning) {
    if (whyNot != nullptr) *whyNot = Fr("la mise à jour des disponibilités est déjà en cours");
    return false;
  }
  auto lock = std::make_unique<TUpdateLock>(TDataSetStore(userDataFolder).Folder());
  if (!lock->Held()) {
    if (whyNot != nullptr) *whyNot = lock->Reason();
    return false;
  }
  fLock = std::move(lock);
  fUserDataFolder = userDataFolder;
  fInUse = inUse;
  fDone = std::move(done);
  fRunning = true;
  const std::string name(FileOfRole(TFileRole::kAvailability).name);
  fFetcher.Start(settings, {name}, {}, [this](TFetchOutcome outcome) { Fetched(std::move(outcome)); });
  return true;
}

void TAvailabilityRefresh::Cancel() {
  if (!fRunning) return;
  fRunning = false;
  fDone = nullptr;
  fLock.reset();
  fFetcher.Cancel();
}

void TAvailabilityRefresh::Fetched(TFetchOutcome outcome) {
  using TStatus = TAvailabilityRefreshResult::TStatus;
  if (!fRunning || outcome.status == TFetchOutcome::TStatus::kCancelled) return;
  if (outcome.status == TFetchOutcome::TStatus::kFailed) {
    Finish({TStatus::kFailed, Fr("téléchargement de ") + outcome.reason, kNoDate});
    return;
  }
  const TPublicFile& file = FileOfRole(TFileRole::kAvailability);
  const std::string name(file.name);
  catalogue::ExportFile decoded;
  if (auto fault = CheckPublicFile(file, outcome.files[name], decoded)) {
    Finish({TStatus::kFailed, name + " : " + *fault, kNoDate});
    return;
  }
  const catalogue::TAvailabilityImport imported =
      catalogue::ImportAvailability(decoded, name, kNoDate, Today());
  const TDayDate published = imported.file.published;
  if (published == kNoDate) {
    Finish({TStatus::kFailed, name + Fr(" : aucune date"), kNoDate});
    return;
  }
  if (published <= fInUse) {
    Finish({TStatus::kNotNewer, {}, published});
    return;
  }
  const std::string target = RefreshedAvailabilityFile(fUserDataFolder);
  // Through the durable writer: the file in use stays whole until then.
  std::string why;
  if (!WriteAvailabilityFile(target, imported.file, &why)) {
    Finish({TStatus::kFailed, Fr("impossible d'écrire ") + ShownPath(target) + " : " + why, kNoDate});
    return;
  }
  Finish({TStatus::kRefreshed, {}, published});
}

void TAvailabilityRefresh::Finish(TAvailabilityRefreshResult result) {
  fRunning = false;
  fLock.reset();
  TDoneCallback done = std::move(fDone);
  if (done) done(std::move(result));
}

}  // namespace quillor::update
