#include "app/CatalogueStrip.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QShortcut>
#include <QToolButton>

#include "grid/widget/GridText.h"

namespace quillor {

TCatalogueStrip::TCatalogueStrip(QWidget* window, std::function<void()> update,
                                 std::function<void()> rollback)
    : QWidget(window) {
  setObjectName(QStringLiteral("CatalogueStrip"));
  QFont small = font();
  small.setPointSizeF(std::max(6.0, small.pointSizeF() - 0.5));

  fDescription = new QLabel(this);
  fDescription->setObjectName(QStringLiteral("CatalogueDescription"));
  fDescription->setGeometry(0, 0, 300, 13);
  fDescription->setFont(small);
  fNote = new QLabel(this);
  fNote->setObjectName(QStringLiteral("CatalogueNote"));
  fNote->setGeometry(0, 13, 300, 13);
  fNote->setFont(small);

  fButton = new QToolButton(this);
  fButton->setObjectName(QStringLiteral("CatalogueUpdateButton"));
  fButton->setText(QStringLiteral("Mettre à jour"));
  fButton->setToolTip(
      QStringLiteral("Télécharger la base publique des médicaments et mettre le catalogue à jour (%1)")
          .arg(QLatin1String(kShortcut)));
  fButton->setPopupMode(QToolButton::MenuButtonPopup);
  fButton->setFocusPolicy(Qt::NoFocus);
  fButton->setGeometry(304, 1, 105, 24);
  auto* menu = new QMenu(fButton);
  // The shortcut is the window's (below); the menu only shows it.
  QAction* updateAction =
      menu->addAction(QStringLiteral("Mettre à jour le catalogue\t%1").arg(QLatin1String(kShortcut)));
  fRollback = menu->addAction(QStringLiteral("Revenir au catalogue précédent"));
  fRollback->setObjectName(QStringLiteral("CatalogueRollbackAction"));
  fButton->setMenu(menu);
  connect(fButton, &QToolButton::clicked, this, [update] { update(); });
  connect(updateAction, &QAction::triggered, this, [update] { update(); });
  connect(fRollback, &QAction::triggered, this, [rollback] { rollback(); });
  // From anywhere in the window, whatever has the focus.
  auto* shortcut = new QShortcut(QKeySequence(QLatin1String(kShortcut)), window);
  shortcut->setContext(Qt::WindowShortcut);
  connect(shortcut, &QShortcut::activated, this, [update] { update(); });
  SetCanRollback(false);
}

namespace {

// The whole text when it fits, else cut with "…"; the whole text is the tip.
void SetFitting(QLabel& label, const std::string& text) {
  const QString whole = ToQString(text);
  label.setText(label.fontMetrics().elidedText(whole, Qt::ElideRight, label.width()));
  label.setToolTip(whole);
}

}  // namespace

void TCatalogueStrip::SetDescription(const std::string& text) {
  SetFitting(*fDescription, text);
}

void TCatalogueStrip::SetNote(const std::string& text) {
  SetFitting(*fNote, text);
}

void TCatalogueStrip::SetUpdating(bool updating) {
  fUpdating = updating;
  fButton->setEnabled(!updating);
  fRollback->setEnabled(!updating && fCanRollback);
}

void TCatalogueStrip::SetCanRollback(bool canRollback) {
  fCanRollback = canRollback;
  fRollback->setEnabled(!fUpdating && fCanRollback);
}

}  // namespace quillor
