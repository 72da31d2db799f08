#include "app/ArticleNotes.h"

namespace quillor {
namespace {

// Windows-1252: é è ê à É Ê Ô —.
constexpr char kDash[] = " \x97 ";

// Colours of the marks (0x00BBGGRR): a light background for the row, a
// strong one for its badge.
struct TMarkColours {
  TColor row;
  TColor badge;
};
constexpr TMarkColours kShortage{0x00D6D6FF, 0x002222B2};  // red
constexpr TMarkColours kTension{0x00C8ECFF, 0x00006EC8};   // orange
constexpr TMarkColours kEnded{0x00E1E1E1, 0x005A5A5A};     // grey
constexpr TMarkColours kHospital{0x00FFEBDC, 0x00A0501E};  // blue

std::string Since(const char* what, TDayDate date) {
  return date == kNoDate ? std::string(what) : std::string(what) + " depuis le " + FormatDayDate(date);
}

std::string Counted(size_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string ShownName(const std::string& fileName) {
  return fileName.rfind("./", 0) == 0 ? fileName.substr(2) : fileName;
}

std::string Problem(const TKnowledgeFileReport& report, const char* without) {
  const char* why = nullptr;
  switch (report.state) {
    case TKnowledgeFileState::kRead:
      if (report.badLines.empty()) return {};
      return ShownName(report.fileName) + " : " +
             Counted(report.badLines.size(),
                     "ligne illisible ignor\xE9"
                     "e",
                     "lignes illisibles ignor\xE9"
                     "es") +
             " (ligne " + std::to_string(report.badLines.front()) +
             (report.badLines.size() > 1 ? "..." : "") + ").";
    case TKnowledgeFileState::kMissing:
      why = "absent";
      break;
    case TKnowledgeFileState::kUnreadable:
      why = "illisible";
      break;
    case TKnowledgeFileState::kOtherEncoding:
      why = "dans un autre encodage que Windows-1252";
      break;
    case TKnowledgeFileState::kNotThisFile:
      why = "d'un autre format";
      break;
    case TKnowledgeFileState::kTruncated:
      why = "incomplet";
      break;
  }
  return ShownName(report.fileName) + " " + why + " : " + without + ".";
}

}  // namespace

bool ArticleMark(const TKnowledge& knowledge, const std::string& cip7, TRowMark& mark) {
  const TAvailabilityStatus status = knowledge.AvailabilityOf(cip7).status;
  const bool hospital = knowledge.IsHospitalOnly(cip7);
  const TMarkColours* colours = nullptr;
  switch (status) {
    case TAvailabilityStatus::kShortage:
      colours = &kShortage;
      mark.badge = "RUPTURE";
      break;
    case TAvailabilityStatus::kTension:
      colours = &kTension;
      mark.badge = "TENSION";
      break;
    case TAvailabilityStatus::kEnded:
      colours = &kEnded;
      mark.badge = "ARR\xCAT";
      break;
    case TAvailabilityStatus::kAvailable:
    case TAvailabilityStatus::kBackInStock:
      if (!hospital) return false;
      colours = &kHospital;
      mark.badge = "H\xD4PITAL";
      break;
  }
  if (hospital && colours != &kHospital) mark.badge += " \xB7 H\xD4P";
  mark.background = colours->row;
  mark.badgeColor = colours->badge;
  mark.badgeTextColor = clWhite;
  return true;
}

std::string AvailabilitySentence(const TArticleAvailability& availability) {
  switch (availability.status) {
    case TAvailabilityStatus::kShortage:
      return Since("Rupture de stock", availability.since);
    case TAvailabilityStatus::kTension:
      return Since("Tension d'approvisionnement", availability.since);
    case TAvailabilityStatus::kEnded:
      return Since("Arr\xEAt de commercialisation", availability.since);
    case TAvailabilityStatus::kBackInStock:
      return availability.since == kNoDate ? std::string("Remis \xE0 disposition")
                                           : "Remis \xE0 disposition le " + FormatDayDate(availability.since);
    case TAvailabilityStatus::kAvailable:
      break;
  }
  return "Disponible";
}

std::string ArticleTooltip(const TKnowledge& knowledge, const std::string& cip7) {
  std::string tip;
  const TArticleAvailability availability = knowledge.AvailabilityOf(cip7);
  if (availability.status != TAvailabilityStatus::kAvailable) {
    tip += AvailabilitySentence(availability);
    if (availability.update != kNoDate)
      tip += " (ANSM, mise \xE0 jour du " + FormatDayDate(availability.update) + ")";
    tip += "\n";
    if (!availability.page.empty()) tip += availability.page + "\n";
  }
  if (knowledge.IsHospitalOnly(cip7)) tip += "R\xE9serv\xE9 \xE0 l'usage hospitalier\n";
  tip += "\xC9quivalents : " + std::string(kEquivalentsKeyName) + " ou clic droit";
  return tip;
}

std::string OrderQuestion(const std::string& cip7, const std::string& designation,
                          const TArticleAvailability& availability, size_t equivalents, size_t available) {
  std::string text = cip7 + "  " + designation + "\n\n" + AvailabilitySentence(availability) + ".\n";
  if (equivalents == 0) {
    text += "Aucun \xE9quivalent connu.";
  } else {
    text += Counted(equivalents, "\xE9quivalent", "\xE9quivalents") + ", dont " +
            Counted(available, "disponible", "disponibles") + ".";
  }
  return text + "\n\nAjouter la ligne de commande quand m\xEAme ?";
}

std::vector<std::string> OrderChoices(size_t equivalents) {
  if (equivalents == 0) return {"Ajouter quand m\xEAme", "Annuler"};
  return {"Voir les \xE9quivalents", "Ajouter quand m\xEAme", "Annuler"};
}

TOrderAnswer OrderAnswerOf(size_t choice, size_t equivalents) {
  if (equivalents == 0) return choice == 0 ? TOrderAnswer::kAdd : TOrderAnswer::kCancel;
  if (choice == 0) return TOrderAnswer::kShowEquivalents;
  return choice == 1 ? TOrderAnswer::kAdd : TOrderAnswer::kCancel;
}

std::string DataDates(const TKnowledge& knowledge) {
  std::string dates;
  if (knowledge.CatalogueDate() != kNoDate)
    dates = "Catalogue du " + FormatDayDate(knowledge.CatalogueDate());
  if (knowledge.AvailabilityDate() != kNoDate) {
    dates += dates.empty() ? "Disponibilit\xE9s du " : std::string(kDash) + "disponibilit\xE9s du ";
    dates += FormatDayDate(knowledge.AvailabilityDate());
  }
  return dates;
}

std::string KnowledgeProblems(const TKnowledge& knowledge) {
  const std::string specialities = Problem(
      knowledge.SpecialitiesReport(), "ni disponibilit\xE9s, ni \xE9quivalents, ni recherche par substance");
  // Without the specialities, the availability cannot be tied to articles:
  // the first sentence says it all.
  if (!knowledge.SpecialitiesReport().Usable()) return specialities;
  const std::string availability = Problem(knowledge.AvailabilityReport(),
                                           "les ruptures de stock ne sont pas signal\xE9"
                                           "es");
  if (specialities.empty()) return availability;
  return availability.empty() ? specialities : specialities + " " + availability;
}

std::string CompositionsProblem(TKnowledge& knowledge) {
  if (!knowledge.SpecialitiesReport().Usable()) return {};
  return Problem(knowledge.CompositionsReport(),
                 "pas de recherche par substance, ni d'\xE9quivalents hors des groupes g\xE9n\xE9riques");
}

std::string EquivalentsCaption(const std::string& cip7, const std::string& designation,
                               const TEquivalents& equivalents) {
  const std::string back = std::string(kDash) +
                           "\xC9"
                           "chap : retour";
  const std::string article = cip7 + " " + designation;
  switch (equivalents.basis) {
    case TEquivalents::TBasis::kUnknown:
      return article +
             " : inconnu des donn\xE9"
             "es de sp\xE9"
             "cialit\xE9s" +
             back;
    case TEquivalents::TBasis::kGroups:
    case TEquivalents::TBasis::kComposition:
      break;
  }
  if (equivalents.records.empty()) return "Aucun \xE9quivalent connu de " + article + back;
  const char* basis = equivalents.basis == TEquivalents::TBasis::kGroups ? " (groupe g\xE9n\xE9rique)"
                                                                         : " (m\xEAme composition)";
  return "\xC9quivalents de " + article + basis + ", disponibles d'abord" + back;
}

}  // namespace quillor
