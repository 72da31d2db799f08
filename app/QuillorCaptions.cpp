// Captions, price settings and the price column of the article grid, all
// read from the settings file at each call (the grid's titles as long as the
// file is unchanged, see GridTitles.h).
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/GridTitles.h"
#include "app/Quillor_Unit.h"
#include "app/WidgetText.h"
#include "text/IniManager.h"
#include "text/StringManager.h"

namespace quillor {

namespace {

constexpr const char* kNoMatch = "Aucune correspondance";

}  // namespace

void TQuillor_Form::WriteTitles(const TGridTitles& titles) {
  for (size_t i = 0; i < titles.size(); ++i) ArticleGrid->SetCell(static_cast<int32_t>(i), 0, titles[i]);
}

void TQuillor_Form::LoadCaptions() {
  TIniManager ini(TQuillorFiles::kSettingsFile);

  // The coefficient is kept as the digits it was written with, whichever
  // decimal separator the file uses, so that prices are scaled exactly. A
  // value that is no plain number goes through the reader's own conversion,
  // which reports it.
  std::optional<TExactDecimal> written;
  if (ini.KeyExists("EURO", "CoeffMonnaie")) {
    const std::string text = ini.Get("EURO", "CoeffMonnaie");
    if (TStringManager::IsReal(text)) written = ParseExactDecimal(text);
  }
  if (written) {
    fCoefficientDigits = *written;
    CurrencyCoefficient = ToDouble(*written);
  } else {
    CurrencyCoefficient = ini.GetReal("EURO", "CoeffMonnaie");
    fCoefficientDigits = ExactDecimalFromDouble(CurrencyCoefficient);
  }
  DecimalCount = ini.GetInt("EURO", "NombreDeDecimales");

  SetTitleCaption(ini.Get("FRANCAIS", "Titre"));
  WriteTitles(ReadGridTitles(ini));
  GroupBox1->setTitle(ToQString(ini.Get("FRANCAIS", "PanelRecherche")));
  // A settings file older than the search by substance has no caption for it.
  SetModeCaptions(
      ini.Get("FRANCAIS", "RechExacte"), ini.Get("FRANCAIS", "RechApprox"),
      ini.KeyExists("FRANCAIS", "RechSubstance") ? ini.Get("FRANCAIS", "RechSubstance") : "Substance");
  Button1->setText(ToQString(ini.Get("FRANCAIS", "BtnQuitter")));

  std::string opening;
  for (const char* key : {"MsgMail1", "MsgMail2", "MsgMail3"}) {
    if (ini.KeyExists("FRANCAIS", key)) opening += ini.Get("FRANCAIS", key) + "\r\n";
  }
  // One empty line after the opening lines; order lines come after it.
  opening += "\r\n";
  SetMemoText(*Message_Memo, opening);
}

void TQuillor_Form::DisplayPrices() {
  TMyStringGrid& grid = *ArticleGrid;
  // A fill always leaves one data row; an empty designation there means that
  // nothing was found.
  if (grid.GetRowCount() == 2 && grid.GetCell(1, 1).empty()) {
    grid.SetRowCount(2);
    grid.SetCell(0, 1, "");
    grid.SetCell(1, 1, kNoMatch);
    grid.SetCell(2, 1, "");
    return;
  }

  // Every price that reads otherwise once scaled is rewritten; the grid
  // keeps the scaled catalogue prices, so a search pays for none of them.
  grid.RewriteColumn(2, PriceRewrite(fCoefficientDigits, DecimalCount));

  WriteTitles(fGridTitles.Read());
}

}  // namespace quillor
