// What the disk holds of an order's sending. While it is under way, a mark
// (EnvoiEnCours.txt in the user's data folder) written before the first
// command: the order as it was on screen and as it goes on the wire. Once
// the outcome is known, the journal's copy that fits it, and then the mark
// let go. A mark still there at the next start tells of a sending that never
// ended (a crash, a kill, a power cut): its order may have reached the
// server, and the journal keeps it "à vérifier".
//
// Plain C++ below the window: no widgets. Files are written and removed
// durably (DurableFile.h). A plain value; any thread.
#pragma once

#include <ctime>
#include <optional>
#include <string>

#include "app/OrderDraft.h"
#include "app/OrderJournal.h"
#include "mail/OrderSending.h"

namespace quillor {

struct TSendingMark {
  std::time_t moment = 0;  // when the sending began (the message's Date)
  TOrderDraft order;       // the address and the message as on screen (UTF-8)
  std::string message;     // the message as it goes on the wire, dot-stuffing
                           // undone (Windows-1252, lines ended by CR LF)

  bool operator==(const TSendingMark&) const = default;
};

std::string EncodeSendingMark(const TSendingMark& mark);
// Nothing when `bytes` is not a whole mark of this form.
std::optional<TSendingMark> DecodeSendingMark(const std::string& bytes);

class TSendingRecords {
 public:
  TSendingRecords(std::string markFile, std::string journalFolder)
      : fMarkFile(std::move(markFile)), fJournal(std::move(journalFolder)) {}

  const std::string& MarkFile() const { return fMarkFile; }
  const TOrderJournal& Journal() const { return fJournal; }

  // Leaves the mark, before the first command. False, with `error` (French,
  // without the file's name), when it cannot: the sending still goes on.
  bool Begin(const TSendingMark& mark, std::string* error) const;

  struct TFinished {
    std::optional<std::string> journalFile;  // the copy kept, if one was due and could be
    std::string journalError;                // why a copy that was due could not be kept
    std::string markError;                   // why the mark could not be let go
  };
  // After the outcome: sent, the copy of exactly what the server stored;
  // not sent, the message with its reason; unknown, the message as it went,
  // "à vérifier", with its reason; cancelled, nothing. Then the mark is let
  // go (it is gone too after a cancel).
  TFinished Finish(const TSendingOutcome& outcome, const TSendingMark& mark) const;

  // The mark a former run left, if any. A mark that cannot be read is set
  // aside under a dated name and told in `error`, with nothing returned.
  std::optional<TSendingMark> Interrupted(std::string* error) const;
  // Keeps an interrupted sending in the journal "à vérifier", at the moment
  // it began and with `reason`, then lets its mark go. When the journal
  // cannot take the copy the mark stays, so that the next start tries again.
  TFinished FinishInterrupted(const TSendingMark& mark, const std::string& reason) const;

 private:
  TFinished Keep(const std::string& copy, TOrderJournal::TState state, std::time_t moment) const;
  std::string LetGoOfTheMark() const;

  std::string fMarkFile;
  TOrderJournal fJournal;
};

}  // namespace quillor
