#include "update/FolderSync.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "update/FrenchText.h"

namespace quillor::update {

bool SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  const int saved = errno;
  ::close(fd);
  errno = saved;
  return synced;
}

std::string WriteFailureCause(int error) {
  switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return Fr("disque plein");
    case EROFS:
      return Fr("dossier en lecture seule");
    case EACCES:
    case EPERM:
      return Fr("accès refusé, le dossier est en lecture seule pour vous");
    case EEXIST:
      return Fr("un fichier porte déjà ce nom");
    case ENOTDIR:
      return Fr("un fichier porte le nom d'un des dossiers du chemin");
    default:
      return std::strerror(error);
  }
}

}  // namespace quillor::update
