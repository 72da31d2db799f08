// The catalogue in use: which one it is, with its dates, shown under the
// logo; its update and the undo of the last update; the availability kept
// fresh at start-up; reading it all again once it changed.
#include <QLineEdit>
#include <QRadioButton>

#include "app/CatalogueStrip.h"
#include "app/CatalogueUpdater.h"
#include "app/ErrorHandler.h"
#include "app/Quillor_Unit.h"
#include "app/UserFiles.h"
#include "app/WidgetText.h"
#include "database/ArticleSearch.h"
#include "text/TextLines.h"
#include "update/AvailabilityRefresh.h"
#include "update/DataSetStore.h"
#include "update/FrenchText.h"
#include "update/UpdatePreferences.h"

namespace quillor {

using update::Fr;

update::TUpdateRequest TQuillor_Form::CatalogueUpdateRequest() const {
  update::TUpdateRequest request;
  request.settings = fOptions.update;
  request.dataFolder = UserDataFolder();
  // Compared with what the list shows, which is what the pharmacist knows.
  const update::TCatalogueLocation inUse = update::LocateCatalogueInUse(request.dataFolder);
  if (inUse.origin != update::TDataOrigin::kNone) request.currentArticleFile = inUse.articleFile;
  request.currentAvailabilityFile = update::LocateAvailability(inUse, request.dataFolder).file;
  return request;
}

void TQuillor_Form::UpdateCatalogueClick() {
  // The update fetches the availability too: a refresh of it alone gives way.
  if (IsRefreshingAvailability()) {
    fAvailabilityRefresh->Cancel();
    fAvailabilityNote.clear();
  }
  fCatalogueUpdater->Update();
}

void TQuillor_Form::RollbackCatalogueClick() {
  if (IsRefreshingAvailability()) {
    fAvailabilityRefresh->Cancel();
    fAvailabilityNote.clear();
  }
  fCatalogueUpdater->Rollback();
}

bool TQuillor_Form::IsRefreshingAvailability() const {
  return fAvailabilityRefresh && fAvailabilityRefresh->IsRunning();
}

void TQuillor_Form::ShowCatalogueInUse() {
  const std::string dataFolder = UserDataFolder();
  fAvailability = update::LocateAvailability(fCatalogue, dataFolder);
  CatalogueStrip->SetDescription(update::DescribeCatalogue(fCatalogue));
  const TDayDate published = fAvailability.availability.published;
  std::string line = fAvailability.file.empty() ? Fr("Disponibilités inconnues")
                     : published == kNoDate     ? Fr("Disponibilités sans date")
                                                : Fr("Disponibilités du ") + FormatDayDate(published);
  if (!fAvailabilityNote.empty()) line += " (" + fAvailabilityNote + ")";
  CatalogueStrip->SetNote(line);
  CatalogueStrip->SetCanRollback(update::TDataSetStore(dataFolder).Current().has_value());
}

void TQuillor_Form::RefreshAvailabilityIfOld() {
  if (!fOptions.refreshAvailability || !update::AutomaticAvailabilityRefreshWanted()) return;
  const TDayDate published = fAvailability.file.empty() ? kNoDate : fAvailability.availability.published;
  if (!update::AvailabilityIsStale(published, Today(), update::TAvailabilityRefresh::kMaxAgeDays)) return;
  if (fCatalogueUpdater->IsRunning()) return;
  if (!fAvailabilityRefresh) fAvailabilityRefresh = std::make_unique<update::TAvailabilityRefresh>();
  std::string whyNot;
  const bool started = fAvailabilityRefresh->Start(
      fOptions.update, UserDataFolder(), published,
      [this](update::TAvailabilityRefreshResult result) {
        using TStatus = update::TAvailabilityRefreshResult::TStatus;
        fAvailabilityNote = result.status == TStatus::kFailed
                                ? Fr("mise à jour impossible : ") + result.reason
                                : std::string();
        if (result.status == TStatus::kRefreshed) {
          RunGuarded([this] { AvailabilityChanged(); });
        } else {
          ShowCatalogueInUse();
        }
      },
      &whyNot);
  fAvailabilityNote = started ? Fr("mise à jour…") : Fr("mise à jour impossible : ") + whyNot;
  ShowCatalogueInUse();
}

void TQuillor_Form::AvailabilityChanged() {
  ShowCatalogueInUse();
  Knowledge.LoadAvailability(fAvailability.file);
  LoadKnowledge();
  ListeArticles_StringGrid->viewport()->update();
}

void TQuillor_Form::CatalogueChanged() {
  const update::TCatalogueLocation before = fCatalogue;
  std::unique_ptr<TMyDatabase> previous = std::move(ArticleTable);
  try {
    LocateCatalogue();
    ReadArticles();
  } catch (...) {
    // The list keeps showing what it showed, from the table it came from.
    fCatalogue = before;
    ArticleTable = std::move(previous);
    ShowCatalogueInUse();
    throw;
  }
  // What is known of the articles goes with their catalogue; equivalents
  // listed from the old one would name articles that may be gone.
  LeaveEquivalents();
  Knowledge.Load(KnowledgeFolderOf(fCatalogue.articleFile), fAvailability.file);
  LoadKnowledge();
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
