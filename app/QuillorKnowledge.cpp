// What the window knows of the articles beyond the article file: the marks
// of the grid's rows and their tooltips, the dates in the title, the list
// of an article's equivalents and the way back from it, the question before
// ordering an article in shortage, and the search by substance. The logic
// lives in the knowledge (knowledge/) and ArticleNotes; here it meets the
// widgets.
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QShortcut>
#include <QToolTip>
#include <QUrl>

#include "app/ArticleNotes.h"
#include "app/ErrorHandler.h"
#include "app/MessagePresenter.h"
#include "app/Quillor_Unit.h"
#include "app/WidgetText.h"
#include "database/ArticleSearch.h"

namespace quillor {

void TQuillor_Form::LoadKnowledge() {
  ArticleGrid->SetRowMarker(
      [this](int32_t row, TRowMark& mark) {
        return ArticleMark(Knowledge, ArticleGrid->GetCell(0, row), mark);
      },
      1);
  const std::string dates = DataDates(Knowledge);
  setWindowTitle(dates.empty() ? QStringLiteral("Quillor") : ToQString("Quillor \x97 " + dates));
  // Said in a line, not a box: a box at start-up would stop the user for
  // what only narrows what the window can tell. Reading them again (another
  // catalogue) says afresh what is missing.
  fCompositionsNoted = false;
  ShowKnowledgeProblems(KnowledgeProblems(Knowledge));
}

namespace {

// Elided to the label's width, `kept` (the end of `whole`) shown whole; the
// whole text in its tooltip.
void SetFitting(QLabel& label, const QString& whole, const QString& kept = {}) {
  const QFontMetrics metrics(label.font());
  const QString head = whole.left(whole.size() - kept.size());
  label.setText(metrics.elidedText(head, Qt::ElideRight, label.width() - metrics.horizontalAdvance(kept)) +
                kept);
  label.setToolTip(whole);
}

}  // namespace

void TQuillor_Form::ShowListCaption(const std::string& text) {
  // The way back, after the caption's last dash, stays readable however
  // long the article's designation.
  const size_t dash = text.rfind(" \x97 ");
  SetFitting(*Label6, ToQString(text), dash == std::string::npos ? QString() : ToQString(text.substr(dash)));
  Label6->setVisible(!text.empty());
  // The list starts under the line while it is shown, where the line
  // starts otherwise.
  const int top = text.empty() ? Label6->y() : Label6->geometry().bottom() + 3;
  if (ListeArticles_StringGrid->y() == top) return;
  ListeArticles_StringGrid->move(ListeArticles_StringGrid->x(), top);
  FormResize();
}

void TQuillor_Form::ShowKnowledgeProblems(const std::string& text) {
  SetFitting(*Label7, ToQString(text));
}

void TQuillor_Form::NoteCompositionProblems() {
  if (fCompositionsNoted || !Knowledge.CompositionsRead()) return;
  fCompositionsNoted = true;
  const std::string problem = CompositionsProblem(Knowledge);
  if (problem.empty()) return;
  const std::string before = FromQString(Label7->toolTip());
  ShowKnowledgeProblems(before.empty() ? problem : before + " " + problem);
}

void TQuillor_Form::RadioButton4Click() {
  Search();
}

std::string TQuillor_Form::ArticleRowTooltip(int32_t row) const {
  if (!ArticleGrid || row < ArticleGrid->GetFixedRows() || row >= ArticleGrid->GetRowCount()) return {};
  const std::string cip7 = ArticleGrid->GetCell(0, row);
  if (cip7.empty()) return {};
  return ArticleTooltip(Knowledge, cip7);
}

void TQuillor_Form::GridToolTip(QEvent* event) {
  auto* help = static_cast<QHelpEvent*>(event);
  const QPoint at = ListeArticles_StringGrid->viewport()->mapTo(ListeArticles_StringGrid, help->pos());
  const TGridCoord cell = ListeArticles_StringGrid->MouseCoord(at.x(), at.y());
  const std::string tip = ArticleRowTooltip(cell.Y);
  if (tip.empty()) {
    QToolTip::hideText();
    event->ignore();
    return;
  }
  QToolTip::showText(help->globalPos(), ToQString(tip), ListeArticles_StringGrid->viewport());
}

std::unique_ptr<QMenu> TQuillor_Form::ArticleMenu(int32_t row) {
  auto menu = std::make_unique<QMenu>(this);
  if (ArticleGrid && row >= ArticleGrid->GetFixedRows() && row < ArticleGrid->GetRowCount()) {
    const std::string cip7 = ArticleGrid->GetCell(0, row);
    if (!cip7.empty()) {
      QAction* equivalents =
          menu->addAction(ToQString("\xC9quivalents\t" + std::string(kEquivalentsKeyName)));
      connect(equivalents, &QAction::triggered, this, [this, cip7, row] {
        RunGuarded([this, cip7, row] { ShowEquivalentsOf(cip7, ArticleGrid->GetCell(1, row)); });
      });
      const TArticleAvailability availability = Knowledge.AvailabilityOf(cip7);
      if (!availability.page.empty()) {
        QAction* page = menu->addAction(ToQString("Page de l'ANSM : " + AvailabilitySentence(availability)));
        connect(page, &QAction::triggered, this,
                [this, url = availability.page] { RunGuarded([this, url] { OpenAgencyPage(url); }); });
      }
    }
  }
  if (fShowingEquivalents) {
    QAction* back =
        menu->addAction(ToQString("Retour \xE0 la recherche\t\xC9"
                                  "chap"));
    connect(back, &QAction::triggered, this, [this] { RunGuarded([this] { ReturnToSearch(); }); });
  }
  return menu;
}

void TQuillor_Form::GridContextMenu(QEvent* event, bool fromMouse) {
  auto* request = static_cast<QContextMenuEvent*>(event);
  int32_t row = ArticleGrid ? ArticleGrid->GetRow() : -1;
  if (fromMouse && ArticleGrid) {
    // The menu is about the row clicked: it becomes the current one.
    const QPoint at = ListeArticles_StringGrid->viewport()->mapTo(ListeArticles_StringGrid, request->pos());
    const TGridCoord cell = ListeArticles_StringGrid->MouseCoord(at.x(), at.y());
    if (cell.Y < ArticleGrid->GetFixedRows()) return;
    ArticleGrid->SetRow(cell.Y);
    row = ArticleGrid->GetRow();
  }
  std::unique_ptr<QMenu> menu = ArticleMenu(row);
  if (!menu->actions().isEmpty()) menu->exec(request->globalPos());
}

void TQuillor_Form::OpenAgencyPage(const std::string& page) {
  if (fOptions.openUrl) {
    fOptions.openUrl(page);
    return;
  }
  QDesktopServices::openUrl(QUrl::fromEncoded(QByteArray::fromStdString(page)));
}

void TQuillor_Form::ShowEquivalents() {
  if (!ArticleGrid || !ArticleTable) return;
  const int32_t row = ArticleGrid->GetRow();
  if (row < ArticleGrid->GetFixedRows()) return;
  const std::string cip7 = ArticleGrid->GetCell(0, row);
  if (cip7.empty()) return;
  ShowEquivalentsOf(cip7, ArticleGrid->GetCell(1, row));
}

void TQuillor_Form::ShowEquivalentsOf(const std::string& cip7, const std::string& designation) {
  if (!ArticleTable) return;
  // The way back leads to the search, not to an equivalents list before.
  if (!fShowingEquivalents) fListBeforeEquivalents = ArticleTable->SaveSelection();
  const TEquivalents equivalents = Knowledge.EquivalentsOf(*ArticleTable, cip7);
  ArticleTable->SelectRecords(equivalents.records);
  ArticleTable->SelectionToGrid(*ArticleGrid, "", true);
  DisplayPrices();
  ShowFirstArticle();
  fShowingEquivalents = true;
  fEquivalentsOf = cip7;
  fReturnKey->setEnabled(true);
  ShowListCaption(EquivalentsCaption(cip7, designation, equivalents));
  NoteCompositionProblems();
  ListeArticles_StringGrid->setFocus();
}

void TQuillor_Form::LeaveEquivalents() {
  if (!fShowingEquivalents) return;
  fShowingEquivalents = false;
  fReturnKey->setEnabled(false);
  ShowListCaption("");
}

void TQuillor_Form::ReturnToSearch() {
  if (!fShowingEquivalents || !ArticleTable) return;
  LeaveEquivalents();
  // A table changed since (it never is while the window runs) gives the
  // whole catalogue instead.
  if (!ArticleTable->RestoreSelection(fListBeforeEquivalents)) ArticleTable->QueryAll(kDesignationField);
  ArticleTable->SelectionToGrid(*ArticleGrid, "", true);
  DisplayPrices();
  ShowFirstArticle();
  for (int32_t row = ArticleGrid->GetFixedRows(); row < ArticleGrid->GetRowCount(); ++row) {
    if (ArticleGrid->GetCell(0, row) == fEquivalentsOf) {
      ArticleGrid->SetRow(row);
      break;
    }
  }
}

bool TQuillor_Form::ConfirmOrderOf(int32_t row) {
  const std::string cip7 = ArticleGrid->GetCell(0, row);
  const TArticleAvailability availability = Knowledge.AvailabilityOf(cip7);
  if (!AsksBeforeOrdering(availability.status) || !ArticleTable) return true;
  const TEquivalents equivalents = Knowledge.EquivalentsOf(*ArticleTable, cip7);
  size_t available = 0;
  for (int32_t record : equivalents.records) {
    if (AvailabilityRank(Knowledge.AvailabilityOf(ArticleTable->DBGetString(0, record)).status) == 0)
      ++available;
  }
  const std::string designation = ArticleGrid->GetCell(1, row);
  const std::vector<std::string> choices = OrderChoices(equivalents.records.size());
  const size_t choice =
      AskQuestion(OrderQuestion(cip7, designation, availability, equivalents.records.size(), available),
                  choices, choices.size() - 1);
  switch (OrderAnswerOf(choice, equivalents.records.size())) {
    case TOrderAnswer::kAdd:
      return true;
    case TOrderAnswer::kShowEquivalents:
      ShowEquivalentsOf(cip7, designation);
      return false;
    case TOrderAnswer::kCancel:
      break;
  }
  return false;
}

}  // namespace quillor
