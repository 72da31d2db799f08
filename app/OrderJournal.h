// The journal of orders: one .eml file per order in the user's data folder
// (UserFiles.h), named by the date and time of the order. An order the
// server accepted is kept as exactly the bytes the server stored; an order
// handed to the mail program instead is kept too, marked as not sent, in
// its name ("..._non-envoyee.eml") and in a first header line.
//
// Files are written atomically (a temporary file, flushed, then linked under
// its final name) and never replace a file: a name already taken gets "_2",
// "_3"... A plain value, no state but its folder; any thread.
#pragma once

#include <ctime>
#include <optional>
#include <string>

namespace quillor {

class TOrderJournal {
 public:
  enum class TState { kSent, kNotSent };

  // The header line that opens the copy of an order that was not sent.
  static constexpr const char* kNotSentHeader = "X-Quillor-Etat: non envoyee";

  explicit TOrderJournal(std::string folder) : fFolder(std::move(folder)) {}

  const std::string& Folder() const { return fFolder; }

  // "2026-01-05_09-04-05.eml", or "2026-01-05_09-04-05_non-envoyee.eml",
  // from the local time of `moment`; `attempt` > 1 adds "_<attempt>".
  static std::string FileNameFor(std::time_t moment, TState state, int attempt = 1);

  // Saves `bytes` as a new file of the folder (created when missing).
  // Returns its full name; on any failure returns nothing, leaves no file
  // behind and sets `error` to the reason (French, without the folder's
  // name, which the caller shows in its own way).
  std::optional<std::string> Save(const std::string& bytes, TState state, std::time_t moment,
                                  std::string* error) const;

 private:
  std::string fFolder;
};

}  // namespace quillor
