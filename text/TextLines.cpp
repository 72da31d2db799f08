#include "TextLines.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace quillor {

TStringList SplitLines(const std::string& bytes) {
  TStringList lines;
  const size_t end = std::min(bytes.size(), bytes.find('\0'));
  size_t start = 0;
  size_t i = 0;
  while (i < end) {
    const char c = bytes[i];
    if (c == '\r' || c == '\n') {
      lines.emplace_back(bytes, start, i - start);
      i += (c == '\r' && i + 1 < end && bytes[i + 1] == '\n') ? 2 : 1;
      start = i;
    } else {
      ++i;
    }
  }
  if (start < end) lines.emplace_back(bytes, start, end - start);
  return lines;
}

bool FileExists(const std::string& fileName) {
  struct stat info;
  return ::stat(fileName.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool DirectoryExists(const std::string& dirName) {
  struct stat info;
  return ::stat(dirName.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

TFileStamp StampOfFile(const std::string& fileName) {
  struct stat info;
  TFileStamp stamp;
  if (::stat(fileName.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return stamp;
  constexpr int64_t kNanosecondsPerSecond = 1000000000;
  stamp.exists = true;
  stamp.device = static_cast<uint64_t>(info.st_dev);
  stamp.inode = static_cast<uint64_t>(info.st_ino);
  stamp.size = static_cast<uint64_t>(info.st_size);
  stamp.modified = static_cast<int64_t>(info.st_mtim.tv_sec) * kNanosecondsPerSecond + info.st_mtim.tv_nsec;
  stamp.changed = static_cast<int64_t>(info.st_ctim.tv_sec) * kNanosecondsPerSecond + info.st_ctim.tv_nsec;
  return stamp;
}

bool ReadFileBytes(const std::string& fileName, std::string& bytes) {
  bytes.clear();
  if (!FileExists(fileName)) return false;
  std::ifstream in(fileName, std::ios::binary);
  if (!in) return false;
  std::ostringstream content;
  content << in.rdbuf();
  if (in.bad()) return false;
  bytes = content.str();
  return true;
}

bool ReadFileLines(const std::string& fileName, TStringList& lines) {
  std::string bytes;
  lines.clear();
  if (!ReadFileBytes(fileName, bytes)) return false;
  lines = SplitLines(bytes);
  return true;
}

bool WriteFileAtomically(const std::string& fileName, const std::string& bytes, std::string* error) {
  auto fail = [error](const std::string& what) {
    if (error != nullptr) *error = what + ": " + std::strerror(errno);
    return false;
  };
  std::string temporary = fileName + ".XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) return fail("cannot create a temporary file beside " + fileName);
  size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int saved = errno;
      ::close(fd);
      ::unlink(temporary.c_str());
      errno = saved;
      return fail("cannot write " + temporary);
    }
    written += static_cast<size_t>(n);
  }
  // Keep the usual permissions of a user file rather than mkstemp's 0600.
  ::fchmod(fd, 0644);
  if (::fsync(fd) != 0 || ::close(fd) != 0) {
    const int saved = errno;
    ::unlink(temporary.c_str());
    errno = saved;
    return fail("cannot flush " + temporary);
  }
  if (std::rename(temporary.c_str(), fileName.c_str()) != 0) {
    const int saved = errno;
    ::unlink(temporary.c_str());
    errno = saved;
    return fail("cannot replace " + fileName);
  }
  return true;
}

}  // namespace quillor
