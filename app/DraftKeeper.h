// Keeps the order being composed on disk as the user types, so that a
// crash, a kill or a power cut loses nothing: a change of the order message
// or of the address is written to the draft file (OrderDraft.h) at most
// kSaveDelayMs later. The draft holds the address and, unless it still holds
// only its opening lines, the message; with neither changed since the start
// there is no draft file at all. The next start shows a kept draft instead
// of the opening lines (RestoreAndStart).
//
// Owned by the order window; watches two of its memos, which must outlive
// it. A failure to write is handed to `onFailure` (the window shows one box
// for it) and never stops the typing. GUI thread only.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <string>

class QPlainTextEdit;

namespace quillor {

class TDraftKeeper : public QObject {
 public:
  // The longest a change waits before it is written. Not restarted by
  // further typing, so a user who types without a pause is kept too.
  static constexpr int kSaveDelayMs = 1000;

  using TFailure = std::function<void(const std::string& reason)>;

  TDraftKeeper(QPlainTextEdit& message, QPlainTextEdit& address, std::string fileName, TFailure onFailure,
               std::function<void()> onSuccess);
  TDraftKeeper(const TDraftKeeper&) = delete;
  TDraftKeeper& operator=(const TDraftKeeper&) = delete;
  ~TDraftKeeper() override;

  struct TRestored {
    bool message = false;
    bool address = false;  // the draft's address differs from the one loaded
  };
  // Takes the memos as they are as the baseline (the opening lines of the
  // message, the address as loaded), then puts the kept draft into them if
  // there is one, then keeps every change from here on. A draft that cannot
  // be read is reported through the trace facility; the memos keep what
  // the start-up put there, and the next change writes a new draft.
  TRestored RestoreAndStart();

  // After a sending: the message as it is now (its opening lines again)
  // becomes the baseline, and the draft is written at once without it.
  void StartAfresh();
  // Writes a pending change now.
  void SaveNow();
  // Removes the draft and keeps nothing more (the window closes as asked).
  void Discard();

  const std::string& FileName() const { return fFileName; }

 private:
  void Changed();

  QPlainTextEdit& fMessage;
  QPlainTextEdit& fAddress;
  std::string fFileName;
  TFailure fOnFailure;
  std::function<void()> fOnSuccess;
  QTimer fTimer;
  QString fOpening;
  QString fLoadedAddress;
  bool fKeeping = false;
  bool fPending = false;
};

}  // namespace quillor
