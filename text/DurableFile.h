// Writing the files a user relies on (the address, the kept draft, the
// journal of orders, the mark of a sending under way, the catalogue tool's
// outputs) so that a crash, a kill or a power cut leaves either the old file
// or the new one, whole, and never a mix: the bytes go into a temporary file
// of the same folder, which is written whole, synced and closed, then renamed
// over the old one, and the folder is synced so that the new name itself
// survives.
//
// Every step can fail. A failure leaves the old file as it was (or no file
// where there was none), removes the temporary file, closes every descriptor
// it opened, and is returned as a TFileFailure for the caller to report; the
// helper itself only notes it in the trace log. (One exception: on a file
// system without hard links the old file has no second name to come back
// from, so a failure to sync the folder after the rename leaves the new file.) Plain functions, any thread;
// the test seam (SetDurableFaultForTesting) is process-wide.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace quillor {

// The steps of a durable write, in their order, and of a durable removal.
enum class TDurableStep {
  kCreateTemporary,  // mkstemp in the target's folder
  kWrite,            // the bytes into the temporary file
  kSyncFile,         // fsync of the temporary file
  kCloseFile,        // close of the temporary file
  kOpenFolder,       // the folder, to sync it later
  kKeepOld,          // a second name for the old file, to put it back
  kRename,           // the temporary file under its final name
  kSyncFolder,       // fsync of the folder: the new name survives a power cut
  kRemove,           // unlink (removals and set-asides)
};

struct TFileFailure {
  TDurableStep step;
  int number = 0;  // the system error number (errno)
};

// One line in French, without the file's name (the caller names the file in
// its own way): "écriture impossible : No space left on device".
// Windows-1252 text.
std::string FailureReason(const TFileFailure& failure);
// The same in English, for the catalogue tool's messages.
std::string FailureReasonInEnglish(const TFileFailure& failure);

// Replaces (or creates) `fileName` with `bytes`. The folder must exist.
// Nothing on success; else the step that failed, with the old file intact.
std::optional<TFileFailure> ReplaceFileDurably(const std::string& fileName, const std::string& bytes);

// ReplaceFileDurably with the failure as French text in `error`.
bool WriteFileDurably(const std::string& fileName, const std::string& bytes, std::string* error = nullptr);

// Writes `bytes` as a new file of `folder` (which must exist), never over
// another: under nameFor(1), or nameFor(2) when that is taken, and so on up
// to nameFor(maxAttempts). On success `created` gets the full name. Every
// name taken fails as kRename with EEXIST.
std::optional<TFileFailure> CreateFileDurably(const std::string& folder,
                                              const std::function<std::string(int attempt)>& nameFor,
                                              int maxAttempts, const std::string& bytes,
                                              std::string* created);

// Removes `fileName` and syncs its folder, so that a power cut cannot bring
// it back. A file that is not there is no failure.
std::optional<TFileFailure> RemoveFileDurably(const std::string& fileName);

// Gives `from` the name `to`, which must not exist (kRename with EEXIST when
// it does), and syncs the folder. Both names are in the same folder.
std::optional<TFileFailure> RenameFileDurably(const std::string& from, const std::string& to);

// A test seam: while set, `fault` is asked before each step of the
// functions above; a non-zero answer makes that step fail with that error
// number, the real call left undone. Returns the previous seam; an empty
// function removes it.
using TDurableFault = std::function<int(TDurableStep step)>;
TDurableFault SetDurableFaultForTesting(TDurableFault fault);

}  // namespace quillor
