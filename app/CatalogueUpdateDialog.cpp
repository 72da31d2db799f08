#include "app/CatalogueUpdateDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstdio>

#include "grid/widget/GridText.h"

namespace quillor {
namespace {

QString Megabytes(int64_t bytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", static_cast<double>(bytes) / (1024.0 * 1024.0));
  return QString::fromLatin1(text).replace(QLatin1Char('.'), QLatin1Char(','));
}

QPushButton* NewButton(QWidget* parent, const QString& text, const char* name) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(QLatin1String(name));
  button->setAutoDefault(false);
  return button;
}

}  // namespace

TCatalogueUpdateDialog::TCatalogueUpdateDialog(QWidget* owner, TActions actions)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      fActions(std::move(actions)) {
  setObjectName(QStringLiteral("CatalogueUpdateDialog"));
  setWindowTitle(QStringLiteral("Mise à jour du catalogue"));
  setWindowModality(Qt::NonModal);
  fStep = new QLabel(this);
  fStep->setObjectName(QStringLiteral("StepLabel"));
  fStep->setMinimumWidth(380);
  fStep->setWordWrap(true);
  fBar = new QProgressBar(this);
  fBar->setObjectName(QStringLiteral("ProgressBar"));
  fBar->setTextVisible(true);
  fDetails = new QLabel(this);
  fDetails->setObjectName(QStringLiteral("DetailsLabel"));
  fDetails->setWordWrap(true);
  fDetails->setTextInteractionFlags(Qt::TextSelectableByMouse);
  fCancel = NewButton(this, QStringLiteral("Annuler"), "CancelButton");
  fAccept = NewButton(this, QStringLiteral("Installer quand même"), "AcceptButton");
  fRefuse = NewButton(this, QStringLiteral("Abandonner"), "RefuseButton");
  fRollback = NewButton(this, QStringLiteral("Revenir au catalogue précédent"), "RollbackButton");
  fClose = NewButton(this, QStringLiteral("Fermer"), "CloseButton");
  connect(fCancel, &QPushButton::clicked, this, &TCatalogueUpdateDialog::reject);
  connect(fAccept, &QPushButton::clicked, this, [this] {
    Show(TState::kRunning);
    if (fActions.answer) fActions.answer(true);
  });
  connect(fRefuse, &QPushButton::clicked, this, [this] {
    Show(TState::kRunning);
    if (fActions.answer) fActions.answer(false);
  });
  connect(fRollback, &QPushButton::clicked, this, [this] {
    if (fActions.rollback) fActions.rollback();
  });
  connect(fClose, &QPushButton::clicked, this, &QDialog::hide);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  for (QPushButton* button : {fAccept, fRefuse, fRollback, fClose, fCancel}) buttons->addWidget(button);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(fStep);
  layout->addWidget(fBar);
  layout->addWidget(fDetails);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  Show(TState::kFinished);
}

void TCatalogueUpdateDialog::Show(TState state) {
  fState = state;
  fCancel->setVisible(state == TState::kRunning);
  fCancel->setEnabled(state == TState::kRunning);
  fAccept->setVisible(state == TState::kAsking);
  fRefuse->setVisible(state == TState::kAsking);
  fClose->setVisible(state == TState::kFinished);
  fBar->setVisible(state == TState::kRunning);
  if (state != TState::kFinished) fRollback->setVisible(false);
}

void TCatalogueUpdateDialog::Started(const std::string& source) {
  Show(TState::kRunning);
  fStep->setText(QStringLiteral("Connexion à %1…").arg(ToQString(source)));
  fBar->setRange(0, 0);
  fDetails->clear();
  if (!isVisible()) show();
  raise();
}

void TCatalogueUpdateDialog::Progress(const update::TUpdateProgress& progress) {
  switch (progress.step) {
    case update::TUpdateStep::kDownloading: {
      const update::TFileProgress& file = progress.file;
      fStep->setText(QStringLiteral("Téléchargement de %1 (%2 sur %3)")
                         .arg(QString::fromStdString(file.name))
                         .arg(file.index + 1)
                         .arg(file.count));
      if (file.total > 0 && file.total <= update::TFetcher::kMaxFileBytes) {
        // In bytes: no file the update takes is too large for an int.
        fBar->setRange(0, static_cast<int>(file.total));
        fBar->setValue(static_cast<int>(std::min(file.received, file.total)));
        fBar->setFormat(
            QStringLiteral("%1 Mo sur %2 Mo").arg(Megabytes(file.received), Megabytes(file.total)));
      } else {
        fBar->setRange(0, 0);
        fBar->setFormat(QStringLiteral("%1 Mo").arg(Megabytes(file.received)));
      }
      return;
    }
    case update::TUpdateStep::kImporting:
      fStep->setText(QStringLiteral("Vérification et import des fichiers…"));
      fBar->setRange(0, 0);
      return;
    case update::TUpdateStep::kConfirming:
      return;
    case update::TUpdateStep::kInstalling:
      fStep->setText(QStringLiteral("Enregistrement du nouveau catalogue…"));
      fBar->setRange(0, 0);
      return;
  }
}

void TCatalogueUpdateDialog::Ask(const std::string& question) {
  Show(TState::kAsking);
  fStep->setText(QStringLiteral("Le nouveau catalogue est bien plus petit que celui d'aujourd'hui."));
  fDetails->setText(ToQString(question));
  if (!isVisible()) show();
  raise();
}

void TCatalogueUpdateDialog::Finished(const std::vector<std::string>& lines, bool canRollback) {
  Show(TState::kFinished);
  fRollback->setVisible(canRollback);
  QStringList text;
  for (const std::string& line : lines) text << ToQString(line);
  fStep->setText(text.isEmpty() ? QString() : text.takeFirst());
  fDetails->setText(text.join(QLatin1Char('\n')));
  if (!isVisible()) show();
}

void TCatalogueUpdateDialog::reject() {
  switch (fState) {
    case TState::kRunning:
      if (!fCancel->isEnabled()) return;
      fCancel->setEnabled(false);
      fStep->setText(QStringLiteral("Annulation…"));
      if (fActions.cancel) fActions.cancel();
      return;
    case TState::kAsking:
      fRefuse->click();
      return;
    case TState::kFinished:
      hide();
      return;
  }
}

}  // namespace quillor
