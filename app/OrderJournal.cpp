#include "OrderJournal.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace quillor {

namespace {

// Beyond this many orders in the same second something else is wrong.
constexpr int kMaxAttempts = 1000;

std::string Reason(const std::string& what, int number) {
  return what + " : " + std::strerror(number);
}

bool WriteAll(int fd, const std::string& bytes) {
  size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    written += static_cast<size_t>(n);
  }
  return true;
}

// Gives `temporary` the name `target` unless that name is taken. False with
// errno EEXIST when it is.
bool LinkWithoutReplacing(const std::string& temporary, const std::string& target) {
  if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // A file system without the no-replace rename: a hard link is just as sure.
  if (::link(temporary.c_str(), target.c_str()) != 0) return false;
  ::unlink(temporary.c_str());
  return true;
}

}  // namespace

std::string TOrderJournal::FileNameFor(std::time_t moment, TState state, int attempt) {
  std::tm local{};
  ::localtime_r(&moment, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d_%H-%M-%S", &local);
  std::string name = stamp;
  if (state == TState::kNotSent) name += "_non-envoyee";
  if (attempt > 1) name += "_" + std::to_string(attempt);
  return name + ".eml";
}

std::optional<std::string> TOrderJournal::Save(const std::string& bytes, TState state, std::time_t moment,
                                               std::string* error) const {
  auto fail = [error](const std::string& reason) -> std::optional<std::string> {
    if (error != nullptr) *error = reason;
    return std::nullopt;
  };
  std::error_code folderError;
  std::filesystem::create_directories(fFolder, folderError);
  if (folderError)
    return fail(
        "impossible de cr\xE9"
        "er le dossier : " +
        folderError.message());

  std::string temporary = fFolder + "/.commande-XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0)
    return fail(
        Reason("impossible d'y cr\xE9"
               "er un fichier",
               errno));
  ::fchmod(fd, 0644);
  if (!WriteAll(fd, bytes) || ::fsync(fd) != 0) {
    const int number = errno;
    ::close(fd);
    ::unlink(temporary.c_str());
    return fail(
        Reason("impossible d'y \xE9"
               "crire",
               number));
  }
  if (::close(fd) != 0) {
    const int number = errno;
    ::unlink(temporary.c_str());
    return fail(
        Reason("impossible d'y \xE9"
               "crire",
               number));
  }
  for (int attempt = 1; attempt <= kMaxAttempts; ++attempt) {
    const std::string target = fFolder + "/" + FileNameFor(moment, state, attempt);
    if (LinkWithoutReplacing(temporary, target)) {
      // The new name itself must survive a power cut.
      const int folder = ::open(fFolder.c_str(), O_RDONLY | O_DIRECTORY);
      if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
      }
      return target;
    }
    if (errno != EEXIST) {
      const int number = errno;
      ::unlink(temporary.c_str());
      return fail(Reason("impossible d'y nommer le fichier", number));
    }
  }
  ::unlink(temporary.c_str());
  return fail("trop de commandes dans la m\xEAme seconde");
}

}  // namespace quillor
