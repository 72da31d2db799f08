// The catalogue in use: which one it is, shown under the logo; its update
// and the undo of the last update; reading it again once it changed.
#include <QLineEdit>
#include <QRadioButton>

#include "ArticleSearch.h"
#include "CatalogueStrip.h"
#include "CatalogueUpdater.h"
#include "DataSetStore.h"
#include "Quillor_Unit.h"
#include "TextLines.h"
#include "UserFiles.h"
#include "WidgetText.h"

namespace quillor {

update::TUpdateRequest TQuillor_Form::CatalogueUpdateRequest() const {
  update::TUpdateRequest request;
  request.settings = fOptions.update;
  request.dataFolder = UserDataFolder();
  // Compared with what the list shows, which is what the pharmacist knows.
  const update::TCatalogueLocation inUse = update::LocateCatalogueInUse(request.dataFolder);
  if (inUse.origin != update::TDataOrigin::kNone) request.currentArticleFile = inUse.articleFile;
  return request;
}

void TQuillor_Form::UpdateCatalogueClick() {
  fCatalogueUpdater->Update();
}

void TQuillor_Form::RollbackCatalogueClick() {
  fCatalogueUpdater->Rollback();
}

void TQuillor_Form::ShowCatalogueInUse() {
  CatalogueStrip->SetDescription(update::DescribeCatalogue(fCatalogue));
  CatalogueStrip->SetCanRollback(update::TDataSetStore(UserDataFolder()).Current().has_value());
}

void TQuillor_Form::CatalogueChanged() {
  const update::TCatalogueLocation before = fCatalogue;
  std::unique_ptr<TMyDatabase> previous = std::move(ArticleTable);
  try {
    ReadArticles();
  } catch (...) {
    // The list keeps showing what it showed, from the table it came from.
    fCatalogue = before;
    ArticleTable = std::move(previous);
    ShowCatalogueInUse();
    throw;
  }
  // The list as at start-up, then the search in progress, if any, again.
  ArticleTable->QueryAll("Designation");
  ArticleTable->SelectionToGrid(*ArticleGrid, "", true);
  DisplayPrices();
  ShowFirstArticle();
  // Exact mode searches from the third character typed, as typing does.
  const std::string typed = FromQString(Edit1->text());
  if (RadioButton3->isChecked() ? !NormaliseSearchText(typed).empty() : typed.size() > 2) {
    SearchFor(TSearchTrigger::kTyped);
  }
}

}  // namespace quillor
