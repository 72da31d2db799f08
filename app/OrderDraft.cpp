#include "OrderDraft.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "DurableFile.h"
#include "TextLines.h"

namespace quillor {

namespace {

constexpr const char* kFirstLine = "Quillor brouillon 1\n";
// So that a draft cut after its address cannot pass for one without message.
constexpr const char* kLastLine = "fin\n";
constexpr int kMaxSetAsideAttempts = 100;

// Reads "<word> <count>\n<count bytes>\n" at `at`.
std::optional<std::string> ReadPart(const std::string& bytes, size_t& at, const std::string& word) {
  const std::string head = word + " ";
  if (bytes.compare(at, head.size(), head) != 0) return std::nullopt;
  const size_t lf = bytes.find('\n', at + head.size());
  if (lf == std::string::npos) return std::nullopt;
  const std::string digits = bytes.substr(at + head.size(), lf - at - head.size());
  if (digits.empty() || digits.size() > 12 || digits.find_first_not_of("0123456789") != std::string::npos)
    return std::nullopt;
  const size_t count = std::stoull(digits);
  const size_t start = lf + 1;
  // Room for the count's bytes and the LF after them.
  if (bytes.size() - start <= count || bytes[start + count] != '\n') return std::nullopt;
  at = start + count + 1;
  return bytes.substr(start, count);
}

}  // namespace

std::string EncodeOrderDraft(const TOrderDraft& draft) {
  std::string bytes = kFirstLine;
  bytes += "adresse " + std::to_string(draft.address.size()) + "\n" + draft.address + "\n";
  if (draft.message)
    bytes += "message " + std::to_string(draft.message->size()) + "\n" + *draft.message + "\n";
  return bytes + kLastLine;
}

std::optional<TOrderDraft> DecodeOrderDraft(const std::string& bytes) {
  if (bytes.rfind(kFirstLine, 0) != 0) return std::nullopt;
  size_t at = std::strlen(kFirstLine);
  TOrderDraft draft;
  std::optional<std::string> address = ReadPart(bytes, at, "adresse");
  if (!address) return std::nullopt;
  draft.address = std::move(*address);
  if (bytes.compare(at, std::string::npos, kLastLine) != 0) {
    draft.message = ReadPart(bytes, at, "message");
    if (!draft.message || bytes.compare(at, std::string::npos, kLastLine) != 0) return std::nullopt;
  }
  return draft;
}

bool SaveOrderDraft(const std::string& fileName, const TOrderDraft& draft, std::string* error) {
  std::error_code folderError;
  std::filesystem::create_directories(std::filesystem::path(fileName).parent_path(), folderError);
  if (folderError) {
    if (error != nullptr)
      *error =
          "impossible de cr\xE9"
          "er le dossier : " +
          folderError.message();
    return false;
  }
  return WriteFileDurably(fileName, EncodeOrderDraft(draft), error);
}

bool RemoveOrderDraft(const std::string& fileName, std::string* error) {
  const std::optional<TFileFailure> failure = RemoveFileDurably(fileName);
  if (failure && error != nullptr) *error = "brouillon : " + FailureReason(*failure);
  return !failure;
}

std::optional<TOrderDraft> LoadOrderDraft(const std::string& fileName, std::string* error) {
  if (!FileExists(fileName)) return std::nullopt;
  std::string bytes;
  if (!ReadFileBytes(fileName, bytes)) {
    if (error != nullptr) *error = "le brouillon ne peut pas \xEAtre lu";
    return std::nullopt;
  }
  std::optional<TOrderDraft> draft = DecodeOrderDraft(bytes);
  if (!draft && error != nullptr) *error = "le brouillon est illisible";
  return draft;
}

std::optional<std::string> SetAsideOrderDraft(const std::string& fileName, std::time_t moment,
                                              std::string* error) {
  std::tm local{};
  ::localtime_r(&moment, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d_%H-%M-%S", &local);
  const std::filesystem::path path(fileName);
  const std::string stem = (path.parent_path() / path.stem()).string() + "-illisible-" + stamp;
  const std::string extension = path.extension().string();
  std::optional<TFileFailure> failure;
  // Two unreadable drafts within one second get two names.
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
