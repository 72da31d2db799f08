#include "update/CatalogueImportStep.h"

#include "catalogue/CatalogueImport.h"
#include "catalogue/KnowledgeImport.h"
#include "update/FrenchText.h"
#include "update/PublicFileCheck.h"
#include "update/PublicFiles.h"

namespace quillor::update {

TImportOutcome ImportPublicFiles(const std::map<std::string, std::string>& files, TDayDate today) {
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
  catalogue::TKnowledgeExports exports;
  exports.compositions = &decoded[TFileRole::kCompositions];
  exports.groups = &decoded[TFileRole::kGroups];
  exports.conditions = &decoded[TFileRole::kConditions];
  exports.availability = &decoded[TFileRole::kAvailability];
  // The availability's own date is the newest it holds.
  const catalogue::TKnowledgeImport knowledge =
      catalogue::ImportKnowledge(result, specialities, presentations, exports, today);

  TNewCatalogue& catalogue = outcome.catalogue;
  catalogue.files = {
      {kArticleFileName, ScrambledArticleFile(catalogue::PlainArticleText(result.articles))},
      {kSpecialitiesFileName, SpecialitiesFileText(knowledge.specialities)},
      {kCompositionsFileName, CompositionsFileText(knowledge.compositions)},
      {kAvailabilityFileName, AvailabilityFileText(knowledge.availability)},
  };
  catalogue.articles.reserve(result.articles.size());
  for (const catalogue::Article& article : result.articles) {
    catalogue.articles.push_back({article.cip, article.designation, article.price});
  }
  catalogue.specialityOfArticle = knowledge.specialities.articles;
  catalogue.availability = knowledge.availability;
  catalogue.databaseDay = knowledge.specialities.catalogueDate;
  catalogue.specialities = result.specialities;
  catalogue.presentations = result.presentations;
  catalogue.linesLeftOut = result.skipped.size() + knowledge.skipped.size();
  outcome.ok = true;
  return outcome;
}

}  // namespace quillor::update
