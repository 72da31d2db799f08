#include "app/UserFiles.h"

#include <QFile>
#include <cerrno>
#include <filesystem>

#include "grid/widget/GridText.h"
#include "text/DurableFile.h"

namespace quillor {

namespace {

// Two unreadable files within one second get two names.
constexpr int kMaxSetAsideAttempts = 100;

}  // namespace

std::string JournalFolder() {
  return UserDataFolder() + "/Commandes";
}

std::string DraftFileName() {
  return UserDataFolder() + "/Brouillon.txt";
}

std::string SendingMarkFileName() {
  return UserDataFolder() + "/EnvoiEnCours.txt";
}

std::string DisplayFileName(const std::string& fileName) {
  return FromQString(QFile::decodeName(fileName.c_str()));
}

std::optional<std::string> SetAsideUnreadableFile(const std::string& fileName, std::time_t moment,
                                                  std::string* error) {
  std::tm local{};
  ::localtime_r(&moment, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d_%H-%M-%S", &local);
  const std::filesystem::path path(fileName);
  const std::string stem = (path.parent_path() / path.stem()).string() + "-illisible-" + stamp;
  const std::string extension = path.extension().string();
  std::optional<TFileFailure> failure;
  for (int attempt = 1; attempt <= kMaxSetAsideAttempts; ++attempt) {
    const std::string aside = stem + (attempt > 1 ? "_" + std::to_string(attempt) : "") + extension;
    failure = RenameFileDurably(fileName, aside);
    if (!failure) return aside;
    if (failure->number != EEXIST) break;
  }
  if (error != nullptr) *error = FailureReason(*failure);
  return std::nullopt;
}

}  // namespace quillor
