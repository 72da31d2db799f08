// The kept draft of the order being composed: the address and, when it holds
// more than its opening lines, the order message, as the user typed them.
// Kept as UTF-8 (every character typed survives, even one the sending will
// refuse) in one file:
//
//   Quillor brouillon 1
//   adresse <byte count>
//   <the address's bytes>
//   message <byte count>          (only when a message is kept)
//   <the message's bytes>
//   fin
//
// each line ended by LF. The counts make any text safe to hold.
// Plain functions and a plain value; no widgets.
#pragma once

#include <optional>
#include <string>

namespace quillor {

struct TOrderDraft {
  std::string address;                 // UTF-8, lines separated by LF
  std::optional<std::string> message;  // UTF-8, lines separated by LF

  bool operator==(const TOrderDraft&) const = default;
};

std::string EncodeOrderDraft(const TOrderDraft& draft);
// Nothing when `bytes` is not a draft of this form (cut short, another
// version, trailing garbage).
std::optional<TOrderDraft> DecodeOrderDraft(const std::string& bytes);

// The draft file, written and removed durably (DurableFile.h): a crash never
// leaves half of it, and a power cut never brings back a draft that was let
// go. Each returns false and sets `error` (French, without the file's name)
// on failure.
bool SaveOrderDraft(const std::string& fileName, const TOrderDraft& draft, std::string* error);
bool RemoveOrderDraft(const std::string& fileName, std::string* error);
// Nothing when there is no draft; a file that is no draft is reported in
// `error` and also gives nothing.
std::optional<TOrderDraft> LoadOrderDraft(const std::string& fileName, std::string* error);
}  // namespace quillor
