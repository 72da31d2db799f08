#include "update/UpdateLock.h"

#include <QFile>
#include <QLockFile>
#include <cerrno>
#include <filesystem>

#include "update/FolderSync.h"
#include "update/FrenchText.h"

namespace quillor::update {

TUpdateLock::TUpdateLock(const std::string& storeFolder) {
  std::error_code error;
  std::filesystem::create_directories(storeFolder, error);
  if (error) {
    fReason = Fr("impossible de créer le dossier ") + ShownPath(storeFolder) + " : " +
              WriteFailureCause(error.value());
    return;
  }
  fLock = std::make_unique<QLockFile>(QFile::decodeName((storeFolder + "/" + kLockFile).c_str()));
  // Staleness by the holder's death only: an update may rightly take minutes.
  fLock->setStaleLockTime(0);
  fHeld = fLock->tryLock(0);
  if (fHeld) return;
  switch (fLock->error()) {
    case QLockFile::LockFailedError: {
      qint64 pid = 0;
      QString host;
      QString program;
      fLock->getLockInfo(&pid, &host, &program);
      fReason = Fr("une mise à jour du catalogue est déjà en cours") +
                (pid > 0 ? Fr(" (programme n° ") + std::to_string(pid) + ")" : std::string());
      break;
    }
    case QLockFile::PermissionError:
      fReason = Fr("impossible d'écrire dans le dossier ") + ShownPath(storeFolder) + " : " +
                WriteFailureCause(EACCES);
      break;
    default:
      fReason = Fr("impossible de verrouiller le dossier ") + ShownPath(storeFolder);
      break;
  }
}

TUpdateLock::~TUpdateLock() = default;

}  // namespace quillor::update
