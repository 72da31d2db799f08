#include "app/SendingRecords.h"

#include <cstring>
#include <filesystem>

#include "app/CountedParts.h"
#include "app/UserFiles.h"
#include "text/DurableFile.h"
#include "text/FileSystem.h"
#include "text/TextLines.h"

namespace quillor {

namespace {

constexpr const char* kFirstLine = "Quillor envoi 1\n";
constexpr const char* kLastLine = "fin\n";

}  // namespace

std::string EncodeSendingMark(const TSendingMark& mark) {
  std::string bytes = kFirstLine;
  AppendCountedPart(bytes, "moment", std::to_string(mark.moment));
  AppendCountedPart(bytes, "adresse", mark.order.address);
  AppendCountedPart(bytes, "message", mark.order.message.value_or(""));
  AppendCountedPart(bytes, "copie", mark.message);
  return bytes + kLastLine;
}

std::optional<TSendingMark> DecodeSendingMark(const std::string& bytes) {
  if (bytes.rfind(kFirstLine, 0) != 0) return std::nullopt;
  size_t at = std::strlen(kFirstLine);
  const std::optional<std::string> moment = ReadCountedPart(bytes, at, "moment");
  if (!moment || moment->empty() || moment->size() > 18 ||
      moment->find_first_not_of("0123456789") != std::string::npos)
    return std::nullopt;
  TSendingMark mark;
  mark.moment = static_cast<std::time_t>(std::stoll(*moment));
  std::optional<std::string> address = ReadCountedPart(bytes, at, "adresse");
  std::optional<std::string> message = address ? ReadCountedPart(bytes, at, "message") : std::nullopt;
  std::optional<std::string> copy = message ? ReadCountedPart(bytes, at, "copie") : std::nullopt;
  if (!copy || bytes.compare(at, std::string::npos, kLastLine) != 0) return std::nullopt;
  mark.order.address = std::move(*address);
  mark.order.message = std::move(*message);
  mark.message = std::move(*copy);
  return mark;
}

bool TSendingRecords::Begin(const TSendingMark& mark, std::string* error) const {
  std::error_code folderError;
  std::filesystem::create_directories(std::filesystem::path(fMarkFile).parent_path(), folderError);
  if (folderError) {
    if (error != nullptr)
      *error =
          "impossible de cr\xE9"
          "er le dossier : " +
          folderError.message();
    return false;
  }
  return WriteFileDurably(fMarkFile, EncodeSendingMark(mark), error);
}

std::string TSendingRecords::LetGoOfTheMark() const {
  const std::optional<TFileFailure> failure = RemoveFileDurably(fMarkFile);
  return failure ? FailureReason(*failure) : std::string();
}

TSendingRecords::TFinished TSendingRecords::Keep(const std::string& copy, TOrderJournal::TState state,
                                                 std::time_t moment) const {
  TFinished finished;
  finished.journalFile = fJournal.Save(copy, state, moment, &finished.journalError);
  if (finished.journalFile) finished.journalError.clear();
  return finished;
}

TSendingRecords::TFinished TSendingRecords::Finish(const TSendingOutcome& outcome,
                                                   const TSendingMark& mark) const {
  TFinished finished;
  switch (outcome.result) {
    case TSendingResult::kSent:
      finished = Keep(outcome.copy.Bytes(), TOrderJournal::TState::kSent, mark.moment);
      break;
    case TSendingResult::kNotSent:
      finished = Keep(TOrderJournal::CopyOf(mark.message, TOrderJournal::TState::kNotSent, outcome.reason),
                      TOrderJournal::TState::kNotSent, mark.moment);
      break;
    case TSendingResult::kUnknown:
      // The whole message went: what the server may hold is what went.
      finished =
          Keep(TOrderJournal::CopyOf(outcome.copy.Bytes(), TOrderJournal::TState::kToVerify, outcome.reason),
               TOrderJournal::TState::kToVerify, mark.moment);
      break;
    case TSendingResult::kCancelled:
      break;
  }
  finished.markError = LetGoOfTheMark();
  return finished;
}

std::optional<TSendingMark> TSendingRecords::Interrupted(std::string* error) const {
  if (!FileExists(fMarkFile)) return std::nullopt;
  std::string bytes;
  std::optional<TSendingMark> mark;
  if (ReadFileBytes(fMarkFile, bytes)) mark = DecodeSendingMark(bytes);
  if (mark) return mark;
  std::string why;
  const std::optional<std::string> aside = SetAsideUnreadableFile(fMarkFile, std::time(nullptr), &why);
  if (error != nullptr)
    *error =
        aside ? "elle est illisible, et a \xE9t\xE9 mise de c\xF4t\xE9 sous le nom " + DisplayFileName(*aside)
              : "elle est illisible, et n'a pu \xEAtre mise de c\xF4t\xE9 : " + why;
  return std::nullopt;
}

TSendingRecords::TFinished TSendingRecords::FinishInterrupted(const TSendingMark& mark,
                                                              const std::string& reason) const {
  TFinished finished = Keep(TOrderJournal::CopyOf(mark.message, TOrderJournal::TState::kToVerify, reason),
                            TOrderJournal::TState::kToVerify, mark.moment);
  if (finished.journalFile) finished.markError = LetGoOfTheMark();
  return finished;
}

}  // namespace quillor
