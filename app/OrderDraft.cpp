#include "app/OrderDraft.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "app/CountedParts.h"
#include "text/DurableFile.h"
#include "text/FileSystem.h"
#include "text/TextLines.h"

namespace quillor {

namespace {

constexpr const char* kFirstLine = "Quillor brouillon 1\n";
// So that a draft cut after its address cannot pass for one without message.
constexpr const char* kLastLine = "fin\n";

}  // namespace

std::string EncodeOrderDraft(const TOrderDraft& draft) {
  std::string bytes = kFirstLine;
  AppendCountedPart(bytes, "adresse", draft.address);
  if (draft.message) AppendCountedPart(bytes, "message", *draft.message);
  return bytes + kLastLine;
}

std::optional<TOrderDraft> DecodeOrderDraft(const std::string& bytes) {
  if (bytes.rfind(kFirstLine, 0) != 0) return std::nullopt;
  size_t at = std::strlen(kFirstLine);
  TOrderDraft draft;
  std::optional<std::string> address = ReadCountedPart(bytes, at, "adresse");
  if (!address) return std::nullopt;
  draft.address = std::move(*address);
  if (bytes.compare(at, std::string::npos, kLastLine) != 0) {
    draft.message = ReadCountedPart(bytes, at, "message");
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

}  // namespace quillor
