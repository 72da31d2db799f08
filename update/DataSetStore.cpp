#include "update/DataSetStore.h"

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <regex>

#include "text/DurableFile.h"
#include "text/FileSystem.h"
#include "text/TextLines.h"
#include "update/FolderSync.h"
#include "update/FrenchText.h"

namespace quillor::update {
namespace {

namespace fs = std::filesystem;

constexpr char kCurrentKey[] = "Actuel";
constexpr char kPreviousKey[] = "Precedent";

// The value of `key` in "key=value" lines, or nothing.
std::optional<std::string> ValueOf(const TStringList& lines, const std::string& key) {
  for (const std::string& line : lines) {
    if (line.size() > key.size() && line.compare(0, key.size(), key) == 0 && line[key.size()] == '=') {
      return line.substr(key.size() + 1);
    }
  }
  return std::nullopt;
}

bool IsSetName(const std::string& name) {
  static const std::regex pattern(R"(\d{4}-\d{2}-\d{2}_\d{2}-\d{2}-\d{2}(_\d+)?)");
  return std::regex_match(name, pattern);
}

std::string Stamp(std::time_t now, const char* format) {
  std::tm local{};
  ::localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, format, &local);
  return text;
}

// mkdir -p, creating what is missing; false with errno set.
bool MakeFolders(const std::string& folder) {
  std::error_code error;
  fs::create_directories(folder, error);
  if (error) {
    errno = error.value();
    return false;
  }
  return true;
}

void RemoveFolder(const std::string& folder) {
  std::error_code ignored;
  fs::remove_all(folder, ignored);
}

}  // namespace

std::string ManifestText(const TSetManifest& manifest) {
  return "Source=" + manifest.source + "\r\nMisAJourLe=" + manifest.updatedAt +
         "\r\nBaseDu=" + FormatDayDate(manifest.databaseDay) +
         "\r\nArticles=" + std::to_string(manifest.articles) + "\r\n";
}

std::optional<TSetManifest> ReadManifest(const std::string& text) {
  const TStringList lines = SplitLines(text);
  const auto source = ValueOf(lines, "Source");
  const auto updatedAt = ValueOf(lines, "MisAJourLe");
  const auto day = ValueOf(lines, "BaseDu");
  const auto articles = ValueOf(lines, "Articles");
  if (!source || !updatedAt || !day || !articles) return std::nullopt;
  TSetManifest manifest{*source, *updatedAt, ParseDayDate(*day).value_or(kNoDate), 0};
  if (articles->empty() || articles->find_first_not_of("0123456789") != std::string::npos ||
      articles->size() > 9) {
    return std::nullopt;
  }
  manifest.articles = std::stoul(*articles);
  return manifest;
}

TDataSetStore::TDataSetStore(std::string dataFolder) : fFolder(std::move(dataFolder) + "/" + kStoreFolder) {}

TDataSetStore::TPointer TDataSetStore::ReadPointer() const {
  TStringList lines;
  TPointer pointer;
  if (!ReadFileLines(fFolder + "/" + kPointerFile, lines)) return pointer;
  pointer.current = ValueOf(lines, kCurrentKey).value_or("");
  pointer.previous = ValueOf(lines, kPreviousKey).value_or("");
  // A name that is not a set's (a path, "..") is ignored as damaged.
  if (!IsSetName(pointer.current)) pointer.current.clear();
  if (!IsSetName(pointer.previous)) pointer.previous.clear();
  return pointer;
}

bool TDataSetStore::WritePointer(const TPointer& pointer, std::string* error) const {
  std::string text = std::string(kCurrentKey) + "=" + pointer.current + "\r\n";
  if (!pointer.previous.empty()) text += std::string(kPreviousKey) + "=" + pointer.previous + "\r\n";
  const std::string file = fFolder + "/" + kPointerFile;
  // Written whole and renamed over the old one, the folder synced.
  if (const std::optional<TFileFailure> failure = ReplaceFileDurably(file, text)) {
    if (error != nullptr)
      *error = Fr("impossible d'écrire ") + ShownPath(file) + " : " + WriteFailureCause(failure->number);
    return false;
  }
  return true;
}

std::optional<TDataSet> TDataSetStore::ReadSet(const std::string& id) const {
  if (id.empty()) return std::nullopt;
  TDataSet set{id, fFolder + "/" + id, {}};
  const TFileStamp article = StampOfFile(set.folder + "/" + kArticleFileName);
  std::string text;
  if (!article.exists || article.size == 0 || !ReadFileBytes(set.folder + "/" + kManifestFile, text)) {
    return std::nullopt;
  }
  std::optional<TSetManifest> manifest = ReadManifest(text);
  if (!manifest) return std::nullopt;
  set.manifest = std::move(*manifest);
  return set;
}

std::optional<TDataSet> TDataSetStore::Current() const {
  return ReadSet(ReadPointer().current);
}

std::optional<TDataSet> TDataSetStore::Previous() const {
  return ReadSet(ReadPointer().previous);
}

void TDataSetStore::RemoveUnnamedSets(const TPointer& pointer) const {
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(fFolder, error)) {
    const std::string name = entry.path().filename().string();
    if (IsSetName(name) && name != pointer.current && name != pointer.previous) RemoveFolder(entry.path());
  }
}

std::optional<TDataSet> TDataSetStore::Install(const std::vector<TSetFile>& files,
                                               const TSetManifest& manifest, std::time_t now,
                                               std::string* error, const std::function<bool()>& cancelled,
                                               bool* wasCancelled) {
  if (wasCancelled != nullptr) *wasCancelled = false;
  auto fail = [error](const std::string& why) -> std::optional<TDataSet> {
    if (error != nullptr) *error = why;
    return std::nullopt;
  };
  if (!MakeFolders(fFolder)) {
    return fail(Fr("impossible de créer le dossier ") + ShownPath(fFolder) + " : " +
                WriteFailureCause(errno));
  }
  const TPointer before = ReadPointer();
  // Sets that a crash left half written, named nowhere.
  RemoveUnnamedSets(before);

  std::string id = Stamp(now, "%Y-%m-%d_%H-%M-%S");
  std::string folder;
  for (int attempt = 1;; ++attempt) {
    const std::string name = attempt == 1 ? id : id + "_" + std::to_string(attempt);
    folder = fFolder + "/" + name;
    if (::mkdir(folder.c_str(), 0755) == 0) {
      id = name;
      break;
    }
    if (errno != EEXIST || attempt == 100) {
      return fail(Fr("impossible de créer le dossier ") + ShownPath(folder) + " : " +
                  WriteFailureCause(errno));
    }
  }

  std::vector<TSetFile> all = files;
  all.push_back({kManifestFile, ManifestText(manifest)});
  for (const TSetFile& file : all) {
    const std::string path = folder + "/" + file.name;
    if (const std::optional<TFileFailure> failure = ReplaceFileDurably(path, file.bytes)) {
      RemoveFolder(folder);
      return fail(Fr("impossible d'écrire ") + ShownPath(path) + " : " + WriteFailureCause(failure->number));
    }
  }
  if (!SyncFolder(folder) || !SyncFolder(fFolder)) {
    const int cause = errno;
    RemoveFolder(folder);
    return fail(Fr("impossible d'enregistrer le dossier ") + ShownPath(folder) + " : " +
                WriteFailureCause(cause));
  }
  if (cancelled && cancelled()) {
    RemoveFolder(folder);
    if (wasCancelled != nullptr) *wasCancelled = true;
    return fail(Fr("mise à jour annulée"));
  }

  // The one step that makes the new set current. A current set that is no
  // longer whole is not worth keeping for an undo.
  TPointer after{id, ReadSet(before.current) ? before.current : std::string()};
  if (!WritePointer(after, error)) {
    RemoveFolder(folder);
    return std::nullopt;
  }
  RemoveUnnamedSets(after);
  return TDataSet{id, folder, manifest};
}

bool TDataSetStore::Rollback(std::string* error) {
  const TPointer pointer = ReadPointer();
  if (pointer.current.empty()) {
    if (error != nullptr) *error = Fr("aucune mise à jour à annuler");
    return false;
  }
  const TPointer after{ReadSet(pointer.previous) ? pointer.previous : std::string(), {}};
  if (!WritePointer(after, error)) return false;
  RemoveUnnamedSets(after);
  return true;
}

}  // namespace quillor::update
