#include "app/GridTitles.h"
#include "text/FileSystem.h"

#include <algorithm>
#include <chrono>

namespace quillor {

namespace {

// A file's times are those of the system clock's coarse tick, so a file
// changed within a tick of a read could change again and keep its stamp.
// A read is kept only once the file has been left alone for longer than
// any tick.
constexpr int64_t kSettledNanoseconds = 1000000000;

int64_t NanosecondsSinceEpoch() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

constexpr const char* kSection = "FRANCAIS";
constexpr const char* kTitleKeys[] = {"ColCIP", "ColDesignation", "ColTarif"};

}  // namespace

TGridTitles ReadGridTitles(const TIniManager& ini) {
  TGridTitles titles;
  for (size_t i = 0; i < titles.size(); ++i) titles[i] = ini.Get(kSection, kTitleKeys[i]);
  return titles;
}

TGridTitles TGridTitlesFile::Read() {
  const int64_t readStart = NanosecondsSinceEpoch();
  const TFileStamp stamp = StampOfFile(fFileName);
  if (stamp.exists && stamp == fKeptStamp) return fKept;
  fKeptStamp = TFileStamp();
  const TGridTitles titles = ReadGridTitles(TIniManager(fFileName));
  // Nothing was reported when every title was found: a file that cannot be
  // read or holds no line gives none, and a title is reported when empty.
  // Kept only if the file had settled and did not change while it was read.
  bool complete = true;
  for (const std::string& title : titles) complete = complete && !title.empty();
  const bool settled = std::max(stamp.modified, stamp.changed) < readStart - kSettledNanoseconds;
  if (complete && stamp.exists && settled && StampOfFile(fFileName) == stamp) {
    fKeptStamp = stamp;
    fKept = titles;
  }
  return titles;
}

}  // namespace quillor
