// The journal of orders: one .eml file per order in the user's data folder
// (UserFiles.h), named by the date and time of the order, in one of three
// states:
//   sent        "2026-01-05_09-04-05.eml": the server confirmed it; kept as
//               exactly the bytes the server stored;
//   not sent    "..._non-envoyee.eml": the server cannot have stored it (the
//               mail program took it instead);
//   à vérifier  "..._a-verifier.eml": it was transmitted but the server never
//               confirmed it, so it may have arrived; the pharmacist checks
//               with the supplier before sending it again.
// A copy that is not in the sent state opens with header lines that name its
// state and why it is there (CopyOf).
//
// Files are written durably (DurableFile.h) and never replace a file: a name
// already taken gets "_2", "_3"... A plain value, no state but its folder;
// any thread.
#pragma once

#include <ctime>
#include <optional>
#include <string>

namespace quillor {

class TOrderJournal {
 public:
  enum class TState { kSent, kNotSent, kToVerify };

  // The header lines that open the copy of an order that was not sent, or
  // that is to be checked; the reason follows in kReasonHeader.
  static constexpr const char* kNotSentHeader = "X-Quillor-Etat: non envoyee";
  static constexpr const char* kToVerifyHeader = "X-Quillor-Etat: a verifier";
  static constexpr const char* kReasonHeader = "X-Quillor-Raison: ";

  explicit TOrderJournal(std::string folder) : fFolder(std::move(folder)) {}

  const std::string& Folder() const { return fFolder; }

  // "2026-01-05_09-04-05.eml", "2026-01-05_09-04-05_non-envoyee.eml" or
  // "2026-01-05_09-04-05_a-verifier.eml", from the local time of `moment`;
  // `attempt` > 1 adds "_<attempt>".
  static std::string FileNameFor(std::time_t moment, TState state, int attempt = 1);

  // What the journal keeps of `message` (its lines as they went, or would
  // have gone, on the wire, each ended by CR LF): the message itself when it
  // was sent, else the state's header line and the reason (one line, folded
  // to ASCII as a header must be) before it.
  static std::string CopyOf(const std::string& message, TState state, const std::string& reason);

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
