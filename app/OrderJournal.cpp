#include "app/OrderJournal.h"

#include <cerrno>
#include <filesystem>

#include "text/DurableFile.h"
#include "text/StringManager.h"

namespace quillor {

namespace {

// Beyond this many orders in the same second something else is wrong.
constexpr int kMaxAttempts = 1000;

// A header value: one line of printable ASCII.
std::string HeaderValue(const std::string& text) {
  std::string value = TStringManager::RemoveAccents(text);
  for (char& c : value) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte >= 0x7F) c = byte == '\t' || byte == '\r' || byte == '\n' ? ' ' : '?';
  }
  return value;
}

}  // namespace

std::string TOrderJournal::FileNameFor(std::time_t moment, TState state, int attempt) {
  std::tm local{};
  ::localtime_r(&moment, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d_%H-%M-%S", &local);
  std::string name = stamp;
  if (state == TState::kNotSent) name += "_non-envoyee";
  if (state == TState::kToVerify) name += "_a-verifier";
  if (attempt > 1) name += "_" + std::to_string(attempt);
  return name + ".eml";
}

std::string TOrderJournal::CopyOf(const std::string& message, TState state, const std::string& reason) {
  if (state == TState::kSent) return message;
  std::string copy = state == TState::kNotSent ? kNotSentHeader : kToVerifyHeader;
  copy += "\r\n";
  if (!reason.empty()) copy += kReasonHeader + HeaderValue(reason) + "\r\n";
  return copy + message;
}

std::optional<std::string> TOrderJournal::Save(const std::string& bytes, TState state, std::time_t moment,
                                               std::string* error) const {
  std::error_code folderError;
  std::filesystem::create_directories(fFolder, folderError);
  if (folderError) {
    if (error != nullptr)
      *error =
          "impossible de cr\xE9"
          "er le dossier : " +
          folderError.message();
    return std::nullopt;
  }
  std::string created;
  const std::optional<TFileFailure> failure = CreateFileDurably(
      fFolder, [&](int attempt) { return FileNameFor(moment, state, attempt); }, kMaxAttempts, bytes,
      &created);
  if (!failure) return created;
  if (error != nullptr)
    *error = failure->step == TDurableStep::kRename && failure->number == EEXIST
                 ? "trop de commandes dans la m\xEAme seconde"
                 : FailureReason(*failure);
  return std::nullopt;
}

}  // namespace quillor
