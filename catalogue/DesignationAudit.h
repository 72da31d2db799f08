// The import's check of its own designations against what the export says
// of each article, as a pharmacist comparing the catalogue with the box
// would: a designation that reads a number cut, drops a strength, a unit,
// the release or a unit of the pack, or reads like another product's, can
// make the pharmacy order the wrong product.
//
// The audit reads the export's texts on its own (numbers, units, packs), so
// that it does not merely repeat the rules that wrote the designations. Each
// finding names one article and one kind of fault. An article may have
// findings of several kinds; the report counts articles per kind, and the
// articles with any finding.
//
// Texts are folded upper-case ASCII with single spaces (as the import folds
// them). Stateless; any thread.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quillor::catalogue {

enum class AuditFault {
  kCutNumber,              // a number of the designation is a piece of a longer one ("1/100" of 1/100 000)
  kLostStrength,           // a number of the denomination's strength is not in the designation
  kLostUnit,               // it is, but without its unit or its "per" ("30" for 30 MU, 20MG for 20 MG/ML)
  kLostCombination,        // a combination lost one of its strengths, or its unit
  kLostSubstance,          // a combination's substance is not named ("PERINDO 2,5MG/0,625MG")
  kDanglingOperator,       // a "+", "/", "X", "-" or "(" with nothing on one side
  kLostRelease,            // LP, LM or the way of taking it (effervescent, orodispersible...) missing
  kWrongPack,              // the pack's count is not the units or containers of the label
  kMangledText,            // a decimal point, punctuation glued to a word, a word written twice
  kMeaninglessDifference,  // told from another designation only by a bare number, a unit, word order...
  kMergedProducts,         // shares its designation with an article whose denomination or label differs
  kNotOrderable,           // kept though the presentation is abrogated or its speciality not marketed
};
inline constexpr size_t kAuditFaultKinds = 12;

// "cut number", "lost strength"... as the import's summary names the kinds.
std::string_view AuditFaultName(AuditFault fault);

// What the audit compares: an article's designation and its sources.
struct AuditedArticle {
  std::string_view cip;
  std::string_view designation;
  std::string_view denomination;  // the speciality's denomination
  std::string_view form;          // the speciality's form column
  std::string_view label;         // the presentation's label
  bool orderable = true;          // false: abrogated, or a speciality not marketed
};

struct AuditFinding {
  size_t article = 0;  // index into the audited articles
  AuditFault fault = AuditFault::kCutNumber;
  std::string detail;  // what is wrong, in words
};

struct AuditReport {
  std::vector<AuditFinding> findings;               // by article, then in the order found
  std::array<size_t, kAuditFaultKinds> articles{};  // articles with a finding of each kind
  size_t faultyArticles = 0;                        // articles with any finding
};

// The checks of one designation against its own sources.
std::vector<AuditFinding> AuditArticle(const AuditedArticle& article, size_t index);

// Every article on its own, then across articles (shared designations,
// designations told apart by nothing a pharmacist reads). With
// `orderableOnly`, an article that cannot be ordered is a finding too.
AuditReport AuditArticles(const std::vector<AuditedArticle>& articles, bool orderableOnly);

}  // namespace quillor::catalogue
