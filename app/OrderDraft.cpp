#include "OrderDraft.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "TextLines.h"

namespace quillor {

namespace {

constexpr const char* kFirstLine = "Quillor brouillon 1\n";
// So that a draft cut after its address cannot pass for one without message.
constexpr const char* kLastLine = "fin\n";

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
  std::string reason;
  if (WriteFileAtomically(fileName, EncodeOrderDraft(draft), &reason)) return true;
  if (error != nullptr) *error = reason;
  return false;
}

bool RemoveOrderDraft(const std::string& fileName, std::string* error) {
  if (::unlink(fileName.c_str()) == 0 || errno == ENOENT) return true;
  if (error != nullptr)
    *error = std::string("impossible de supprimer le brouillon : ") + std::strerror(errno);
  return false;
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
