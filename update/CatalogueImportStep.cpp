#include "CatalogueImportStep.h"

#include <cstdio>

#include "AsciiFolding.h"
#include "CatalogueImport.h"
#include "FrenchText.h"
#include "PublicFileCheck.h"
#include "PublicFiles.h"

namespace quillor::update {
namespace {

// The presentations' date of their marketing declaration (0-based field).
constexpr size_t kDeclarationDateField = 5;

TDay NewestDay(const catalogue::ExportFile& presentations, TDay today) {
  TDay newest = 0;
  for (const catalogue::ExportLine& line : presentations.lines) {
    if (line.fields.size() <= kDeclarationDateField) continue;
    const TDay day = ReadDay(catalogue::FoldToUpperAscii(line.fields[kDeclarationDateField]).text);
    if (day > newest && day <= today) newest = day;
  }
  return newest;
}

}  // namespace

std::string DayText(TDay day) {
  if (day <= 0) return {};
  char text[16];
  std::snprintf(text, sizeof text, "%02d/%02d/%04d", day % 100, day / 100 % 100, day / 10000);
  return text;
}

TDay ReadDay(const std::string& text) {
  int d = 0, m = 0, y = 0;
  char end = 0;
  if (text.size() != 10 || std::sscanf(text.c_str(), "%2d/%2d/%4d%c", &d, &m, &y, &end) != 3) return 0;
  if (d < 1 || d > 31 || m < 1 || m > 12 || y < 1900) return 0;
  return y * 10000 + m * 100 + d;
}

TImportOutcome ImportPublicFiles(const std::map<std::string, std::string>& files, TDay today) {
  TImportOutcome outcome;
  std::map<TFileRole, catalogue::ExportFile> decoded;
  for (const TPublicFile& file : CatalogueFiles()) {
    const std::string name(file.name);
    const auto fetched = files.find(name);
    if (fetched == files.end()) {
      outcome.reason = name + Fr(" : fichier manquant");
      return outcome;
    }
    if (auto fault = CheckPublicFile(file, fetched->second, decoded[file.role])) {
      outcome.reason = name + " : " + *fault;
      return outcome;
    }
  }

  const catalogue::ExportFile& specialities = decoded[TFileRole::kSpecialities];
  const catalogue::ExportFile& presentations = decoded[TFileRole::kPresentations];
  catalogue::ImportOptions options;
  options.specialitiesName = std::string(FileOfRole(TFileRole::kSpecialities).name);
  options.presentationsName = std::string(FileOfRole(TFileRole::kPresentations).name);
  const catalogue::ImportResult result = catalogue::ImportExports(specialities, presentations, options);
  if (result.articles.empty()) {
    outcome.reason = Fr("l'import ne donne aucun article");
    return outcome;
  }

  TNewCatalogue& catalogue = outcome.catalogue;
  catalogue.files.push_back(
      {kArticleFileName, ScrambledArticleFile(catalogue::PlainArticleText(result.articles))});
  catalogue.articles.reserve(result.articles.size());
  for (const catalogue::Article& article : result.articles) {
    catalogue.articles.push_back({article.cip, article.designation, article.price});
  }
  catalogue.databaseDay = NewestDay(presentations, today);
  catalogue.specialities = result.specialities;
  catalogue.presentations = result.presentations;
  catalogue.linesLeftOut = result.skipped.size();
  outcome.ok = true;
  return outcome;
}

}  // namespace quillor::update
