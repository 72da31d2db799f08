// TUpdateLock: one change of the catalogue at a time, across processes (the
// window and quillor-catalogue of one user): held for the whole of an update
// or an undo, from before the first download to the last file written. A
// lock left by a process that died is taken over.
//
// Not copyable; released when destroyed. Any thread.
#pragma once

#include <memory>
#include <string>

class QLockFile;

namespace quillor::update {

class TUpdateLock {
 public:
  // Takes the lock of the store's folder (creating the folder when needed),
  // without waiting. Check Held(); when not held, Reason() says why in
  // French (Windows-1252): another update runs, or the folder cannot be
  // written.
  explicit TUpdateLock(const std::string& storeFolder);
  ~TUpdateLock();
  TUpdateLock(const TUpdateLock&) = delete;
  TUpdateLock& operator=(const TUpdateLock&) = delete;

  bool Held() const { return fHeld; }
  const std::string& Reason() const { return fReason; }

  static constexpr char kLockFile[] = ".mise-a-jour.verrou";

 private:
  std::unique_ptr<QLockFile> fLock;
  bool fHeld = false;
  std::string fReason;
};

}  // namespace quillor::update
