// The search panel: its triggers and the search itself, which narrows the
// article table and refills the grid.
#include <QLineEdit>
#include <QRadioButton>

#include "app/MessagePresenter.h"
#include "app/Quillor_Unit.h"
#include "app/WidgetText.h"
#include "database/ArticleSearch.h"
#include "text/ScannedCode.h"
#include "text/TrimBlanks.h"

namespace quillor {

void TQuillor_Form::Search() {
  SearchFor(TSearchTrigger::kAsked);
}

void TQuillor_Form::SearchFor(TSearchTrigger trigger) {
  if (!ArticleTable) return;
  const std::string typed = FromQString(Edit1->text());
  const TScannedCode code = ReadScannedCode(typed);
  switch (code.kind) {
    case TScannedCode::TKind::kNotACode:
      break;
    case TScannedCode::TKind::kUnreadable:
      // While a scanner types, a code is unreadable until its last
      // character: only a search asked for (Enter) says so.
      if (trigger == TSearchTrigger::kAsked) {
        ShowErrorMessage("Code illisible : " + ShowGroupSeparators(TrimBlanksAndControls(typed)) + " (" +
                         code.reason + ")");
      }
      return;
    case TScannedCode::TKind::kCip7:
    case TScannedCode::TKind::kOtherGoods:
      SearchArticleByCip(*ArticleTable, code.cip7);
      LeaveEquivalents();
      ArticleTable->SelectionToGrid(*ArticleGrid, "", true);
      DisplayPrices();
      ShowFirstArticle();
      // Scan, quantity, Enter: the quantity is typed next.
      if (trigger == TSearchTrigger::kAsked && ArticleTable->SelectionCount() > 0) {
        Edit2->setFocus();
        Edit2->selectAll();
      }
      return;
  }
  const std::string query = NormaliseSearchText(typed);
  if (query.empty()) return;
  // An invalid pattern raises here, before the grid is touched: the grid
  // keeps what it showed and the general handler shows the error.
  if (RadioButton3->isChecked()) {
    SearchArticles(*ArticleTable, query, true);
  } else if (RadioButton4->isChecked()) {
    Knowledge.SearchBySubstance(*ArticleTable, query);
    NoteCompositionProblems();
  } else {
    fExactSearches.Search(*ArticleTable, query);
  }
  // A new list: an equivalents list it replaces is left.
  LeaveEquivalents();
  ArticleTable->SelectionToGrid(*ArticleGrid, "", true);
  DisplayPrices();
  ShowFirstArticle();
}

void TQuillor_Form::ShowFirstArticle() {
  // The add button takes the current row: after a new list it must be one
  // the user sees, never a row left over from the last list and scrolled
  // out of sight. Making the first row current brings it into view.
  ArticleGrid->SetRow(ArticleGrid->GetFixedRows());
}

void TQuillor_Form::Edit1Change() {
  // Typing searches only in exact mode (and by substance, which narrows as
  // exact mode does), and only past two characters, so that the first
  // keystrokes do not list half the catalogue.
  const bool narrowsAsTyped = RadioButton1->isChecked() || RadioButton4->isChecked();
  if (narrowsAsTyped && FromQString(Edit1->text()).size() > 2) SearchFor(TSearchTrigger::kTyped);
}

void TQuillor_Form::Edit1KeyPress(char& key) {
  if (key != '\r') return;
  ArticleGrid->SetTopRow(1);
  Search();
}

void TQuillor_Form::SpeedButton2Click() {
  ArticleGrid->SetTopRow(1);
  Search();
}

void TQuillor_Form::RadioButton1Click() {
  Search();
}

void TQuillor_Form::RadioButton3Click() {
  Search();
}

}  // namespace quillor
