#include "update/CatalogueUpdate.h"

#include <QObject>
#include <cmath>

#include "update/FrenchText.h"
#include "update/PublicFiles.h"
#include "update/UpdateLock.h"

namespace quillor::update {
namespace {

std::string Moment(std::time_t now) {
  std::tm local{};
  ::localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%d/%m/%Y %H:%M", &local);
  return text;
}

int Percent(size_t part, size_t whole) {
  return whole == 0 ? 100 : static_cast<int>(std::floor(100.0 * static_cast<double>(part) / whole));
}

}  // namespace

std::vector<std::string> TUpdateResult::Lines() const {
  switch (status) {
    case TStatus::kUpdated: {
      std::vector<std::string> lines = {
          Fr("Catalogue mis à jour : ") + std::to_string(set.manifest.articles) + Fr(" articles") +
          (set.manifest.databaseDay > 0
               ? Fr(" (base publique du ") + FormatDayDate(set.manifest.databaseDay) + ")"
               : std::string())};
      for (std::string& line : ChangeLines(changes)) lines.push_back(std::move(line));
      return lines;
    }
    case TStatus::kCancelled:
      return {Fr("Mise à jour annulée : le catalogue reste celui d'avant.") +
              (reason.empty() ? std::string() : " (" + reason + ")")};
    case TStatus::kFailed:
      break;
  }
  return {Fr("Mise à jour impossible : ") + reason, Fr("Le catalogue reste celui d'avant.")};
}

TCatalogueUpdate::TCatalogueUpdate() : fContext(std::make_unique<QObject>()) {}

TCatalogueUpdate::~TCatalogueUpdate() {
  fCancelled = true;
  JoinWorker();
  // Pending callbacks die with their context.
  fContext.reset();
}

bool TCatalogueUpdate::Start(TUpdateRequest request, TProgressCallback progress, TConfirmCallback confirm,
                             TDoneCallback done, std::string* whyNot) {
  if (fRunning) {
    if (whyNot != nullptr) *whyNot = Fr("une mise à jour du catalogue est déjà en cours");
    return false;
  }
  JoinWorker();
  auto lock = std::make_unique<TUpdateLock>(TDataSetStore(request.dataFolder).Folder());
  if (!lock->Held()) {
    if (whyNot != nullptr) *whyNot = lock->Reason();
    return false;
  }
  fLock = std::move(lock);
  fRequest = std::move(request);
  fProgress = std::move(progress);
  fConfirm = std::move(confirm);
  fDone = std::move(done);
  fRunning = true;
  fCancelled = false;
  fImported.reset();
  fStep = TUpdateStep::kDownloading;
  std::vector<std::string> names;
  for (const TPublicFile& file : CatalogueFiles()) names.emplace_back(file.name);
  fFetcher.Start(
      fRequest.settings, std::move(names),
      [this](const TFileProgress& file) {
        if (fProgress) fProgress({TUpdateStep::kDownloading, file});
      },
      [this](TFetchOutcome outcome) { Fetched(std::move(outcome)); });
  return true;
}

void TCatalogueUpdate::Cancel() {
  if (!fRunning || fCancelled) return;
  fCancelled = true;
  switch (fStep) {
    case TUpdateStep::kDownloading:
      fFetcher.Cancel();
      break;
    case TUpdateStep::kConfirming:
      QMetaObject::invokeMethod(
          fContext.get(),
          [this] {
            Finish({TUpdateResult::TStatus::kCancelled, {}, {}, {}});
          },
          Qt::QueuedConnection);
      break;
    case TUpdateStep::kImporting:
    case TUpdateStep::kInstalling:
      // The worker's step ends first; its outcome then sees the cancel.
      break;
  }
}

void TCatalogueUpdate::Confirm(bool accept) {
  if (!fRunning || fStep != TUpdateStep::kConfirming || fCancelled) return;
  if (accept) {
    Install();
    return;
  }
  fCancelled = true;
  const TCatalogueChanges& changes = fImported->changes;
  QMetaObject::invokeMethod(
      fContext.get(),
      [this,
       reason = Fr("le nouveau catalogue de ") + std::to_string(changes.after) + Fr(" articles est refusé")] {
        Finish({TUpdateResult::TStatus::kCancelled, reason, {}, {}});
      },
      Qt::QueuedConnection);
}

void TCatalogueUpdate::Fetched(TFetchOutcome outcome) {
  if (fCancelled || outcome.status == TFetchOutcome::TStatus::kCancelled) {
    Finish({TUpdateResult::TStatus::kCancelled, {}, {}, {}});
    return;
  }
  if (outcome.status == TFetchOutcome::TStatus::kFailed) {
    Finish({TUpdateResult::TStatus::kFailed, Fr("téléchargement de ") + outcome.reason, {}, {}});
    return;
  }
  fStep = TUpdateStep::kImporting;
  if (fProgress) fProgress({TUpdateStep::kImporting, {}});
  auto imported = std::make_shared<TImported>();
  auto files = std::make_shared<std::map<std::string, std::string>>(std::move(outcome.files));
  const std::string currentFile = fRequest.currentArticleFile;
  const std::string availabilityFile = fRequest.currentAvailabilityFile;
  RunOnWorker(
      [imported, files, currentFile, availabilityFile] {
        imported->import = ImportPublicFiles(*files, Today());
        files->clear();
        if (!imported->import.ok) return;
        const TNewCatalogue& catalogue = imported->import.catalogue;
        const auto current = currentFile.empty() ? std::nullopt : ReadArticleFile(currentFile);
        imported->changes =
            CompareCatalogues(current.value_or(std::vector<TArticleRow>()), catalogue.articles);
        TAvailabilityFile before;
        const bool known =
            !availabilityFile.empty() && ReadAvailabilityFile(availabilityFile, before).Usable();
        CompareShortages(catalogue.articles, catalogue.specialityOfArticle, known ? &before : nullptr,
                         catalogue.availability, imported->changes);
      },
      [this, imported] { Imported(imported); });
}

void TCatalogueUpdate::Imported(std::shared_ptr<TImported> imported) {
  if (fCancelled) {
    Finish({TUpdateResult::TStatus::kCancelled, {}, {}, {}});
    return;
  }
  if (!imported->import.ok) {
    Finish({TUpdateResult::TStatus::kFailed, imported->import.reason, {}, {}});
    return;
  }
  fImported = std::move(imported);
  const TCatalogueChanges& changes = fImported->changes;
  const bool tooSmall = changes.before > 0 && static_cast<double>(changes.after) <
                                                  kMinimumShare * static_cast<double>(changes.before);
  if (!tooSmall || fRequest.force) {
    Install();
    return;
  }
  const std::string shortfall = Fr("le nouveau catalogue n'a que ") + std::to_string(changes.after) +
                                Fr(" articles, ") + std::to_string(Percent(changes.after, changes.before)) +
                                Fr(" % des ") + std::to_string(changes.before) + Fr(" d'aujourd'hui");
  if (!fConfirm) {
    TUpdateResult refused{TUpdateResult::TStatus::kFailed, shortfall, {}, fImported->changes};
    refused.tooSmall = true;
    Finish(std::move(refused));
    return;
  }
  fStep = TUpdateStep::kConfirming;
  if (fProgress) fProgress({TUpdateStep::kConfirming, {}});
  fConfirm(Fr("Attention : ") + shortfall + Fr(". L'installer quand même ?"));
}

void TCatalogueUpdate::Install() {
  fStep = TUpdateStep::kInstalling;
  if (fProgress) fProgress({TUpdateStep::kInstalling, {}});
  auto installed = std::make_shared<TInstalled>();
  std::shared_ptr<TImported> imported = fImported;
  const std::string dataFolder = fRequest.dataFolder;
  const TUpdateSource source = fRequest.settings.source;
  std::atomic<bool>* cancelled = &fCancelled;
  RunOnWorker(
      [installed, imported, dataFolder, source, cancelled] {
        const std::time_t now = std::time(nullptr);
        const TNewCatalogue& catalogue = imported->import.catalogue;
        const TSetManifest manifest{DescribeSource(source), Moment(now), catalogue.databaseDay,
                                    catalogue.articles.size()};
        TDataSetStore store(dataFolder);
        installed->set = store.Install(
            catalogue.files, manifest, now, &installed->error, [cancelled] { return cancelled->load(); },
            &installed->cancelled);
      },
      [this, installed] { Installed(installed); });
}

void TCatalogueUpdate::Installed(std::shared_ptr<TInstalled> installed) {
  if (installed->set) {
    Finish({TUpdateResult::TStatus::kUpdated, {}, *installed->set, fImported->changes});
  } else if (installed->cancelled) {
    Finish({TUpdateResult::TStatus::kCancelled, {}, {}, {}});
  } else {
    Finish({TUpdateResult::TStatus::kFailed, installed->error, {}, {}});
  }
}

void TCatalogueUpdate::Finish(TUpdateResult result) {
  if (!fRunning) return;
  fRunning = false;
  fImported.reset();
  fLock.reset();
  TDoneCallback done = std::move(fDone);
  fProgress = nullptr;
  fConfirm = nullptr;
  if (done) done(std::move(result));
}

void TCatalogueUpdate::RunOnWorker(std::function<void()> work, std::function<void()> then) {
  JoinWorker();
  QObject* context = fContext.get();
  fWorker = std::thread([work = std::move(work), then = std::move(then), context]() mutable {
    work();
    // Queued to the context's thread; dropped if the context is gone.
    QMetaObject::invokeMethod(context, std::move(then), Qt::QueuedConnection);
  });
}

void TCatalogueUpdate::JoinWorker() {
  if (fWorker.joinable()) fWorker.join();
}

}  // namespace quillor::update
