#include "text/DurableFile.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <mutex>
#include <utility>

#include "trace/TraceUnit.h"

namespace quillor {

namespace {

std::mutex gFaultMutex;
TDurableFault gFault;

// Whether the test seam makes `step` fail; sets errno when it does.
bool Injected(TDurableStep step) {
  TDurableFault fault;
  {
    std::lock_guard<std::mutex> lock(gFaultMutex);
    fault = gFault;
  }
  if (!fault) return false;
  const int number = fault(step);
  if (number == 0) return false;
  errno = number;
  return true;
}

std::string FolderOf(const std::string& fileName) {
  const size_t slash = fileName.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return fileName.substr(0, slash);
}

std::string BaseNameOf(const std::string& fileName) {
  const size_t slash = fileName.rfind('/');
  return slash == std::string::npos ? fileName : fileName.substr(slash + 1);
}

// A descriptor closed on every path, unless handed over with Release().
class TDescriptor {
 public:
  explicit TDescriptor(int fd = -1) : fFd(fd) {}
  ~TDescriptor() {
    if (fFd >= 0) ::close(fFd);
  }
  TDescriptor(const TDescriptor&) = delete;
  TDescriptor& operator=(const TDescriptor&) = delete;

  int Get() const { return fFd; }
  bool IsOpen() const { return fFd >= 0; }
  int Release() { return std::exchange(fFd, -1); }

 private:
  int fFd;
};

// A temporary file of the folder, removed unless Keep() was called.
class TTemporaryName {
 public:
  TTemporaryName() = default;
  ~TTemporaryName() {
    if (!fName.empty()) ::unlink(fName.c_str());
  }
  TTemporaryName(const TTemporaryName&) = delete;
  TTemporaryName& operator=(const TTemporaryName&) = delete;

  void Set(std::string name) { fName = std::move(name); }
  const std::string& Name() const { return fName; }
  void Keep() { fName.clear(); }

 private:
  std::string fName;
};

TFileFailure Failure(TDurableStep step, int number) {
  TFileFailure failure{step, number};
  Trace().TraceWarning("DurableFile: " + FailureReasonInEnglish(failure));
  return failure;
}

bool WriteAll(int fd, const std::string& bytes) {
  if (Injected(TDurableStep::kWrite)) return false;
  size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) {
      errno = EIO;
      return false;
    }
    written += static_cast<size_t>(n);
  }
  return true;
}

int SyncFile(int fd) {
  if (Injected(TDurableStep::kSyncFile)) return -1;
  return ::fsync(fd);
}

int CloseFile(int fd) {
  // The descriptor is gone whatever close says; an injected failure still
  // closes it, as the system would.
  const bool injected = Injected(TDurableStep::kCloseFile);
  const int saved = errno;
  const int result = ::close(fd);
  if (injected) {
    errno = saved;
    return -1;
  }
  return result;
}

int OpenFolder(const std::string& folder) {
  if (Injected(TDurableStep::kOpenFolder)) return -1;
  return ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

int SyncFolder(int fd) {
  if (Injected(TDurableStep::kSyncFolder)) return -1;
  return ::fsync(fd);
}

// The temporary file of `bytes` in `folder`, written whole, synced and
// closed; its name goes to `temporary`.
std::optional<TFileFailure> WriteTemporary(const std::string& folder, const std::string& baseName,
                                           const std::string& bytes, TTemporaryName& temporary) {
  std::string name = folder + "/." + baseName + ".XXXXXX";
  if (Injected(TDurableStep::kCreateTemporary)) return Failure(TDurableStep::kCreateTemporary, errno);
  TDescriptor file(::mkostemp(name.data(), O_CLOEXEC));
  if (!file.IsOpen()) return Failure(TDurableStep::kCreateTemporary, errno);
  temporary.Set(name);
  // The usual permissions of a user's file rather than mkstemp's 0600.
  ::fchmod(file.Get(), 0644);
  if (!WriteAll(file.Get(), bytes)) return Failure(TDurableStep::kWrite, errno);
  if (SyncFile(file.Get()) != 0) return Failure(TDurableStep::kSyncFile, errno);
  if (CloseFile(file.Release()) != 0) return Failure(TDurableStep::kCloseFile, errno);
  return std::nullopt;
}

// Gives `from` the name `to` unless that name is taken (errno EEXIST).
bool RenameWithoutReplacing(const std::string& from, const std::string& to) {
  if (Injected(TDurableStep::kRename)) return false;
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // A file system without the no-replace rename: a hard link is just as sure.
  if (::link(from.c_str(), to.c_str()) != 0) return false;
  ::unlink(from.c_str());
  return true;
}

// Errors of a file system that cannot give a file a second name.
bool LinksUnsupported(int number) {
  return number == EPERM || number == EXDEV || number == EOPNOTSUPP || number == EMLINK || number == ENOSYS;
}

}  // namespace

std::string FailureReason(const TFileFailure& failure) {
  const char* what = "";
  switch (failure.step) {
    case TDurableStep::kCreateTemporary:
      what =
          "cr\xE9"
          "ation d'un fichier temporaire impossible";
      break;
    case TDurableStep::kWrite:
      what =
          "\xE9"
          "criture impossible";
      break;
    case TDurableStep::kSyncFile:
      what = "enregistrement sur le disque impossible";
      break;
    case TDurableStep::kCloseFile:
      what = "fermeture du fichier impossible";
      break;
    case TDurableStep::kOpenFolder:
      what = "ouverture du dossier impossible";
      break;
    case TDurableStep::kKeepOld:
      what = "sauvegarde de l'ancien fichier impossible";
      break;
    case TDurableStep::kRename:
      what = failure.number == EEXIST ? "nom d\xE9j\xE0 pris" : "remplacement du fichier impossible";
      break;
    case TDurableStep::kSyncFolder:
      what = "enregistrement du dossier sur le disque impossible";
      break;
    case TDurableStep::kRemove:
      what = "suppression impossible";
      break;
  }
  return std::string(what) + " : " + std::strerror(failure.number);
}

std::string FailureReasonInEnglish(const TFileFailure& failure) {
  const char* what = "";
  switch (failure.step) {
    case TDurableStep::kCreateTemporary:
      what = "cannot create a temporary file";
      break;
    case TDurableStep::kWrite:
      what = "cannot write";
      break;
    case TDurableStep::kSyncFile:
      what = "cannot sync the file";
      break;
    case TDurableStep::kCloseFile:
      what = "cannot close the file";
      break;
    case TDurableStep::kOpenFolder:
      what = "cannot open the folder";
      break;
    case TDurableStep::kKeepOld:
      what = "cannot keep the old file";
      break;
    case TDurableStep::kRename:
      what = failure.number == EEXIST ? "name already taken" : "cannot replace the file";
      break;
    case TDurableStep::kSyncFolder:
      what = "cannot sync the folder";
      break;
    case TDurableStep::kRemove:
      what = "cannot remove the file";
      break;
  }
  return std::string(what) + ": " + std::strerror(failure.number);
}

std::optional<TFileFailure> ReplaceFileDurably(const std::string& fileName, const std::string& bytes) {
  const std::string folder = FolderOf(fileName);
  const std::string baseName = BaseNameOf(fileName);
  TTemporaryName temporary;
  if (auto failure = WriteTemporary(folder, baseName, bytes, temporary)) return failure;
  TDescriptor folderFd(OpenFolder(folder));
  if (!folderFd.IsOpen()) return Failure(TDurableStep::kOpenFolder, errno);

  // A second name for the old file, so that it can be put back should the
  // new name fail to reach the disk. On a file system without hard links
  // the write goes on without one.
  TTemporaryName old;
  struct stat info;
  const bool hadOld = ::lstat(fileName.c_str(), &info) == 0;
  if (hadOld) {
    const std::string oldName = temporary.Name() + "-ancien";
    if (Injected(TDurableStep::kKeepOld) || ::link(fileName.c_str(), oldName.c_str()) != 0) {
      if (!LinksUnsupported(errno)) return Failure(TDurableStep::kKeepOld, errno);
    } else {
      old.Set(oldName);
    }
  }

  if (Injected(TDurableStep::kRename) || std::rename(temporary.Name().c_str(), fileName.c_str()) != 0)
    return Failure(TDurableStep::kRename, errno);
  temporary.Keep();
  if (SyncFolder(folderFd.Get()) != 0) {
    const TFileFailure failure = Failure(TDurableStep::kSyncFolder, errno);
    // The new name may not survive a power cut: the old file comes back now,
    // so that what the report says is what the folder holds.
    if (!hadOld) {
      ::unlink(fileName.c_str());
    } else if (!old.Name().empty() && std::rename(old.Name().c_str(), fileName.c_str()) == 0) {
      old.Keep();
    }
    return failure;
  }
  return std::nullopt;
}

bool WriteFileDurably(const std::string& fileName, const std::string& bytes, std::string* error) {
  const std::optional<TFileFailure> failure = ReplaceFileDurably(fileName, bytes);
  if (failure && error != nullptr) *error = FailureReason(*failure);
  return !failure;
}

std::optional<TFileFailure> CreateFileDurably(const std::string& folder,
                                              const std::function<std::string(int attempt)>& nameFor,
                                              int maxAttempts, const std::string& bytes,
                                              std::string* created) {
  const std::string first = nameFor(1);
  TTemporaryName temporary;
  if (auto failure = WriteTemporary(folder, first, bytes, temporary)) return failure;
  TDescriptor folderFd(OpenFolder(folder));
  if (!folderFd.IsOpen()) return Failure(TDurableStep::kOpenFolder, errno);
  int number = EEXIST;
  for (int attempt = 1; attempt <= maxAttempts; ++attempt) {
    const std::string target = folder + "/" + (attempt == 1 ? first : nameFor(attempt));
    if (!RenameWithoutReplacing(temporary.Name(), target)) {
      number = errno;
      if (number == EEXIST) continue;
      break;
    }
    temporary.Keep();
    if (SyncFolder(folderFd.Get()) != 0) {
      const TFileFailure failure = Failure(TDurableStep::kSyncFolder, errno);
      ::unlink(target.c_str());
      return failure;
    }
    if (created != nullptr) *created = target;
    return std::nullopt;
  }
  return Failure(TDurableStep::kRename, number);
}

std::optional<TFileFailure> RemoveFileDurably(const std::string& fileName) {
  TDescriptor folderFd(OpenFolder(FolderOf(fileName)));
  if (!folderFd.IsOpen()) {
    // No folder, no file.
    if (errno == ENOENT) return std::nullopt;
    return Failure(TDurableStep::kOpenFolder, errno);
  }
  if (Injected(TDurableStep::kRemove) || ::unlink(fileName.c_str()) != 0) {
    if (errno == ENOENT) return std::nullopt;
    return Failure(TDurableStep::kRemove, errno);
  }
  if (SyncFolder(folderFd.Get()) != 0) return Failure(TDurableStep::kSyncFolder, errno);
  return std::nullopt;
}

std::optional<TFileFailure> RenameFileDurably(const std::string& from, const std::string& to) {
  TDescriptor folderFd(OpenFolder(FolderOf(to)));
  if (!folderFd.IsOpen()) return Failure(TDurableStep::kOpenFolder, errno);
  if (!RenameWithoutReplacing(from, to)) return Failure(TDurableStep::kRename, errno);
  if (SyncFolder(folderFd.Get()) != 0) {
    const TFileFailure failure = Failure(TDurableStep::kSyncFolder, errno);
    // Back under its old name, as the report says.
    RenameWithoutReplacing(to, from);
    return failure;
  }
  return std::nullopt;
}

TDurableFault SetDurableFaultForTesting(TDurableFault fault) {
  std::lock_guard<std::mutex> lock(gFaultMutex);
  return std::exchange(gFault, std::move(fault));
}

}  // namespace quillor
