// TCatalogueUpdate: one update of the catalogue, from the public database's
// files to a new current data set, for the window and for the tool alike:
//
//   1. the store is locked against a second update (TUpdateLock);
//   2. the files are downloaded (TFetcher), each with its progress in bytes;
//   3. on a worker thread, they are checked and imported into a new
//      catalogue (ImportPublicFiles), which is compared with the one in use;
//   4. a catalogue with fewer than kMinimumShare of today's articles is
//      taken only when forced, or when the caller, asked through `confirm`,
//      answers Confirm(true);
//   5. on a worker thread, the new set is written whole and made current
//      (TDataSetStore::Install).
//
// A failure or a cancel at any step leaves the data in use as it was and says
// why, in French (Windows-1252). Cancel() during steps 2 and 4 ends the update
// at once; during 3 and 5 it ends it as soon as the worker has finished its
// step (the import cannot stop halfway, and a set whose pointer was already
// written is reported as installed, since it is).
//
// Callbacks come from the event loop of the thread that called Start (never
// from within Start, Cancel or Confirm); `done` comes exactly once per
// started update, after which IsRunning() is false. Destroying the object
// ends what runs (waiting for the worker) without calling back. One thread.
#pragma once

#include <atomic>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "update/CatalogueChanges.h"
#include "update/CatalogueImportStep.h"
#include "update/DataSetStore.h"
#include "update/Fetcher.h"
#include "update/UpdateSource.h"

class QObject;

namespace quillor::update {

class TUpdateLock;

struct TUpdateRequest {
  TUpdateSettings settings = DefaultUpdateSettings();
  std::string dataFolder;  // the user's data folder, which holds the store
  // The article file in use now, which the new one is compared with; empty
  // or unreadable: nothing to compare with (every article is new).
  std::string currentArticleFile;
  // Its availability (LocateAvailability), which the new one is compared
  // with; empty or unusable: the shortages before are unknown.
  std::string currentAvailabilityFile;
  // Take a catalogue smaller than kMinimumShare of today's without asking.
  bool force = false;
};

enum class TUpdateStep { kDownloading, kImporting, kConfirming, kInstalling };

struct TUpdateProgress {
  TUpdateStep step = TUpdateStep::kDownloading;
  TFileProgress file;  // kDownloading only
};

struct TUpdateResult {
  enum class TStatus { kUpdated, kFailed, kCancelled };
  TStatus status = TStatus::kFailed;
  std::string reason;  // kFailed and kCancelled: why, in French
  TDataSet set;        // kUpdated: the set now current
  TCatalogueChanges changes;
  // kFailed because the new catalogue holds fewer than kMinimumShare of
  // today's articles and nobody confirmed it (force would take it).
  bool tooSmall = false;

  // What to tell the user, a few lines in French: what changed, or why
  // nothing did.
  std::vector<std::string> Lines() const;
};

class TCatalogueUpdate {
 public:
  // Below this share of today's articles, a new catalogue is taken only when
  // the user confirms it.
  static constexpr double kMinimumShare = 0.9;

  using TProgressCallback = std::function<void(const TUpdateProgress&)>;
  using TConfirmCallback = std::function<void(const std::string& question)>;
  using TDoneCallback = std::function<void(TUpdateResult)>;

  TCatalogueUpdate();
  ~TCatalogueUpdate();
  TCatalogueUpdate(const TCatalogueUpdate&) = delete;
  TCatalogueUpdate& operator=(const TCatalogueUpdate&) = delete;

  // Starts an update. False, with `whyNot` in French, when one is already
  // running here or in another process, or when the data folder cannot be
  // written: nothing starts and no callback comes. `confirm` may be empty:
  // a catalogue too small then fails unless forced.
  bool Start(TUpdateRequest request, TProgressCallback progress, TConfirmCallback confirm, TDoneCallback done,
             std::string* whyNot);
  void Cancel();
  // The answer to `confirm`: take the smaller catalogue, or leave it.
  void Confirm(bool accept);
  bool IsRunning() const { return fRunning; }

 private:
  struct TImported {
    TImportOutcome import;
    TCatalogueChanges changes;
  };
  struct TInstalled {
    std::optional<TDataSet> set;
    std::string error;
    bool cancelled = false;
  };

  void Fetched(TFetchOutcome outcome);
  void Imported(std::shared_ptr<TImported> imported);
  void Install();
  void Installed(std::shared_ptr<TInstalled> installed);
  void Finish(TUpdateResult result);
  // Runs `work` on the worker thread, then `then` back on this thread.
  void RunOnWorker(std::function<void()> work, std::function<void()> then);
  void JoinWorker();

  TUpdateRequest fRequest;
  TProgressCallback fProgress;
  TConfirmCallback fConfirm;
  TDoneCallback fDone;
  bool fRunning = false;
  TUpdateStep fStep = TUpdateStep::kDownloading;
  std::atomic<bool> fCancelled{false};
  std::unique_ptr<TUpdateLock> fLock;
  TFetcher fFetcher;
  std::shared_ptr<TImported> fImported;
  std::thread fWorker;
  std::unique_ptr<QObject> fContext;
};

}  // namespace quillor::update
