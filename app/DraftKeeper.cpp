#include "DraftKeeper.h"

#include <QPlainTextEdit>
#include <QTextDocument>

#include "OrderDraft.h"
#include "TraceUnit.h"
#include "UserFiles.h"
#include "WidgetText.h"

namespace quillor {

namespace {

std::string Utf8(const QString& text) {
  return text.toUtf8().toStdString();
}

QString FromUtf8(const std::string& bytes) {
  return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

}  // namespace

TDraftKeeper::TDraftKeeper(QPlainTextEdit& message, QPlainTextEdit& address, std::string fileName,
                           TFailure onFailure, std::function<void()> onSuccess)
    : fMessage(message),
      fAddress(address),
      fFileName(std::move(fileName)),
      fOnFailure(std::move(onFailure)),
      fOnSuccess(std::move(onSuccess)) {
  fTimer.setSingleShot(true);
  connect(&fTimer, &QTimer::timeout, this, &TDraftKeeper::SaveNow);
  connect(&fMessage, &QPlainTextEdit::textChanged, this, &TDraftKeeper::Changed);
  connect(&fAddress, &QPlainTextEdit::textChanged, this, &TDraftKeeper::Changed);
}

TDraftKeeper::~TDraftKeeper() {
  // The memos may already be going: nothing is written from here on.
  disconnect(&fMessage, nullptr, this, nullptr);
  disconnect(&fAddress, nullptr, this, nullptr);
}

TDraftKeeper::TRestored TDraftKeeper::RestoreAndStart() {
  fOpening = MemoUnicodeText(fMessage);
  fLoadedAddress = MemoUnicodeText(fAddress);
  TRestored restored;
  std::string error;
  if (const std::optional<TOrderDraft> draft = LoadOrderDraft(fFileName, &error)) {
    const QString address = FromUtf8(draft->address);
    if (address != fLoadedAddress) {
      fAddress.setPlainText(address);
      restored.address = true;
    }
    if (draft->message) {
      fMessage.setPlainText(FromUtf8(*draft->message));
      restored.message = true;
    }
  } else if (!error.empty()) {
    Trace().TraceError("TDraftKeeper.RestoreAndStart: " + error + " (" + DisplayFileName(fFileName) + ")");
  }
  fKeeping = true;
  return restored;
}

void TDraftKeeper::Changed() {
  if (!fKeeping) return;
  fPending = true;
  if (!fTimer.isActive()) fTimer.start(kSaveDelayMs);
}

void TDraftKeeper::StartAfresh() {
  fOpening = MemoUnicodeText(fMessage);
  fPending = true;
  SaveNow();
}

void TDraftKeeper::SaveNow() {
  fTimer.stop();
  if (!fKeeping || !fPending) return;
  fPending = false;
  const QString message = MemoUnicodeText(fMessage);
  const QString address = MemoUnicodeText(fAddress);
  std::string error;
  bool written = false;
  if (message == fOpening && address == fLoadedAddress) {
    written = RemoveOrderDraft(fFileName, &error);
  } else {
    TOrderDraft draft;
    draft.address = Utf8(address);
    if (message != fOpening) draft.message = Utf8(message);
    written = SaveOrderDraft(fFileName, draft, &error);
  }
  if (written) {
    fOnSuccess();
  } else {
    fOnFailure(error);
  }
}

void TDraftKeeper::Discard() {
  fTimer.stop();
  fKeeping = false;
  fPending = false;
  std::string error;
  if (!RemoveOrderDraft(fFileName, &error)) fOnFailure(error);
}

}  // namespace quillor
