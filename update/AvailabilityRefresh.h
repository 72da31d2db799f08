// TAvailabilityRefresh: the medicines agency's availability file fetched
// alone (it is small, and changes every week), checked, and kept in the store
// (AvailabilityInUse.h) when it is newer than the availability in use. Meant
// to run in the background at start-up; it never touches the catalogue, and
// a failure changes nothing.
//
// The store is locked while it runs, so that it never meets an update or an
// undo (an update that runs makes Start refuse). `done` comes from the event
// loop of the thread that called Start, once, never from within Start.
// Cancel() ends the refresh at once, lets the store go and calls nothing
// back, so that an update may start right after; so does destroying the
// object. One thread.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "knowledge/DayDate.h"
#include "update/Fetcher.h"
#include "update/UpdateSource.h"

namespace quillor::update {

class TUpdateLock;

struct TAvailabilityRefreshResult {
  enum class TStatus {
    kRefreshed,  // a newer file is kept, and is now the one in use
    kNotNewer,   // the file fetched is not newer than the one in use: kept nothing
    kFailed,
  };
  TStatus status = TStatus::kFailed;
  std::string reason;            // kFailed: why, in French (Windows-1252)
  TDayDate published = kNoDate;  // the fetched file's date (kRefreshed, kNotNewer)
};

class TAvailabilityRefresh {
 public:
  // Beyond this age, the window refreshes the availability at start-up.
  static constexpr int kMaxAgeDays = 7;

  using TDoneCallback = std::function<void(TAvailabilityRefreshResult)>;

  TAvailabilityRefresh();
  ~TAvailabilityRefresh();
  TAvailabilityRefresh(const TAvailabilityRefresh&) = delete;
  TAvailabilityRefresh& operator=(const TAvailabilityRefresh&) = delete;

  // Fetches the availability from the settings' source; `inUse` is the date
  // of the availability in use. False, with `whyNot`, when it cannot start
  // (an update runs, the data folder cannot be written): no callback then.
  bool Start(const TUpdateSettings& settings, const std::string& userDataFolder, TDayDate inUse,
             TDoneCallback done, std::string* whyNot);
  void Cancel();
  bool IsRunning() const { return fRunning; }

 private:
  void Fetched(TFetchOutcome outcome);
  void Finish(TAvailabilityRefreshResult result);

  std::string fUserDataFolder;
  TDayDate fInUse = kNoDate;
  TDoneCallback fDone;
  bool fRunning = false;
  std::unique_ptr<TUpdateLock> fLock;
  TFetcher fFetcher;
};

}  // namespace quillor::update
