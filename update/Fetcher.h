// TFetcher: downloads the public database's files of an update, one after
// the other, into memory: from an https:// address, checking the server's
// certificate (against the system's authorities, or the settings' CA file),
// or from a folder of files already downloaded.
//
// Each file reports its progress in bytes. Connecting and every read have
// their time-outs (UpdateSource.h); a redirect is followed only to another
// https:// address (never to plain HTTP, and at most kMaxRedirects times); a
// file must arrive whole (as long as the server announced it) and below
// kMaxFileBytes. Cancel() ends the download at any moment.
//
// Runs in the calling thread's event loop and never blocks it: Start()
// returns at once, and the outcome arrives through the `done` callback, from
// the event loop, exactly once (never from within Start or Cancel). Nothing
// is written to disk. Destroying the fetcher aborts what runs, without
// calling back. One thread (the one that made it).
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "update/UpdateSource.h"

namespace quillor::update {

struct TFileProgress {
  std::string name;  // the file's published name
  size_t index = 0;  // 0-based, of `count`
  size_t count = 0;
  int64_t received = 0;  // bytes so far
  int64_t total = -1;    // bytes announced, -1 when unknown
};

struct TFetchOutcome {
  enum class TStatus { kDone, kFailed, kCancelled };
  TStatus status = TStatus::kFailed;
  // kFailed: why, in French (Windows-1252), naming the file.
  std::string reason;
  // kDone: every file's bytes, by published name.
  std::map<std::string, std::string> files;
};

class TFetcher {
 public:
  // Beyond this a file is not the one expected (the largest is a few MB).
  static constexpr int64_t kMaxFileBytes = 256 << 20;
  static constexpr int kMaxRedirects = 5;

  using TProgressCallback = std::function<void(const TFileProgress&)>;
  using TDoneCallback = std::function<void(TFetchOutcome)>;

  TFetcher();
  ~TFetcher();
  TFetcher(const TFetcher&) = delete;
  TFetcher& operator=(const TFetcher&) = delete;

  // Starts fetching `names` from the settings' source. REQUIRES: !IsRunning().
  void Start(const TUpdateSettings& settings, std::vector<std::string> names, TProgressCallback progress,
             TDoneCallback done);
  // Ends the fetch; `done` then gets kCancelled. Does nothing when idle.
  void Cancel();
  bool IsRunning() const;

 private:
  class TRun;
  std::unique_ptr<TRun> fRun;
};

}  // namespace quillor::update
