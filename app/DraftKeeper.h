// Keeps the order being composed on disk as the user types, so that a
// crash, a kill or a power cut loses nothing: the order's texts, handed over
// at each change (Changed), are written to the draft file (OrderDraft.h) at
// most kSaveDelayMs later. The draft holds the address and, unless it still
// holds only its opening lines, the message; with neither changed since the
// start there is no draft file at all. The next start shows a kept draft
// instead of the opening lines (RestoreAndStart).
//
// Works on the order's texts, not on the window's widgets: the window hands
// them over. Owned by the order window. A failure to write is handed to
// `onFailure` (the window shows one box for it) and never stops the typing.
// GUI thread only (its delay is a QTimer).
#pragma once

#include <QObject>
#include <QTimer>
#include <ctime>
#include <functional>
#include <optional>
#include <string>

#include "app/OrderDraft.h"

namespace quillor {

// The texts of an order as on screen, in UTF-8 (lines separated by LF).
struct TOrderTexts {
  std::string address;
  std::string message;

  bool operator==(const TOrderTexts&) const = default;
};

class TDraftKeeper : public QObject {
 public:
  // The longest a change waits before it is written. Not restarted by
  // further typing, so a user who types without a pause is kept too.
  static constexpr int kSaveDelayMs = 1000;

  using TFailure = std::function<void(const std::string& reason)>;

  TDraftKeeper(std::string fileName, TFailure onFailure, std::function<void()> onSuccess);
  TDraftKeeper(const TDraftKeeper&) = delete;
  TDraftKeeper& operator=(const TDraftKeeper&) = delete;
  ~TDraftKeeper() override = default;

  // Takes `baseline` (the address as loaded, the message's opening lines)
  // as what needs no keeping, then returns the kept draft, if there is one,
  // for the window to show; every change from here on is kept. A draft that
  // cannot be read is set aside under a dated name (`now`) and reported
  // through the trace facility; should it stay where it is, nothing more is
  // written this run, so that no keystroke ever replaces it.
  std::optional<TOrderDraft> RestoreAndStart(const TOrderTexts& baseline, std::time_t now);

  // The order's texts as they now are; written within kSaveDelayMs.
  void Changed(TOrderTexts current);
  // After a sending: `current` becomes what needs no keeping, and the draft
  // is written at once without the message.
  void StartAfresh(const TOrderTexts& current);
  // Writes a pending change now.
  void SaveNow();
  // Removes the draft and keeps nothing more (the window closes as asked).
  void Discard();

  const std::string& FileName() const { return fFileName; }
  // False once keeping stopped (Discard, or a draft that could not be set
  // aside).
  bool IsKeeping() const { return fKeeping; }

 private:
  std::string fFileName;
  TFailure fOnFailure;
  std::function<void()> fOnSuccess;
  QTimer fTimer;
  TOrderTexts fBaseline;
  TOrderTexts fCurrent;
  bool fKeeping = false;
  bool fPending = false;
};

}  // namespace quillor
