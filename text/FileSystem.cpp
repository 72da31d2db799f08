#include "text/FileSystem.h"

#include <sys/stat.h>

#include <fstream>
#include <sstream>

namespace quillor {

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

}  // namespace quillor
